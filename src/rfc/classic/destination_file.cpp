#include "rfc/classic/destination_file.h"

#include <cstdio>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "base/text.h"
#include "base/file_lock.h"

namespace poolmetrics {
namespace {

bool CopyFile(std::FILE* from, std::FILE* to) {
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, from)) > 0)
    if (std::fwrite(buffer, 1, n, to) != n) return false;
  return !std::ferror(from);
}

}  // namespace

std::string DestinationFileName(std::string_view destination) { return Concat({"SapRfc.", destination}); }

File OpenDestinationFile(std::string_view destination) {
  File source = File::OpenRead(DestinationFileName(destination).c_str());
  // The name alone cannot tell: "SapRfc.INI" or "SapRfc.ini." is SapRfc.ini
  // on Windows, and a link is so anywhere.
  std::optional<FileIdentity> identity = IdentityOf(source.get());
  if (!identity) return File();
  for (const char* own : {kSapRfcIniFile, kSapRfcLockFile, kSapRfcNewFile})
    if (IdentityOf(own) == identity) return File();
  return source;
}

bool InstallSapRfcIni(File source) {
  File target = File::OpenWrite(kSapRfcNewFile);
  if (!target) return false;  // nothing of ours to remove (it may be a directory)
  bool copied = CopyFile(source.get(), target.get());
  copied = std::fflush(target.get()) == 0 && copied;
  copied = std::fclose(target.release()) == 0 && copied;
  if (copied && MoveFileOver(kSapRfcNewFile, kSapRfcIniFile)) return true;
  std::remove(kSapRfcNewFile);
  return false;
}

}  // namespace poolmetrics
