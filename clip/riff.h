#pragma once

// The RIFF container as the clip reader walks it: little-endian numbers,
// four-character codes and the chunks of one list body.

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvallestin::avi {

constexpr std::uint32_t FourCc(const char (&s)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}

inline constexpr std::uint32_t kList = FourCc("LIST");

std::uint16_t U16(const std::uint8_t* p);
std::uint32_t U32(const std::uint8_t* p);
std::int32_t I32(const std::uint8_t* p);

// A four-character code as text in quotes, anything unprintable shown as '?'.
std::string CodeText(std::uint32_t code);

// Bytes of the file, never owned.
struct Span {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

struct Chunk {
    std::uint32_t id = 0;
    std::uint32_t list_type = 0;  // for LIST chunks; their body then follows the type
    Span body;
};

// Walks the chunks of one list body. Every chunk must lie wholly inside it.
class ChunkWalker {
  public:
    explicit ChunkWalker(Span area) : area_(area) {}

    // True with the next chunk; false at the end (error empty) or on a broken
    // chunk (error set).
    bool Next(Chunk& chunk, std::string& error);

  private:
    Span area_;
    std::size_t pos_ = 0;
};

}  // namespace korvallestin::avi
