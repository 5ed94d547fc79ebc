#include "rfc/library_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace poolmetrics {
namespace {

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the loader's check sees of a file that holds the first `size` bytes.
bool Whole(const std::string& image, std::size_t size) {
  return LibraryImageIsWhole(std::string_view(image).substr(0, std::min(size, kLibraryHeadLength)), size);
}

// A real library, cut anywhere, is refused: at its headers, in its loaded
// segments or sections (where the loader would fault) and, for `to_the_end`,
// in what its headers describe up to its last byte (the ELF section header
// table; a PE file of mingw ends in a symbol table that no header points to
// the end of).
void ExpectRefusedWhenCut(const char* path, bool to_the_end) {
  std::string image = ReadAll(path);
  if (image.empty()) GTEST_SKIP() << path << " is not there";
  EXPECT_TRUE(Whole(image, image.size())) << path;
  for (std::size_t cut : {0ul, 4ul, 16ul, 63ul, 64ul, 200ul, 1000ul, 4096ul, 50000ul, 100000ul, 200000ul,
                          image.size() / 2, to_the_end ? image.size() - 1 : 0ul}) {
    if (cut < image.size()) {
      EXPECT_FALSE(Whole(image, cut)) << path << " cut at " << cut;
    }
  }
}

TEST(LibraryImage, RealElfLibraryCut) { ExpectRefusedWhenCut(POOLMETRICS_TEST_ELF_LIBRARY, true); }
TEST(LibraryImage, RealPeLibraryCut) { ExpectRefusedWhenCut(POOLMETRICS_TEST_PE_LIBRARY, false); }

// --- synthetic images, for the forms no library of the build has --------------
void Put(std::string& image, std::size_t at, unsigned width, std::uint64_t value, bool big_endian = false) {
  for (unsigned i = 0; i < width; ++i)
    image[at + (big_endian ? width - 1 - i : i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 32-bit ELF file of 4096 bytes: header, two program headers, a section
// header table of three entries at its end.
std::string Elf32(bool big_endian) {
  std::string image(4096, '\0');
  image.replace(0, 4,
                "\x7F"
                "ELF");
  image[4] = 1;
  image[5] = big_endian ? 2 : 1;
  Put(image, 28, 4, 52, big_endian);              // e_phoff
  Put(image, 32, 4, 4096 - 3 * 40, big_endian);   // e_shoff
  Put(image, 42, 2, 32, big_endian);              // e_phentsize
  Put(image, 44, 2, 2, big_endian);               // e_phnum
  Put(image, 46, 2, 40, big_endian);              // e_shentsize
  Put(image, 48, 2, 3, big_endian);               // e_shnum
  Put(image, 52 + 4, 4, 0, big_endian);           // p_offset
  Put(image, 52 + 16, 4, 2000, big_endian);       // p_filesz
  Put(image, 52 + 32 + 4, 4, 2000, big_endian);   // p_offset
  Put(image, 52 + 32 + 16, 4, 1000, big_endian);  // p_filesz
  return image;
}

// A PE file of 4096 bytes with two sections.
std::string Pe() {
  std::string image(4096, '\0');
  image.replace(0, 2, "MZ");
  Put(image, 0x3C, 4, 0x80);  // e_lfanew
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  Put(image, 0x80 + 6, 2, 2);       // NumberOfSections
  Put(image, 0x80 + 20, 2, 0xE0);   // SizeOfOptionalHeader
  Put(image, 0x98 + 60, 4, 0x400);  // SizeOfHeaders
  std::size_t table = 0x98 + 0xE0;
  Put(image, table + 16, 4, 0x800);  // SizeOfRawData
  Put(image, table + 20, 4, 0x400);  // PointerToRawData
  Put(image, table + 40 + 16, 4, 0x400);
  Put(image, table + 40 + 20, 4, 0xC00);
  return image;
}

TEST(LibraryImage, SyntheticImages) {
  struct {
    const char* label;
    std::string image;
    bool whole;
  } cases[] = {
      {"ELF32 little-endian", Elf32(false), true},
      {"ELF32 big-endian", Elf32(true), true},
      {"PE", Pe(), true},
      {"not a library", std::string(4096, 'x'), false},
      {"ELF of an unknown class",
       [] {
         auto i = Elf32(false);
         i[4] = 3;
         return i;
       }(),
       false},
      {"ELF without program headers",
       [] {
         auto i = Elf32(false);
         Put(i, 44, 2, 0);
         return i;
       }(),
       false},
      {"ELF program header table past the end",
       [] {
         auto i = Elf32(false);
         Put(i, 28, 4, 4090);
         return i;
       }(),
       false},
      {"ELF segment past the end",
       [] {
         auto i = Elf32(false);
         Put(i, 52 + 32 + 16, 4, 2097);
         return i;
       }(),
       false},
      {"ELF segment offset that wraps",
       [] {
         auto i = Elf32(false);
         Put(i, 52 + 4, 4, 0xFFFFFFFF);
         return i;
       }(),
       false},
      {"ELF section headers past the end",
       [] {
         auto i = Elf32(false);
         Put(i, 48, 2, 4);
         return i;
       }(),
       false},
      {"ELF section headers counted elsewhere, first entry there",
       [] {
         auto i = Elf32(false);
         Put(i, 48, 2, 0);
         return i;
       }(),
       true},
      {"ELF without section headers",
       [] {
         auto i = Elf32(false);
         Put(i, 32, 4, 0);
         return i;
       }(),
       true},
      {"PE header past the end",
       [] {
         auto i = Pe();
         Put(i, 0x3C, 4, 4090);
         return i;
       }(),
       false},
      {"PE without its signature",
       [] {
         auto i = Pe();
         i[0x81] = 'X';
         return i;
       }(),
       false},
      {"PE without sections",
       [] {
         auto i = Pe();
         Put(i, 0x80 + 6, 2, 0);
         return i;
       }(),
       false},
      {"PE headers larger than the file",
       [] {
         auto i = Pe();
         Put(i, 0x98 + 60, 4, 4097);
         return i;
       }(),
       false},
      {"PE section past the end",
       [] {
         auto i = Pe();
         Put(i, 0x98 + 0xE0 + 40 + 16, 4, 0x401);
         return i;
       }(),
       false},
      {"PE empty section anywhere",
       [] {
         auto i = Pe();
         Put(i, 0x98 + 0xE0 + 40 + 16, 4, 0);
         Put(i, 0x98 + 0xE0 + 40 + 20, 4, 0x10000);
         return i;
       }(),
       true},
  };
  for (const auto& c : cases) EXPECT_EQ(Whole(c.image, c.image.size()), c.whole) << c.label;
  // Each of the three forms describes its file up to the last byte.
  for (const std::string& image : {Elf32(false), Elf32(true), Pe()})
    for (std::size_t cut : {0ul, 60ul, 200ul, 1000ul, 2500ul, 4095ul})
      EXPECT_FALSE(Whole(image, cut)) << image.substr(0, 4) << " cut at " << cut;
}

// The file behind the check: only a regular file is read, and nothing blocks.
TEST(LibraryImage, FileChecks) {
  char dir[] = "/tmp/library-image-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string base = dir, image = Pe();
  auto write = [&](const std::string& name, std::size_t size) {
    std::ofstream(base + "/" + name, std::ios::binary).write(image.data(), static_cast<std::streamsize>(size));
    return base + "/" + name;
  };
  EXPECT_TRUE(LibraryFileIsWhole(write("whole.dll", image.size()).c_str()));
  EXPECT_FALSE(LibraryFileIsWhole(write("cut.dll", 3000).c_str()));
  EXPECT_FALSE(LibraryFileIsWhole((base + "/missing.dll").c_str()));
  EXPECT_FALSE(LibraryFileIsWhole(base.c_str()));
  std::string fifo = base + "/fifo.dll";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LibraryFileIsWhole(fifo.c_str()));
  std::system(("rm -rf " + base).c_str());
}

// What the file tells of a library before it is loaded: its width, and the
// libraries a Windows library needs at load time.
TEST(LibraryImage, WidthAndImports) {
  EXPECT_EQ(LibraryImageWidth(Elf32(false)), 32u);
  EXPECT_EQ(LibraryImageWidth("text, not a library"), 0u);
  EXPECT_EQ(LibraryImageWidth(""), 0u);
  EXPECT_TRUE(PeImportedLibraries(Pe()).empty()) << "no import table";
  EXPECT_TRUE(PeImportedLibraries(Elf32(false)).empty());
  std::string elf = ReadAll(POOLMETRICS_TEST_ELF_LIBRARY);
  EXPECT_EQ(LibraryImageWidth(elf), 8 * sizeof(void*));
  struct {
    const char* path;
    unsigned width;
  } windows[] = {{POOLMETRICS_TEST_PE_LIBRARY, 32}, {POOLMETRICS_TEST_PE64_LIBRARY, 64}};
  for (const auto& library : windows) {
    std::string image = ReadAll(library.path);
    if (image.empty()) continue;  // no Windows build here
    EXPECT_EQ(LibraryImageWidth(image), library.width) << library.path;
    std::vector<std::string> imports = PeImportedLibraries(image);
    bool kernel = std::any_of(imports.begin(), imports.end(), [](const std::string& name) {
      return name.size() == 12 && (name == "KERNEL32.dll" || name == "kernel32.dll");
    });
    EXPECT_TRUE(kernel) << library.path << " imports " << imports.size() << " libraries";
    // A table cut short gives what can be read, never more than is there.
    for (std::size_t cut : {100ul, 1000ul, image.size() / 2}) PeImportedLibraries(image.substr(0, cut));
  }
}

TEST(LibraryImage, FileProblems) {
  char dir[] = "/tmp/library-problem-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string base = dir;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(base + "/" + name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return base + "/" + name;
  };
  std::string elf = ReadAll(POOLMETRICS_TEST_ELF_LIBRARY);
  struct {
    const char* label;
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"whole", elf, ""},
      {"another width", Elf32(false), "is a 32-bit library, this program is 64-bit"},
      {"cut short", elf.substr(0, elf.size() / 2), "is damaged (shorter than its headers say)"},
      {"no library", "#!/bin/sh\n", "is no shared library"},
  };
  for (const auto& c : cases) EXPECT_EQ(LibraryFileProblem(write("lib.so", c.bytes).c_str()), c.problem) << c.label;
  std::system(("rm -rf " + base).c_str());
}

}  // namespace
}  // namespace poolmetrics
