// Text conversions at the edge of the Win32 API: the program keeps its
// strings in UTF-8, the W functions take UTF-16, and text files are in the
// system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace snickit::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A text file's bytes for UTF-8 text: the ANSI code page (CP_ACP) when it
// holds every character exactly, otherwise UTF-8 after a byte order mark.
std::string ToTextFileBytes(std::string_view utf8);
// The reverse: a file that starts with the UTF-8 byte order mark is UTF-8,
// anything else is in the ANSI code page.
std::string FromTextFileBytes(std::string_view bytes);

}  // namespace snickit::win32
