#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "base/own_file.h"
#include "base/private_folder.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// advapi32.dll, loaded only when a folder is made: linked, it would be
// loaded at the start of every run, a noticeable part of a sensor run
// under Wine (doc/costs.md).
class Advapi {
 public:
  Advapi() : module_(LoadLibraryA("advapi32.dll")) {}
  Advapi(const Advapi&) = delete;
  Advapi& operator=(const Advapi&) = delete;
  // Left loaded: the process may use it again, and it is Windows' own.
  template <typename Function>
  Function Get(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }

 private:
  HMODULE module_;
};

// The run's user's security identifier in its text form ("S-1-5-21-..."),
// empty when it cannot be told.
std::string UserSid(const Advapi& advapi) {
  using OpenToken = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
  using TokenInformation = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  using SidToText = BOOL(WINAPI*)(PSID, LPSTR*);
  auto open_token = advapi.Get<OpenToken>("OpenProcessToken");
  auto information = advapi.Get<TokenInformation>("GetTokenInformation");
  auto to_text = advapi.Get<SidToText>("ConvertSidToStringSidA");
  HANDLE token;
  if (!open_token || !information || !to_text || !open_token(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::vector<unsigned char> user(256);
  DWORD size = 0;
  bool told = information(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
  if (!told && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    user.resize(size);
    told = information(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
  }
  CloseHandle(token);
  char* text = nullptr;
  if (!told || !to_text(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) return {};
  std::string sid = text;
  LocalFree(text);
  return sid;
}

// The access list of a new folder: full control for the run's user alone,
// for the folder and what is made in it, not inherited from the program's
// folder (which its users may be allowed to change). The user is named by
// its identifier, not as "the owner" (OW): Wine maps only an entry for the
// user to the Unix owner's rights, and "OW" to none, so the folder would
// shut out the user who made it. Null when it cannot be had; the folder is
// then made as without.
PSECURITY_DESCRIPTOR OwnerOnlyDescriptor() {
  using Convert = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  Advapi advapi;
  auto convert = advapi.Get<Convert>("ConvertStringSecurityDescriptorToSecurityDescriptorA");
  std::string sid = UserSid(advapi);
  if (!convert || sid.empty()) return nullptr;
  std::string access = Concat({"D:P(A;OICI;FA;;;", sid, ")"});
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!convert(access.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) descriptor = nullptr;
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
  // A folder its user cannot list is of no use (under Wine, one made by an
  // older version of the program shut its user out).
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "cannot be read";
  FindClose(search);
  return {};
}

void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    // The listing's word on links is not the last: the file is looked at
    // again, opened, before it goes.
    if (EndsInOneOf(found.cFileName, endings)) RemoveOwnFile(folder + "\\" + found.cFileName, seconds);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace poolmetrics
