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

}  // namespace korvallestin
