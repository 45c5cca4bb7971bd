#include "text_encoding.h"

#include <algorithm>
#include <cstdint>

namespace korvallestin {

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five the code page leaves unassigned
// keep their own number, as the system's own conversion does.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendCodePoint(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0;
        std::uint32_t min = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (end - p <= extra) {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

void AppendAsUtf8(std::string_view bytes, std::string& out) {
    if (IsValidUtf8(bytes)) {
        out.append(bytes);
        return;
    }
    AppendWindows1252AsUtf8(bytes, out);
}

void AppendWindows1252AsUtf8(std::string_view bytes, std::string& out) {
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else if (b < 0xA0) {
            AppendCodePoint(kHighControls[b - 0x80], out);
        } else {
            AppendCodePoint(b, out);
        }
    }
}

bool AppendUtf8AsWindows1252(std::string_view text, std::string& out, std::string& refused) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            out.push_back(static_cast<char>(*p++));
            continue;
        }
        // One character: its bytes, then its code point.
        const int length = (*p & 0xE0) == 0xC0 ? 2 : (*p & 0xF0) == 0xE0 ? 3 : 4;
        const std::string_view bytes(reinterpret_cast<const char*>(p),
                                     std::min<std::size_t>(static_cast<std::size_t>(length),
                                                           static_cast<std::size_t>(end - p)));
        p += bytes.size();
        std::uint32_t cp = 0;
        if (IsValidUtf8(bytes)) {
            cp = static_cast<unsigned char>(bytes[0]) & (length == 2   ? 0x1F
                                                         : length == 3 ? 0x0F
                                                                       : 0x07);
            for (std::size_t i = 1; i < bytes.size(); ++i) {
                cp = (cp << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
            }
        }
        int byte = -1;
        if (cp >= 0xA0 && cp <= 0xFF) {
            byte = static_cast<int>(cp);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (kHighControls[i] == cp && cp != 0) {
                    byte = 0x80 + i;
                }
            }
        }
        if (byte < 0) {
            refused = std::string(bytes);
            return false;
        }
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

}  // namespace korvallestin
