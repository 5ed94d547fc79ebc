#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "base/file_system.h"

namespace poolmetrics {
namespace {

FileIdentity IdentityOfStat(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(std::FILE* file) {
  struct stat info;
  if (!file || fstat(fileno(file), &info) != 0) return std::nullopt;
  return IdentityOfStat(info);
}

std::optional<FileIdentity> IdentityOf(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) return std::nullopt;
  return IdentityOfStat(info);
}

bool MoveFileOver(const char* from, const char* to) { return rename(from, to) == 0; }

std::string WorkingDirectory() {
  std::vector<char> path(4096);
  if (!getcwd(path.data(), path.size())) return {};
  std::string directory(path.data());
  return directory.back() == '/' ? directory : directory + "/";
}

void UseBinaryMode(std::FILE*) {}

}  // namespace poolmetrics
