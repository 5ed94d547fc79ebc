// Texts of the NetWeaver face: the library speaks UTF-16 (SAP_UC), the
// landscape and the journal speak bytes. Conversions in both directions,
// lenient as a library must be with what callers and files hand it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rfc/nwrfc/nwrfc_api.h"

namespace rfcemu {

using SapText = std::basic_string<nwrfc::SAP_UC>;

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromSapUc(const nwrfc::SAP_UC* text, std::size_t length);

// A terminated UTF-16 text to UTF-8; a null pointer gives an empty text.
std::string Utf8FromSapUc(const nwrfc::SAP_UC* text);

// True when `bytes` are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsUtf8(std::string_view bytes);

// Bytes from a landscape file to UTF-8: kept when they are well-formed
// UTF-8, else read as Latin-1.
std::string Utf8FromBytes(std::string_view bytes);

// Bytes to UTF-16 by the same rule: UTF-8 when well-formed, else Latin-1.
SapText SapUcFromBytes(std::string_view bytes);

}  // namespace rfcemu
