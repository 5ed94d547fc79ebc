#include "rfc/library_image.h"

#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// Whether [offset, offset + length) lies within a file of `size` bytes.
constexpr bool Covers(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
  return offset <= size && length <= size - offset;
}

// Integer fields of a header, in the byte order of its file; a field that
// lies beyond the bytes at hand cannot be read.
class Fields {
 public:
  Fields(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

  bool Read(std::uint64_t offset, unsigned width, std::uint64_t* value) const {
    if (!Covers(bytes_.size(), offset, width)) return false;
    *value = 0;
    for (unsigned i = 0; i < width; ++i) {
      unsigned byte =
          static_cast<unsigned char>(bytes_[static_cast<std::size_t>(offset) + (big_endian_ ? i : width - 1 - i)]);
      *value = (*value << 8) | byte;
    }
    return true;
  }

 private:
  std::string_view bytes_;
  bool big_endian_;
};

// The positions of the ELF fields the check reads, for 32- and 64-bit files.
struct ElfLayout {
  unsigned header_size, word;                                 // the ELF header; an address or offset
  unsigned phoff, shoff, phentsize, phnum, shentsize, shnum;  // in the ELF header
  unsigned ph_size, p_offset, p_filesz;                       // in a program header
};
constexpr ElfLayout kElf32 = {52, 4, 28, 32, 42, 44, 46, 48, 32, 4, 16};
constexpr ElfLayout kElf64 = {64, 8, 32, 40, 54, 56, 58, 60, 56, 8, 32};

bool ElfIsWhole(std::string_view head, std::uint64_t size) {
  if (head.size() < 6 || (head[4] != 1 && head[4] != 2) || (head[5] != 1 && head[5] != 2)) return false;
  const ElfLayout& at = head[4] == 2 ? kElf64 : kElf32;
  Fields fields(head, head[5] == 2);
  std::uint64_t phoff, shoff, phentsize, phnum, shentsize, shnum;
  if (!Covers(size, 0, at.header_size) || !fields.Read(at.phoff, at.word, &phoff) ||
      !fields.Read(at.shoff, at.word, &shoff) || !fields.Read(at.phentsize, 2, &phentsize) ||
      !fields.Read(at.phnum, 2, &phnum) || !fields.Read(at.shentsize, 2, &shentsize) ||
      !fields.Read(at.shnum, 2, &shnum))
    return false;

  // A library without program headers is nothing the loader can map.
  if (phnum == 0 || phentsize < at.ph_size || !Covers(size, phoff, phnum * phentsize)) return false;
  for (std::uint64_t n = 0; n < phnum; ++n) {
    std::uint64_t entry = phoff + n * phentsize, offset, filesz;
    if (!fields.Read(entry + at.p_offset, at.word, &offset) || !fields.Read(entry + at.p_filesz, at.word, &filesz) ||
        !Covers(size, offset, filesz))
      return false;
  }
  // With more sections than the header can count, the table still has its
  // first entry, which holds the count.
  if (shoff != 0 && !Covers(size, shoff, (shnum == 0 ? 1 : shnum) * shentsize)) return false;
  return true;
}

constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint64_t kNewHeaderOffset = 0x3C;   // in the DOS header: where the PE header starts
constexpr std::uint64_t kFileHeaderSize = 4 + 20;  // "PE\0\0" and the COFF file header
constexpr std::uint64_t kSectionHeaderSize = 40;

bool PeIsWhole(std::string_view head, std::uint64_t size) {
  Fields fields(head, false);
  std::uint64_t pe, sections, optional_size, headers_size;
  if (!Covers(size, 0, kDosHeaderSize) || !fields.Read(kNewHeaderOffset, 4, &pe) ||
      !Covers(head.size(), pe, kFileHeaderSize) ||
      head.substr(static_cast<std::size_t>(pe), 4) != std::string_view("PE\0\0", 4) ||
      !fields.Read(pe + 6, 2, &sections) || !fields.Read(pe + 20, 2, &optional_size))
    return false;
  std::uint64_t optional = pe + kFileHeaderSize;
  std::uint64_t table = optional + optional_size;
  // SizeOfHeaders stands at the same place in both optional header forms.
  if (sections == 0 || optional_size < 64 || !fields.Read(optional + 60, 4, &headers_size) ||
      !Covers(size, 0, headers_size) || !Covers(head.size(), table, sections * kSectionHeaderSize))
    return false;
  for (std::uint64_t n = 0; n < sections; ++n) {
    std::uint64_t entry = table + n * kSectionHeaderSize, raw_size, raw_offset;
    if (!fields.Read(entry + 16, 4, &raw_size) || !fields.Read(entry + 20, 4, &raw_offset)) return false;
    if (raw_size != 0 && !Covers(size, raw_offset, raw_size)) return false;
  }
  return true;
}

}  // namespace

