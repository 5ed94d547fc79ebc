// Texts in the classic library's character set. The library is the
// non-Unicode one: it reads every text as bytes of the platform's legacy
// code page (Windows code page 1252; Latin-1 elsewhere, as base/code_page.h
// reads such bytes).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

// `text`, read as the program reads texts (a well-formed UTF-8 sequence as
// its character, any other byte as a character of the legacy code page), in
// the library's code page; none when a character has no place there.
std::optional<std::string> InLibraryCodePage(std::string_view text);

}  // namespace poolmetrics
