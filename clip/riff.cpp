#include "riff.h"

namespace korvallestin::avi {

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t I32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}

std::string CodeText(std::uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return "'" + text + "'";
}

bool ChunkWalker::Next(Chunk& chunk, std::string& error) {
    if (pos_ >= area_.size) {
        return false;
    }
    const std::size_t left = area_.size - pos_;
    if (left < 8) {
        error = "a chunk header is cut short (" + std::to_string(left) + " bytes left)";
        return false;
    }
    const std::uint8_t* head = area_.data + pos_;
    chunk.id = U32(head);
    const std::uint32_t size = U32(head + 4);
    if (size > left - 8) {
        error = "chunk " + CodeText(chunk.id) + " of " + std::to_string(size) +
                " bytes runs past the end of its list (" + std::to_string(left - 8) +
                " bytes left)";
        return false;
    }
    chunk.body = Span{head + 8, size};
    chunk.list_type = 0;
    if (chunk.id == kList) {
        if (size < 4) {
            error = "a LIST chunk is too short to hold its type";
            return false;
        }
        chunk.list_type = U32(head + 8);
        chunk.body = Span{head + 12, size - 4};
    }
    // Chunks start on even offsets; the pad byte of the last chunk of a
    // list may be missing.
    const std::size_t advance = 8 + static_cast<std::size_t>(size) + (size & 1u);
    pos_ = advance >= left ? area_.size : pos_ + advance;
    return true;
}

}  // namespace korvallestin::avi
