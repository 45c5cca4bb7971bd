#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvallestin {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Appends the bytes to `out` as UTF-8: unchanged when they already are valid
// UTF-8, otherwise each byte decoded as Windows-1252. No byte is dropped: the
// five bytes that code page leaves unassigned become the control characters
// of the same number.
void AppendAsUtf8(std::string_view bytes, std::string& out);

// Appends the bytes to `out` as UTF-8, each byte decoded as Windows-1252,
// whether or not they would also read as UTF-8.
void AppendWindows1252AsUtf8(std::string_view bytes, std::string& out);

// Appends valid UTF-8 text to `out` as Windows-1252 bytes. False when a
// character has no byte in that code page (its code in `refused`), or when
// the text is not valid UTF-8 (`refused` is then 0xFFFD); `out` then holds the
// bytes before it. The five bytes the code page leaves unassigned are written
// for the control characters of the same number, as AppendAsUtf8 reads them.
bool AppendAsWindows1252(std::string_view utf8, std::string& out, char32_t& refused);

// Appends one character, by its number, to `out` as UTF-8.
void AppendCodePoint(std::uint32_t cp, std::string& out);

}  // namespace korvallestin
