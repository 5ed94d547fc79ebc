#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "base/private_folder.h"
#include "base/text.h"

namespace poolmetrics {
std::string PreparePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return "cannot be made";
  struct stat info;
  // lstat: a link is refused, wherever it leads.
  if (lstat(path.c_str(), &info) != 0) return "cannot be read";
  if (S_ISLNK(info.st_mode)) return "is a link";
  if (!S_ISDIR(info.st_mode)) return "is no folder";
  if (info.st_uid != geteuid()) return "belongs to another user";
  if (info.st_mode & (S_IWGRP | S_IWOTH)) return "is writable by others";
  return {};
}

void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds) {
  int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (directory < 0) return;
  DIR* entries = fdopendir(directory);
  if (!entries) {
    close(directory);
    return;
  }
  const time_t now = time(nullptr);
  while (dirent* entry = readdir(entries)) {
    std::string_view name = entry->d_name;
    if (!EndsInOneOf(name, endings)) continue;
    struct stat info;
    // Relative to the folder opened once, without following a link: a name
    // changed meanwhile cannot lead elsewhere.
    if (fstatat(directory, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || now - info.st_mtime <= seconds) continue;
    unlinkat(directory, entry->d_name, 0);
  }
  closedir(entries);
}

}  // namespace poolmetrics
