// Text inside a PRTG XML document.
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

// Appends `text` as XML character data: "&", "<" and ">" escaped; a byte
// that is not part of a UTF-8 sequence written as a reference to the
// character it stands for in the platform's legacy code page; control
// characters (C0, which XML cannot carry at all, DEL and C1, which it
// should not, however they are written) shown as "?". Tabs and line ends
// are XML's own and stay.
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace poolmetrics
