#pragma once

// Windows only: text between the UTF-8 the program holds and the UTF-16 the
// system's wide functions take. platform_windows.cpp implements it, for
// itself and for the window's own system calls (ui/common), so that there
// is one conversion each way.

#include <string>

namespace korvallestin {

// UTF-8 to UTF-16. Strict, a malformed sequence gives an empty text, which
// names no file; otherwise each bad sequence becomes U+FFFD.
std::wstring Wide(const std::string& utf8, bool strict = true);

// UTF-16 to UTF-8. A name on disk need not be valid UTF-16 (an unpaired
// surrogate is allowed); such a unit becomes U+FFFD instead of failing.
std::string Narrow(const std::wstring& wide);

}  // namespace korvallestin
