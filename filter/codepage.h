#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace navorel {

// Every text the program keeps is 8-bit Windows-1252, as files of the
// Windows copies hold it; the terminal wants UTF-8.
std::string windows1252ToUtf8(std::string_view text);

// Appends one character of the Basic Multilingual Plane as UTF-8.
void appendUtf8(std::string &out, char16_t code);

// text for a message: control bytes, and the five bytes Windows-1252 leaves
// undefined, become "\x00" and the like, so that a NUL cannot cut the
// message short nor a tab or CR bend it.
std::string visibleText(std::string_view text);

// The bytes a text file begins with, up to the first block, tell whether it
// is UTF-16 (a byte-order mark FF FE or FE FF, or every second byte NUL, as
// a Windows editor's "Unicode" saves it) rather than 8-bit text: the filter
// finds no sentence in it, and the user should hear why.
bool looksLikeUtf16(std::string_view head);
inline constexpr std::size_t kUtf16HeadBytes = 4096;

// The degree sign of display texts in Windows-1252.
inline constexpr char kDegreeSign = '\xB0';

} // namespace navorel
