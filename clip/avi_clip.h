#pragma once

// Reader of the simple AVI clips that a small animation control plays.
//
// Plain C++, no Qt. Accepted: a RIFF 'AVI ' file with exactly one stream, a
// video stream ('vids'), whose frames are uncompressed 8-bit palettised,
// uncompressed 24-bit, or RLE8-compressed device-independent bitmaps, in
// '00db'/'00dc' chunks of the 'movi' list (also inside 'rec ' lists). The
// index 'idx1' is not needed and not read. Anything else is refused with a
// reason.
//
// Every frame is decoded when the clip is opened, into 32-bit ARGB pixels
// (alpha 0xFF), top row first. Every size, offset and count is checked
// against the file and against the limits below, so a broken or hostile clip
// makes Open/Parse fail with a reason; it never reads out of bounds, loops
// without end or allocates without bound.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvallestin {

class AviClip {
  public:
    // Limits of what the reader accepts.
    static constexpr int kMaxWidth = 1024;
    static constexpr int kMaxHeight = 1024;
    static constexpr int kMaxFrames = 1000;
    static constexpr std::size_t kMaxDecodedBytes =
        std::size_t{64} * 1024 * 1024;  // all frames, ARGB
    static constexpr std::size_t kMaxFileBytes = std::size_t{128} * 1024 * 1024;
    static constexpr std::uint32_t kMinFrameIntervalUs = 1000;      // 1000 frames a second
    static constexpr std::uint32_t kMaxFrameIntervalUs = 10000000;  // one frame in 10 s

    // Reads and decodes the clip at `path` (UTF-8). On failure returns false, keeps no
    // clip and Error() tells why.
    bool Open(const std::string& path);
    // The same from bytes in memory.
    bool Parse(const std::uint8_t* data, std::size_t size);
    // Forgets the clip.
    void Clear();

    bool IsOpen() const { return !frames_.empty(); }
    // Why the last Open/Parse failed; empty after a success.
    const std::string& Error() const { return error_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    // Time from one frame to the next.
    std::uint32_t FrameIntervalUs() const { return interval_us_; }
    // The same rounded to milliseconds, at least 1 while a clip is open.
    int FrameIntervalMs() const;
    // Frame `index` (0 <= index < FrameCount()): Width() * Height() pixels
    // 0xAARRGGBB, top row first.
    const std::vector<std::uint32_t>& Frame(int index) const { return frames_.at(index); }
    // The colour drawn transparent: the first frame's top-left pixel.
    std::uint32_t TransparentColour() const;

  private:
    bool Fail(const std::string& reason);

    std::string error_;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t interval_us_ = 0;
    std::vector<std::vector<std::uint32_t>> frames_;
};

}  // namespace korvallestin
