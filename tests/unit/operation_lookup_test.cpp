#include "rfc/operation_lookup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace poolmetrics {
namespace {

using Operation = void (*)();

// A library that exports `exports` (name to address) and nothing else.
OperationLookup LookupIn(const std::map<std::string, void*>& exports) {
  return OperationLookup(
      [exports](const char* name) {
        auto found = exports.find(name);
        return found == exports.end() ? nullptr : found->second;
      },
      "librfc32.dll");
}

int plain, decorated, undecorated_at, other;

// The decorated name carries the size of the arguments on the stack.
std::string Bytes(unsigned pointers, unsigned ints) { return std::to_string(pointers * sizeof(void*) + ints * 4); }

TEST(OperationLookup, PlainNameFirstThenEitherDecoratedName) {
  OperationLookup lookup = LookupIn({{"RfcOpen", &plain},
                                     {"_RfcOpen@" + Bytes(1, 0), &other},
                                     {"_RfcClose@" + Bytes(0, 1), &decorated},
                                     {"ItCreate@" + Bytes(1, 3), &undecorated_at}});
  Operation open, close, create;
  lookup.Find("RfcOpen", 1, 0, &open);
  lookup.Find("RfcClose", 0, 1, &close);
  lookup.Find("ItCreate", 1, 3, &create);
  EXPECT_EQ(reinterpret_cast<void*>(open), &plain);
  EXPECT_EQ(reinterpret_cast<void*>(close), &decorated);
  EXPECT_EQ(reinterpret_cast<void*>(create), &undecorated_at);
  EXPECT_EQ(lookup.failure(), "");
}

// Message 1031 names the first operation missing; a decorated name of
// another argument size does not stand in for it.
TEST(OperationLookup, NamesTheFirstOperationMissing) {
  OperationLookup lookup = LookupIn({{"RfcOpen", &plain}, {"_RfcOpenEx@" + Bytes(2, 1), &other}});
  Operation open, open_ex, close;
  lookup.Find("RfcOpen", 1, 0, &open);
  lookup.Find("RfcOpenEx", 2, 0, &open_ex);
  lookup.Find("RfcClose", 0, 1, &close);
  EXPECT_EQ(reinterpret_cast<void*>(open), &plain);
  EXPECT_EQ(open_ex, nullptr);
  EXPECT_EQ(close, nullptr);
  EXPECT_EQ(lookup.failure(), "RFC-Library librfc32.dll lacks operation RfcOpenEx");
  EXPECT_EQ(LibraryNotLoaded("sapnwrfc.dll", ""), "RFC-Library sapnwrfc.dll could not be loaded");
  EXPECT_EQ(LibraryNotLoaded("sapnwrfc.dll", "not found in D:\\bin\\ nor by Windows' search"),
            "RFC-Library sapnwrfc.dll could not be loaded (not found in D:\\bin\\ nor by Windows' search)");
}

// An operation the library may lack is looked up by the same names, and its
// absence is no failure.
TEST(OperationLookup, AnOptionalOperationMayBeMissing) {
  OperationLookup lookup = LookupIn({{"_RfcSetIniPath@" + Bytes(2, 0), &decorated}});
  Operation set_ini_path, cancel;
  lookup.FindOptional("RfcSetIniPath", 2, 0, &set_ini_path);
  lookup.FindOptional("RfcCancel", 2, 0, &cancel);
  EXPECT_EQ(reinterpret_cast<void*>(set_ini_path), &decorated);
  EXPECT_EQ(cancel, nullptr);
  EXPECT_EQ(lookup.failure(), "");
}

}  // namespace
}  // namespace poolmetrics
