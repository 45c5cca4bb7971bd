#include "frame_decoder.h"

#include <cstddef>

namespace korvallestin::avi {

namespace {

using Picture = std::vector<std::uint32_t>;

// Row `y` of the bitmap as stored (0 = first stored row) to a row of the picture.
std::size_t PictureRow(const VideoFormat& format, std::size_t y) {
    return format.top_down ? y : static_cast<std::size_t>(format.height) - 1 - y;
}

std::string FrameText(std::size_t number) {
    return "frame " + std::to_string(number);
}

// Uncompressed rows of 8-bit palette indexes or 24-bit BGR, each padded to
// four bytes.
bool DecodeRgb(const VideoFormat& format, Span body, Picture& frame, std::size_t number,
               std::string& error) {
    const auto width = static_cast<std::size_t>(format.width);
    const auto height = static_cast<std::size_t>(format.height);
    const std::size_t row_bytes = width * static_cast<std::size_t>(format.bit_count / 8);
    const std::size_t stride = (row_bytes + 3) & ~static_cast<std::size_t>(3);
    const std::size_t needed = stride * height;
    if (body.size < needed) {
        error = FrameText(number) + " has " + std::to_string(body.size) + " bytes where " +
                std::to_string(needed) + " are needed";
        return false;
    }
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* src = body.data + y * stride;
        std::uint32_t* dst = frame.data() + PictureRow(format, y) * width;
        if (format.bit_count == 8) {
            for (std::size_t x = 0; x < width; ++x) {
                dst[x] = format.palette[src[x]];
            }
        } else {
            for (std::size_t x = 0; x < width; ++x) {
                dst[x] = Argb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            }
        }
    }
    return true;
}

// Run-length encoded 8-bit rows: pairs of a count and a palette index, or a
// zero and an escape (end of line, end of bitmap, a move, or a run of
// literal indexes padded to a word). Pixels outside the bitmap are dropped.
class Rle8Decoder {
  public:
    Rle8Decoder(const VideoFormat& format, Span body, Picture& frame)
        : format_(format), body_(body), frame_(frame) {}

    // False when the data is cut short.
    bool Decode() {
        const auto height = static_cast<std::size_t>(format_.height);
        // Each pass consumes at least two bytes, so the loop ends; a frame
        // without the end-of-bitmap mark ends with its data.
        while (pos_ + 2 <= body_.size && y_ < height) {
            const std::uint8_t count = body_.data[pos_];
            const std::uint8_t value = body_.data[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                for (int i = 0; i < count && x_ < Width(); ++i) {
                    Put(value);
                }
            } else if (value == 1) {
                return true;  // end of bitmap
            } else if (!Escape(value)) {
                return false;
            }
        }
        return true;
    }

  private:
    std::size_t Width() const { return static_cast<std::size_t>(format_.width); }
    std::size_t Left() const { return body_.size - pos_; }

    void Put(std::uint8_t index) {
        if (x_ < Width() && y_ < static_cast<std::size_t>(format_.height)) {
            frame_[PictureRow(format_, y_) * Width() + x_] = format_.palette[index];
        }
        ++x_;
    }

    bool Escape(std::uint8_t value) {
        if (value == 0) {  // end of line
            x_ = 0;
            ++y_;
            return true;
        }
        if (value == 2) {  // a move right and down
            if (Left() < 2) {
                return false;
            }
            x_ += body_.data[pos_];
            y_ += body_.data[pos_ + 1];
            pos_ += 2;
            return true;
        }
        const std::size_t run = value;
        const std::size_t padded = run + (run & 1u);
        if (Left() < run) {
            return false;
        }
        for (std::size_t i = 0; i < run; ++i) {
            Put(body_.data[pos_ + i]);
        }
        pos_ = Left() < padded ? body_.size : pos_ + padded;
        return true;
    }

    const VideoFormat& format_;
    Span body_;
    Picture& frame_;
    std::size_t pos_ = 0;
    std::size_t x_ = 0;
    std::size_t y_ = 0;  // stored row; decoding ends when it leaves the bitmap
};

bool DecodeFrame(const VideoFormat& format, Span body, Picture& frame, std::size_t number,
                 std::string& error) {
    if (format.compression != kBiRle8) {
        return DecodeRgb(format, body, frame, number, error);
    }
    if (!Rle8Decoder(format, body, frame).Decode()) {
        error = FrameText(number) + ": RLE data is cut short";
        return false;
    }
    return true;
}

}  // namespace

bool DecodeFrames(const VideoFormat& format, const std::vector<Span>& chunks,
                  std::vector<std::vector<std::uint32_t>>& frames, std::string& error) {
    const std::size_t pixels =
        static_cast<std::size_t>(format.width) * static_cast<std::size_t>(format.height);
    for (const Span& body : chunks) {
        const std::size_t number = frames.size() + 1;
        if (body.size == 0 && frames.empty()) {
            error = "frame 1 is empty";
            return false;
        }
        if (body.size == 0) {
            frames.push_back(frames.back());
            continue;
        }
        // RLE frames draw over the frame before them; the first over colour 0.
        Picture frame = format.compression == kBiRle8 && !frames.empty()
                            ? frames.back()
                            : Picture(pixels, format.palette[0]);
        if (!DecodeFrame(format, body, frame, number, error)) {
            return false;
        }
        frames.push_back(std::move(frame));
    }
    return true;
}

}  // namespace korvallestin::avi
