// Text conversions at the edge of the Win32 API: the program keeps its
// strings in UTF-8, the W functions take UTF-16, and text files are in the
// system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace snickit::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Between UTF-8 and the ANSI code page (CP_ACP). Characters the code page
// lacks become its default character.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace snickit::win32
