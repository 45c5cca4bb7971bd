#pragma once

// The headers of an AVI clip: where its lists are, its one video stream, the
// format of its frames and their pace. Each step checks what it reads and
// says what is wrong in `error`.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "riff.h"

namespace korvallestin::avi {

// Compression codes of a BITMAPINFOHEADER.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;

// The two lists of the RIFF 'AVI ' form that the reader needs.
struct TopLists {
    Span hdrl;  // the headers
    Span movi;  // the frames
};

// The main header and the first stream's header and format.
struct Headers {
    Span avih;
    Span strh;
    Span strf;
};

// The video format as the stream's 'strf' gives it.
struct VideoFormat {
    int width = 0;
    int height = 0;  // always positive here
    bool top_down = false;
    int bit_count = 0;  // 8 or 24
    std::uint32_t compression = kBiRgb;
    std::array<std::uint32_t, 256> palette{};
};

std::uint32_t Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Checks the RIFF header and finds the header list and the frame list.
bool FindTopLists(const std::uint8_t* data, std::size_t size, TopLists& lists, std::string& error);
// Reads the header list; the clip must hold exactly one stream, a video one.
bool ReadHeaders(Span hdrl, Headers& headers, std::string& error);
// Reads the BITMAPINFOHEADER and palette of 'strf'; only the kinds of frame
// the decoder knows pass.
bool ReadVideoFormat(Span strf, VideoFormat& format, std::string& error);
// The time from one frame to the next: the main header's, or else the
// stream's rate and scale; either must lie within the reader's limits.
bool ReadFrameInterval(const Headers& headers, std::uint32_t& interval_us, std::string& error);

}  // namespace korvallestin::avi
