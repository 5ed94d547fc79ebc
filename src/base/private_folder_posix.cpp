#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/own_file.h"
#include "base/private_folder.h"
#include "base/text.h"

namespace poolmetrics {
std::string PreparePrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0) {
    // The umask may have taken some of the owner's own rights away. A link
    // put in its place meanwhile is not followed (and refused below).
    fchmodat(AT_FDCWD, path.c_str(), 0700, AT_SYMLINK_NOFOLLOW);
  } else if (errno != EEXIST) {
    return "cannot be made";
  }
  struct stat info;
  // lstat: a link is refused, wherever it leads.
  if (lstat(path.c_str(), &info) != 0) return "cannot be read";
  if (S_ISLNK(info.st_mode)) return "is a link";
  if (!S_ISDIR(info.st_mode)) return "is no folder";
  if (info.st_uid != geteuid()) return "belongs to another user";
  if (info.st_mode & (S_IWGRP | S_IWOTH)) return "is writable by others";
  if ((info.st_mode & S_IRWXU) != S_IRWXU) return "cannot be read and written by its owner";
  return {};
}

void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds) {
  DIR* entries = opendir(folder.c_str());
  if (!entries) return;
  while (dirent* entry = readdir(entries)) {
    if (EndsInOneOf(entry->d_name, endings)) RemoveOwnFile(folder + "/" + entry->d_name, seconds);
  }
  closedir(entries);
}

}  // namespace poolmetrics
