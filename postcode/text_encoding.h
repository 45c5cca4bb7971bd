#pragma once

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

// Appends UTF-8 text to `out` in Windows-1252, the inverse of
// AppendWindows1252AsUtf8. False, with `out` holding what came before it and
// `refused` the character, when the text holds a character that code page
// has no byte for (or bytes that are not UTF-8).
bool AppendUtf8AsWindows1252(std::string_view text, std::string& out, std::string& refused);

}  // namespace korvallestin
