#include <dlfcn.h>
#include <link.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "rfc/dynamic_library.h"
#include "base/file.h"
#include "base/text.h"
#include "rfc/library_image.h"

namespace poolmetrics {
namespace {

struct MainProgramCloser {
  void operator()(void* handle) const { dlclose(handle); }
};

// The directories in which the loader looks for a library by bare name, in
// its order: LD_LIBRARY_PATH, the program's run path, the standard
// directories.
std::vector<std::string> SearchDirectories() {
  std::vector<std::string> directories;
  std::unique_ptr<void, MainProgramCloser> program(dlopen(nullptr, RTLD_NOW));
  Dl_serinfo counts;
  if (!program || dlinfo(program.get(), RTLD_DI_SERINFOSIZE, &counts) != 0) return directories;
  // The loader fills one block: the list, then the names it points to.
  std::vector<std::max_align_t> block(counts.dls_size / sizeof(std::max_align_t) + 1);
  auto* info = reinterpret_cast<Dl_serinfo*>(block.data());
  info->dls_size = counts.dls_size;
  info->dls_cnt = counts.dls_cnt;
  if (dlinfo(program.get(), RTLD_DI_SERINFO, info) != 0) return directories;
  for (unsigned i = 0; i < info->dls_cnt; ++i) {
    std::string directory = info->dls_serpath[i].dls_name;
    // An empty entry is the current directory.
    directories.push_back(directory.empty() ? "./" : directory.back() == '/' ? directory : directory + "/");
  }
  return directories;
}

// What dlerror() says of a library that could not be loaded, in the
// program's words where it names a library that is missing.
std::string LoaderReason(const char* error) {
  std::string text = error ? error : "refused by the loader";
  constexpr std::string_view kMissing = ": cannot open shared object file";
  std::size_t missing = text.find(kMissing);
  if (missing == std::string::npos) return text;
  std::string needed = text.substr(0, missing);
  return Concat({"needs ", needed.substr(needed.rfind('/') + 1), ", which is not found"});
}

// Loads `directory` + `file_name` when that file is there and nothing in
// it stands against loading it; the first reason a file that is there
// gives is kept in `why`.
void* LoadChecked(const std::string& directory, const char* file_name, std::string* why) {
  std::string path = directory + file_name;
  if (!CanOpen(path.c_str())) return nullptr;
  std::string problem = LibraryFileProblem(path.c_str());
  void* handle = problem.empty() ? dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
  if (!handle && problem.empty()) problem = LoaderReason(dlerror());
  if (!handle && why->empty()) *why = Concat({path, " ", problem});
  return handle;
}

}  // namespace

DynamicLibrary DynamicLibrary::Load(const std::string& directory, const char* file_name, std::string* why) {
  // The loader maps a library cut short as if it were whole, and the process
  // then dies of the first page that is missing. So only a file that was
  // checked is loaded, and by the path it was checked under: the system's
  // search is done here, through the loader's own list of directories. (A
  // library that the loader would find only through its cache, in a
  // directory of ld.so.conf that is not a standard one, is not taken.)
  DynamicLibrary library;
  why->clear();
  if (!directory.empty()) library.handle_ = LoadChecked(directory, file_name, why);
  if (library.handle_) return library;
  for (const std::string& searched : SearchDirectories())
    if ((library.handle_ = LoadChecked(searched, file_name, why)) != nullptr) break;
  if (!library.handle_ && why->empty())
    *why = Concat({"not found in ", directory.empty() ? "the program's folder" : directory,
                   " nor by the system's search"});
  if (library.handle_) why->clear();
  return library;
}

void* DynamicLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace poolmetrics
