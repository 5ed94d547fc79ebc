// Texts as they cross the NetWeaver RFC library's boundary: UTF-16 code
// units (SAP_UC).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rfc/nwrfc/nwrfc_api.h"

namespace poolmetrics {

using SapText = std::basic_string<nwrfc::SAP_UC>;

// `text` from a profile, a parameter or the program itself as UTF-16, read
// as the program reads every text it hands on as characters (base/
// code_page.h): a well-formed UTF-8 sequence as its character, any other
// byte as a character of the platform's legacy code page. So a profile means
// the same characters to the library as to the documents that show it.
SapText ToSapText(std::string_view text);

// The library's text up to its terminator, or all `capacity` units of a
// field that has none, as UTF-8. A lone surrogate becomes U+FFFD.
std::string FromSapText(const nwrfc::SAP_UC* text, std::size_t capacity);

}  // namespace poolmetrics
