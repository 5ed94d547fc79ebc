#include "structure_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {
namespace {

struct Run {
  unsigned type;
  unsigned length;
  unsigned count;
};

// Builds an element list from runs of equal elements, named E1, E2, ...
std::vector<LayoutElement> Elements(std::initializer_list<Run> runs) {
  std::vector<LayoutElement> elements;
  for (const Run& run : runs) {
    for (unsigned i = 0; i < run.count; ++i) {
      LayoutElement element;
      element.name = "E" + std::to_string(elements.size() + 1);
      element.type = run.type;
      element.length = run.length;
      elements.push_back(element);
    }
  }
  return elements;
}

TEST(StructureLayout, PlacesElementsByNaturalAlignment) {
  struct Expect {
    unsigned index;  // 1-based element number
    unsigned offset;
  };
  const struct {
    const char* label;
    std::vector<LayoutElement> elements;
    unsigned row_length;
    std::vector<Expect> offsets;
  } kCases[] = {
      {"CCSTATSTTL: 4-byte packed ID_HITR between 8-byte ones",
       Elements({{TYPP, 8, 2}, {TYPP, 4, 1}, {TYPP, 8, 11}}),
       108,
       {{3, 16}, {4, 20}, {14, 100}}},
      {"EMCONTEXT: 2 bytes of padding before USEKB",
       Elements(
           {{TYPC, 20, 1}, {TYPINT, 4, 1}, {TYPC, 16, 2}, {TYPINT, 4, 5}, {TYPC, 6, 1}, {TYPC, 20, 1}, {TYPINT, 4, 7}}),
       132,
       {{2, 20}, {10, 76}, {11, 82}, {12, 104}, {18, 128}}},
      {"CCSTATS: one-byte integer, then characters, trailing padding",
       Elements({{TYPINT, 4, 13}, {TYPINT1, 1, 1}, {TYPC, 8, 1}}),
       64,
       {{14, 52}, {15, 53}}},
      {"TUNEHDWQ: packed fields at odd offsets, one byte of trailing padding",
       Elements({{TYPINT, 4, 33}, {TYPC, 1, 2}, {TYPC, 14, 2}, {TYPC, 5, 1}, {TYPP, 4, 2}}),
       176,
       {{34, 132}, {38, 162}, {39, 167}, {40, 171}}},
      {"DBSTATDEC: no integer, no rounding",
       Elements({{TYPP, 7, 45}, {TYPC, 30, 1}, {TYPC, 1, 1}, {TYPC, 30, 1}, {TYPC, 1, 3}}),
       379,
       {{46, 315}, {48, 346}, {51, 378}}},
      {"TABHITRATO: packed only", Elements({{TYPP, 7, 3}}), 21, {{3, 14}}},
      {"MEMALLOC: packed after an integer", Elements({{TYPINT, 4, 1}, {TYPP, 8, 1}}), 12, {{2, 4}}},
      {"two-byte integer aligns to 2", Elements({{TYPC, 3, 1}, {TYPINT2, 2, 1}}), 6, {{2, 4}}},
      {"float aligns to 8", Elements({{TYPC, 1, 1}, {TYPFLOAT, 8, 1}, {TYPC, 1, 1}}), 24, {{2, 8}, {3, 16}}},
      {"date, time, numeric text and bytes are byte-aligned",
       Elements({{TYPDATE, 8, 1}, {TYPTIME, 6, 1}, {TYPNUM, 3, 1}, {TYPX, 1, 1}}),
       18,
       {{2, 8}, {3, 14}, {4, 17}}},
      {"empty structure", {}, 0, {}},
  };
  for (const auto& c : kCases) {
    std::vector<LayoutElement> elements = c.elements;
    unsigned row_length = 0;
    std::string err;
    ASSERT_TRUE(ComputeLayout(&elements, &row_length, &err)) << c.label << ": " << err;
    EXPECT_EQ(row_length, c.row_length) << c.label;
    for (const Expect& e : c.offsets) {
      EXPECT_EQ(elements[e.index - 1].offset, e.offset) << c.label << ", element " << e.index;
    }
  }
}

TEST(StructureLayout, RejectsUnknownTypesAndEmptyElements) {
  const struct {
    std::vector<LayoutElement> elements;
    const char* error;
  } kCases[] = {
      {Elements({{TYPC, 1, 1}, {5, 4, 1}}), "element 2 (E2) has unknown type 5"},
      {Elements({{TYPINT, 4, 1}, {TYPC, 0, 1}}), "element 2 (E2) has length 0"},
  };
  for (const auto& c : kCases) {
    std::vector<LayoutElement> elements = c.elements;
    unsigned row_length = 0;
    std::string err;
    EXPECT_FALSE(ComputeLayout(&elements, &row_length, &err));
    EXPECT_EQ(err, c.error);
  }
}

}  // namespace
}  // namespace rfcemu