bool LibraryImageIsWhole(std::string_view head, std::uint64_t size) {
  if (head.size() > size) return false;
  if (head.substr(0, 4) == "\177ELF") return ElfIsWhole(head, size);
  if (head.substr(0, 2) == "MZ") return PeIsWhole(head, size);
  return false;
}

unsigned LibraryImageWidth(std::string_view head) {
  if (head.substr(0, 4) == "\177ELF" && head.size() > 4) return head[4] == 1 ? 32 : head[4] == 2 ? 64 : 0;
  Fields fields(head, false);
  std::uint64_t pe, magic;
  if (head.substr(0, 2) != "MZ" || !fields.Read(kNewHeaderOffset, 4, &pe) ||
      !Covers(head.size(), pe, kFileHeaderSize) ||
      head.substr(static_cast<std::size_t>(pe), 4) != std::string_view("PE\0\0", 4) ||
      !fields.Read(pe + kFileHeaderSize, 2, &magic))
    return 0;
  // The optional header's magic: PE32 or PE32+.
  return magic == 0x10B ? 32 : magic == 0x20B ? 64 : 0;
}

std::vector<std::string> PeImportedLibraries(std::string_view image) {
  std::vector<std::string> names;
  unsigned width = LibraryImageWidth(image);
  Fields fields(image, false);
  std::uint64_t pe, sections, optional_size;
  if (image.substr(0, 2) != "MZ" || width == 0 || !fields.Read(kNewHeaderOffset, 4, &pe) ||
      !fields.Read(pe + 6, 2, &sections) || !fields.Read(pe + 20, 2, &optional_size))
    return names;
  std::uint64_t optional = pe + kFileHeaderSize, table = optional + optional_size;
  // The import table's entry among the data directories.
  std::uint64_t import_rva;
  if (!fields.Read(optional + (width == 64 ? 120 : 104), 4, &import_rva) || import_rva == 0) return names;

  // The file offset of an address of the loaded image, through the section
  // that holds it.
  auto offset_of = [&](std::uint64_t rva, std::uint64_t* offset) {
    for (std::uint64_t n = 0; n < sections; ++n) {
      std::uint64_t entry = table + n * kSectionHeaderSize, virtual_size, address, raw_size, raw_offset;
      if (!fields.Read(entry + 8, 4, &virtual_size) || !fields.Read(entry + 12, 4, &address) ||
          !fields.Read(entry + 16, 4, &raw_size) || !fields.Read(entry + 20, 4, &raw_offset))
        return false;
      std::uint64_t extent = virtual_size > raw_size ? virtual_size : raw_size;
      if (rva >= address && rva - address < extent) {
        *offset = raw_offset + (rva - address);
        return true;
      }
    }
    return false;
  };

  std::uint64_t descriptor;
  if (!offset_of(import_rva, &descriptor)) return names;
  // Descriptors of 20 bytes each up to one that is all zero; the name's
  // address is the fourth field. A damaged table ends the list.
  constexpr std::size_t kMostImports = 1024;
  for (; names.size() < kMostImports; descriptor += 20) {
    std::uint64_t name_rva, name_at;
    if (!fields.Read(descriptor + 12, 4, &name_rva) || name_rva == 0 || !offset_of(name_rva, &name_at) ||
        name_at >= image.size())
      break;
    std::string_view rest = image.substr(static_cast<std::size_t>(name_at));
    std::size_t end = rest.find('\0');
    if (end == std::string_view::npos || end == 0 || end > 255) break;
    names.emplace_back(rest.substr(0, end));
  }
  return names;
}

std::string LibraryFileProblem(const char* path) {
  File file = File::OpenRead(path);
  if (!file) return "cannot be read";
  std::string head(kLibraryHeadLength, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  unsigned width = LibraryImageWidth(head);
  constexpr unsigned kProgramWidth = sizeof(void*) * 8;
  if (width != 0 && width != kProgramWidth)
    return Concat({"is a ", std::to_string(width), "-bit library, this program is ", std::to_string(kProgramWidth),
                   "-bit"});
  if (width == 0) return "is no shared library";
  file.reset();
  if (!LibraryFileIsWhole(path)) return "is damaged (shorter than its headers say)";
  return {};
}

bool LibraryFileIsWhole(const char* path) {
  File file = File::OpenRead(path);  // a regular file, or nothing
  if (!file) return false;
  // Every linker puts the tables within the first page; only a library
  // whose tables lie further in is read as far as kLibraryHeadLength. The
  // check reads no byte beyond what it is given, so the two agree.
  char page[4096];
  std::size_t got = std::fread(page, 1, sizeof page, file.get());
  if (std::ferror(file.get()) || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  long size = std::ftell(file.get());
  if (size < 0) return false;
  if (LibraryImageIsWhole(std::string_view(page, got), static_cast<std::uint64_t>(size))) return true;
  if (got < sizeof page || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
  std::string head(kLibraryHeadLength, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  return !std::ferror(file.get()) && LibraryImageIsWhole(head, static_cast<std::uint64_t>(size));
}

}  // namespace poolmetrics
