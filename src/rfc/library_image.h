// LibraryImage: whether a shared library file is whole before it is loaded.
// The loader maps a library as its headers describe it; a file cut short
// (a copy that broke off, a full disk) then faults on the first page that is
// missing and takes the process with it, instead of failing the load.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace poolmetrics {

// How much of the file's start the check reads: the headers and tables it
// looks at lie at the start of every library a linker writes.
constexpr std::size_t kLibraryHeadLength = 64 * 1024;

// True when `head`, the first bytes of a file of `size` bytes (all of them,
// or the first kLibraryHeadLength), is the start of an ELF or PE library
// whose file covers everything its headers describe:
// - ELF: the ELF header, the program header table and every program
//   header's p_offset + p_filesz, and the section header table;
// - PE: the DOS header, the PE header with its optional header, the headers'
//   size, the section table and every section's raw data.
// Tables that lie beyond the first kLibraryHeadLength bytes count as damage.
bool LibraryImageIsWhole(std::string_view head, std::uint64_t size);

// True when `path` is a regular file and LibraryImageIsWhole holds for it.
bool LibraryFileIsWhole(const char* path);

// The width an ELF or PE image was built for, from its first bytes: 32 or
// 64 (bits), or 0 when `head` is neither.
unsigned LibraryImageWidth(std::string_view head);

// The names of the libraries that a PE image (`image`: the whole file)
// imports at load time, in the order of its import table; empty when it is
// no PE image or its table cannot be read.
std::vector<std::string> PeImportedLibraries(std::string_view image);

// Why the regular file `path` cannot be loaded into this program, as far as
// its file tells, in words that follow its path: "is a 32-bit library, this
// program is 64-bit", "is damaged (shorter than its headers say)" or "is no
// shared library"; empty when nothing in the file stands against loading it.
std::string LibraryFileProblem(const char* path);

}  // namespace poolmetrics
