#include <windows.h>

#include <sddl.h>

#include <cstdint>

#include "base/private_folder.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The access list of a new folder: full control for its owner alone, not
// inherited from the program's folder (which its users may be allowed to
// change). The converter lies in advapi32.dll, loaded only when a folder is
// made: linked, it would be loaded by every run, which under Wine costs a
// sensor run a tenth of its time. Null when it cannot be had; the folder is
// then made as without.
PSECURITY_DESCRIPTOR OwnerOnlyDescriptor() {
  using Convert = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  HMODULE advapi = LoadLibraryA("advapi32.dll");
  if (!advapi) return nullptr;
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA")));
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!convert || !convert("D:P(A;OICI;FA;;;OW)", SDDL_REVISION_1, &descriptor, nullptr)) descriptor = nullptr;
  return descriptor;
}

}  // namespace

std::string PreparePrivateFolder(const std::string& path) {
  DWORD kind = GetFileAttributesA(path.c_str());
  if (kind == INVALID_FILE_ATTRIBUTES) {
    PSECURITY_DESCRIPTOR descriptor = OwnerOnlyDescriptor();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    BOOL made = CreateDirectoryA(path.c_str(), &attributes);
    DWORD error = GetLastError();
    if (descriptor) LocalFree(descriptor);
    // Another run may have made it a moment before.
    if (!made && error != ERROR_ALREADY_EXISTS) return "cannot be made";
    kind = GetFileAttributesA(path.c_str());
    if (kind == INVALID_FILE_ATTRIBUTES) return "cannot be read";
  }
  if (kind & FILE_ATTRIBUTE_REPARSE_POINT) return "is a link or junction";
  if (!(kind & FILE_ATTRIBUTE_DIRECTORY)) return "is no folder";
  return {};
}

void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t limit = static_cast<std::uint64_t>(seconds) * 10000000u;  // in 100 ns
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (!EndsInOneOf(found.cFileName, endings)) continue;
    if (Ticks(now) < Ticks(found.ftLastWriteTime) + limit) continue;
    DeleteFileA((folder + "\\" + found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace poolmetrics
