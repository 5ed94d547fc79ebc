#include "base/wipe.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace poolmetrics {
namespace {

// Every unit of the buffer that held the text is zero afterwards, the
// string is empty and keeps its buffer: no copy of the secret is left in a
// block given back, nor beyond the end of a shorter text written over it.
template <typename Char>
void ExpectWholeBufferWiped(std::basic_string<Char>&& text, const char* label) {
  SCOPED_TRACE(label);
  const Char* buffer = text.data();
  std::size_t capacity = text.capacity();
  WipeText(text);
  EXPECT_TRUE(text.empty());
  ASSERT_EQ(text.data(), buffer) << "the same buffer";
  EXPECT_EQ(text.capacity(), capacity);
  for (std::size_t i = 0; i < capacity; ++i) EXPECT_EQ(buffer[i], Char{}) << "unit " << i;
}

TEST(Wipe, StringsInTheirWholeCapacity) {
  ExpectWholeBufferWiped(std::string("secret1"), "within the string itself");
  ExpectWholeBufferWiped(std::string("CLIENT=100 USER=MONITOR PASSWD=secret1 LANG=D DEST=PRD"), "on the heap");
  std::string shortened = "CLIENT=100 USER=MONITOR PASSWD=secret1 LANG=D DEST=PRD";
  shortened.resize(10);  // the password still lies beyond the end
  ExpectWholeBufferWiped(std::move(shortened), "cut short");
  ExpectWholeBufferWiped(std::u16string(u"PASSWD=geheim-und-lang-genug"), "UTF-16");
  ExpectWholeBufferWiped(std::string(), "empty");
}

TEST(Wipe, FixedFieldWhole) {
  FixedText<41> password("a password of forty characters, at most.");
  password.truncate(3);  // the rest stays in the field
  WipeText(password);
  EXPECT_TRUE(password.empty());
  for (std::size_t i = 0; i < 41; ++i) EXPECT_EQ(password[i], '\0') << "byte " << i;
}

}  // namespace
}  // namespace poolmetrics
