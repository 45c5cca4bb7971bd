#include "avi_clip.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace korvallestin {

namespace {

// Compression codes of a BITMAPINFOHEADER.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

// How deep 'rec ' lists may nest inside 'movi'.
constexpr int kMaxListDepth = 4;

constexpr std::uint32_t FourCc(const char (&s)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}

constexpr std::uint32_t kRiff = FourCc("RIFF");
constexpr std::uint32_t kList = FourCc("LIST");
constexpr std::uint32_t kAvi = FourCc("AVI ");
constexpr std::uint32_t kHdrl = FourCc("hdrl");
constexpr std::uint32_t kAvih = FourCc("avih");
constexpr std::uint32_t kStrl = FourCc("strl");
constexpr std::uint32_t kStrh = FourCc("strh");
constexpr std::uint32_t kStrf = FourCc("strf");
constexpr std::uint32_t kMovi = FourCc("movi");
constexpr std::uint32_t kRec = FourCc("rec ");
constexpr std::uint32_t kVids = FourCc("vids");
constexpr std::uint32_t kAuds = FourCc("auds");
constexpr std::uint32_t k00db = FourCc("00db");
constexpr std::uint32_t k00dc = FourCc("00dc");

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

// A four-character code as text, with anything unprintable shown as '?'.
std::string CodeText(std::uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return "'" + text + "'";
}

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
    bool Next(Chunk& chunk, std::string& error) {
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

  private:
    Span area_;
    std::size_t pos_ = 0;
};

std::uint32_t Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           b;
}

// The video format as the stream's 'strf' gives it.
struct VideoFormat {
    int width = 0;
    int height = 0;  // always positive here
    bool top_down = false;
    int bit_count = 0;  // 8 or 24
    std::uint32_t compression = kBiRgb;
    std::array<std::uint32_t, 256> palette{};
};

class Decoder {
  public:
    Decoder(const VideoFormat& format, std::size_t max_frames,
            std::vector<std::vector<std::uint32_t>>& frames)
        : format_(format), max_frames_(max_frames), frames_(frames) {}

    bool WalkMovi(Span area, int depth, std::string& error) {
        ChunkWalker walker(area);
        Chunk chunk;
        while (walker.Next(chunk, error)) {
            if (chunk.id == kList) {
                if (chunk.list_type != kRec) {
                    continue;
                }
                if (depth >= kMaxListDepth) {
                    error = "'rec ' lists are nested too deep";
                    return false;
                }
                if (!WalkMovi(chunk.body, depth + 1, error)) {
                    return false;
                }
            } else if (chunk.id == k00db || chunk.id == k00dc) {
                if (!AddFrame(chunk.body, error)) {
                    return false;
                }
            }
            // Anything else (palette changes, index chunks, JUNK) is passed over.
        }
        return error.empty();
    }

  private:
    bool AddFrame(Span body, std::string& error) {
        const std::size_t number = frames_.size() + 1;
        if (frames_.size() >= max_frames_) {
            error = "the clip has more frames than " + std::to_string(max_frames_) + " (at most " +
                    std::to_string(AviClip::kMaxFrames) + " frames and " +
                    std::to_string(AviClip::kMaxDecodedBytes / (std::size_t{1024} * 1024)) +
                    " MiB of decoded pixels)";
            return false;
        }
        if (body.size == 0) {
            // An empty chunk repeats the frame before it.
            if (frames_.empty()) {
                error = "frame 1 is empty";
                return false;
            }
            frames_.push_back(frames_.back());
            return true;
        }
        const std::size_t pixels =
            static_cast<std::size_t>(format_.width) * static_cast<std::size_t>(format_.height);
        std::vector<std::uint32_t> frame;
        if (format_.compression == kBiRle8) {
            // RLE frames draw over the frame before them; the first over colour 0.
            if (frames_.empty()) {
                frame.assign(pixels, format_.palette[0]);
            } else {
                frame = frames_.back();
            }
            if (!DecodeRle8(body, frame, number, error)) {
                return false;
            }
        } else {
            frame.resize(pixels);
            if (!DecodeRgb(body, frame, number, error)) {
                return false;
            }
        }
        frames_.push_back(std::move(frame));
        return true;
    }

    // Row `y` of the bitmap as stored (0 = first stored row) to a row of the picture.
    std::size_t PictureRow(std::size_t y) const {
        return format_.top_down ? y : static_cast<std::size_t>(format_.height) - 1 - y;
    }

    bool DecodeRgb(Span body, std::vector<std::uint32_t>& frame, std::size_t number,
                   std::string& error) const {
        const auto width = static_cast<std::size_t>(format_.width);
        const auto height = static_cast<std::size_t>(format_.height);
        const std::size_t row_bytes = width * static_cast<std::size_t>(format_.bit_count / 8);
        const std::size_t stride = (row_bytes + 3) & ~static_cast<std::size_t>(3);
        const std::size_t needed = stride * height;
        if (body.size < needed) {
            error = "frame " + std::to_string(number) + " has " + std::to_string(body.size) +
                    " bytes where " + std::to_string(needed) + " are needed";
            return false;
        }
        for (std::size_t y = 0; y < height; ++y) {
            const std::uint8_t* src = body.data + y * stride;
            std::uint32_t* dst = frame.data() + PictureRow(y) * width;
            if (format_.bit_count == 8) {
                for (std::size_t x = 0; x < width; ++x) {
                    dst[x] = format_.palette[src[x]];
                }
            } else {
                for (std::size_t x = 0; x < width; ++x) {
                    dst[x] = Argb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                }
            }
        }
        return true;
    }

    bool DecodeRle8(Span body, std::vector<std::uint32_t>& frame, std::size_t number,
                    std::string& error) const {
        const auto width = static_cast<std::size_t>(format_.width);
        const auto height = static_cast<std::size_t>(format_.height);
        const std::uint8_t* p = body.data;
        const std::size_t n = body.size;
        std::size_t pos = 0;
        std::size_t x = 0;
        std::size_t y = 0;  // stored row; decoding ends when it leaves the bitmap
        auto cut_short = [&]() {
            error = "frame " + std::to_string(number) + ": RLE data is cut short";
            return false;
        };
        auto put = [&](std::uint8_t index) {
            if (x < width && y < height) {
                frame[PictureRow(y) * width + x] = format_.palette[index];
            }
            ++x;
        };
        // Each pass consumes at least two bytes, so the loop ends.
        while (pos + 2 <= n && y < height) {
            const std::uint8_t count = p[pos];
            const std::uint8_t value = p[pos + 1];
            pos += 2;
            if (count > 0) {
                // An encoded run; pixels past the end of the row are dropped.
                for (int i = 0; i < count && x < width; ++i) {
                    put(value);
                }
                continue;
            }
            switch (value) {
                case 0:  // end of line
                    x = 0;
                    ++y;
                    break;
                case 1:  // end of bitmap
                    return true;
                case 2:  // delta
                    if (n - pos < 2) {
                        return cut_short();
                    }
                    x += p[pos];
                    y += p[pos + 1];
                    pos += 2;
                    break;
                default: {  // absolute run of `value` pixels, padded to a word
                    const std::size_t run = value;
                    const std::size_t padded = run + (run & 1u);
                    if (n - pos < run) {
                        return cut_short();
                    }
                    for (std::size_t i = 0; i < run; ++i) {
                        put(p[pos + i]);
                    }
                    pos = n - pos < padded ? n : pos + padded;
                    break;
                }
            }
        }
        // A frame without the end-of-bitmap mark ends with its data.
        return true;
    }

    const VideoFormat& format_;
    std::size_t max_frames_;
    std::vector<std::vector<std::uint32_t>>& frames_;
};

// Reads a stream's 'strf' BITMAPINFOHEADER with its palette.
bool ReadVideoFormat(Span strf, VideoFormat& format, std::string& error) {
    if (strf.size < 40) {
        error = "the video format 'strf' has " + std::to_string(strf.size) +
                " bytes, fewer than a bitmap header's 40";
        return false;
    }
    const std::uint8_t* h = strf.data;
    const std::uint32_t header_size = U32(h);
    if (header_size < 40 || header_size > strf.size) {
        error = "the bitmap header gives its size as " + std::to_string(header_size) +
                " in a format of " + std::to_string(strf.size) + " bytes";
        return false;
    }
    const std::int64_t width = I32(h + 4);
    const std::int64_t signed_height = I32(h + 8);
    const int bit_count = U16(h + 14);
    const std::uint32_t compression = U32(h + 16);
    const std::uint32_t colours_used = U32(h + 32);
    const std::int64_t height = signed_height < 0 ? -signed_height : signed_height;
    if (width <= 0 || height <= 0 || width > AviClip::kMaxWidth || height > AviClip::kMaxHeight) {
        error = "frames of " + std::to_string(width) + " x " + std::to_string(signed_height) +
                " pixels are not played (at most " + std::to_string(AviClip::kMaxWidth) + " x " +
                std::to_string(AviClip::kMaxHeight) + ")";
        return false;
    }
    format.width = static_cast<int>(width);
    format.height = static_cast<int>(height);
    format.top_down = signed_height < 0;
    format.bit_count = bit_count;
    format.compression = compression;

    switch (compression) {
        case kBiRgb:
            if (bit_count != 8 && bit_count != 24) {
                error = "uncompressed " + std::to_string(bit_count) +
                        "-bit frames are not played (only 8-bit and 24-bit)";
                return false;
            }
            break;
        case kBiRle8:
            if (bit_count != 8) {
                error = "RLE8 frames of " + std::to_string(bit_count) + " bits per pixel";
                return false;
            }
            if (format.top_down) {
                error = "RLE8 frames cannot be top-down (negative height)";
                return false;
            }
            break;
        case kBiRle4:
            error = "RLE4 compression is not played";
            return false;
        case kBiBitfields:
            error = "bit-field frames are not played";
            return false;
        default:
            error = "compression " + CodeText(compression) + " is not played";
            return false;
    }

    format.palette.fill(Argb(0, 0, 0));
    if (bit_count == 8) {
        if (colours_used > 256) {
            error = "the palette claims " + std::to_string(colours_used) + " colours";
            return false;
        }
        const std::size_t available = (strf.size - header_size) / 4;
        std::size_t count = colours_used != 0 ? colours_used : 256;
        if (available < count) {
            if (colours_used != 0) {
                error = "the palette of " + std::to_string(colours_used) + " colours is cut short";
                return false;
            }
            count = available;
        }
        if (count == 0) {
            error = "the 8-bit frames have no palette";
            return false;
        }
        const std::uint8_t* entry = strf.data + header_size;
        for (std::size_t i = 0; i < count; ++i, entry += 4) {
            format.palette[i] = Argb(entry[2], entry[1], entry[0]);
        }
    }
    return true;
}

bool IntervalOk(std::uint64_t us) {
    return us >= AviClip::kMinFrameIntervalUs && us <= AviClip::kMaxFrameIntervalUs;
}

}  // namespace

bool AviClip::Fail(const std::string& reason) {
    Clear();
    error_ = reason;
    return false;
}

void AviClip::Clear() {
    error_.clear();
    width_ = 0;
    height_ = 0;
    interval_us_ = 0;
    frames_.clear();
}

int AviClip::FrameIntervalMs() const {
    if (interval_us_ == 0) {
        return 0;
    }
    const auto ms = static_cast<int>((interval_us_ + 500) / 1000);
    return ms < 1 ? 1 : ms;
}

std::uint32_t AviClip::TransparentColour() const {
    return frames_.empty() ? 0 : frames_.front().front();
}

bool AviClip::Open(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory) {
            return Fail("cannot open '" + path + "': " + ec.message());
        }
        return Fail(std::filesystem::exists(path, ec) ? "'" + path + "' is not a file"
                                                      : "'" + path + "' does not exist");
    }
    const auto close = [](std::FILE* f) { std::fclose(f); };
    std::unique_ptr<std::FILE, decltype(close)> file(std::fopen(path.c_str(), "rb"), close);
    if (!file) {
        return Fail("cannot open '" + path + "': " + std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 65536> block{};
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (bytes.size() + got > kMaxFileBytes) {
            return Fail("'" + path + "' is larger than " +
                        std::to_string(kMaxFileBytes / (std::size_t{1024} * 1024)) + " MiB");
        }
        bytes.insert(bytes.end(), block.data(), block.data() + got);
        if (got < block.size()) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0) {
        return Fail("cannot read '" + path + "'");
    }
    return Parse(bytes.data(), bytes.size());
}

bool AviClip::Parse(const std::uint8_t* data, std::size_t size) {
    Clear();
    if (data == nullptr || size < 12) {
        return Fail("the file is too short for an AVI clip");
    }
    if (U32(data) != kRiff || U32(data + 8) != kAvi) {
        return Fail("not an AVI clip (no RIFF 'AVI ' header)");
    }
    const std::uint32_t riff_size = U32(data + 4);
    if (riff_size < 4 || riff_size > size - 8) {
        return Fail("the file is cut short: its RIFF header gives " + std::to_string(riff_size) +
                    " bytes, " + std::to_string(size - 8) + " follow it");
    }

    // The top level: the header list and the frame list.
    std::string error;
    Span hdrl;
    Span movi;
    bool have_hdrl = false;
    bool have_movi = false;
    {
        ChunkWalker walker(Span{data + 12, riff_size - 4});
        Chunk chunk;
        while (walker.Next(chunk, error)) {
            if (chunk.id != kList) {
                continue;
            }
            if (chunk.list_type == kHdrl) {
                if (have_hdrl) {
                    return Fail("the clip has two header lists 'hdrl'");
                }
                hdrl = chunk.body;
                have_hdrl = true;
            } else if (chunk.list_type == kMovi) {
                if (have_movi) {
                    return Fail("the clip has two frame lists 'movi'");
                }
                movi = chunk.body;
                have_movi = true;
            }
        }
        if (!error.empty()) {
            return Fail(error);
        }
    }
    if (!have_hdrl) {
        return Fail("the clip has no header list 'hdrl'");
    }
    if (!have_movi) {
        return Fail("the clip has no frame list 'movi'");
    }

    // The header list: the main header and one stream list per stream.
    Span avih;
    bool have_avih = false;
    int streams = 0;
    bool audio = false;
    Span strh;
    Span strf;
    bool have_strh = false;
    bool have_strf = false;
    {
        ChunkWalker walker(hdrl);
        Chunk chunk;
        while (walker.Next(chunk, error)) {
            if (chunk.id == kAvih) {
                if (have_avih) {
                    return Fail("the clip has two main headers 'avih'");
                }
                avih = chunk.body;
                have_avih = true;
                continue;
            }
            if (chunk.id != kList || chunk.list_type != kStrl) {
                continue;
            }
            ++streams;
            ChunkWalker stream_walker(chunk.body);
            Chunk part;
            bool have_stream_header = false;
            while (stream_walker.Next(part, error)) {
                if (part.id == kStrh && !have_stream_header) {
                    have_stream_header = true;
                    if (part.body.size >= 4 && U32(part.body.data) == kAuds) {
                        audio = true;
                    }
                    if (streams == 1) {
                        strh = part.body;
                        have_strh = true;
                    }
                } else if (part.id == kStrf && streams == 1 && !have_strf) {
                    strf = part.body;
                    have_strf = true;
                }
            }
            if (!error.empty()) {
                return Fail(error);
            }
        }
        if (!error.empty()) {
            return Fail(error);
        }
    }
    if (!have_avih) {
        return Fail("the clip has no main header 'avih'");
    }
    if (avih.size < 56) {
        return Fail("the main header 'avih' has " + std::to_string(avih.size) +
                    " bytes, fewer than 56");
    }
    if (audio) {
        return Fail("the clip has an audio stream; only a silent clip is played");
    }
    if (streams != 1) {
        return Fail("the clip has " + std::to_string(streams) +
                    " streams; only a clip with a single video stream is played");
    }
    const std::uint32_t declared_streams = U32(avih.data + 24);
    if (declared_streams > 1) {
        return Fail("the main header declares " + std::to_string(declared_streams) +
                    " streams; only a clip with a single video stream is played");
    }
    if (!have_strh) {
        return Fail("the stream has no header 'strh'");
    }
    if (strh.size < 48) {
        return Fail("the stream header 'strh' has " + std::to_string(strh.size) +
                    " bytes, fewer than 48");
    }
    const std::uint32_t stream_type = U32(strh.data);
    if (stream_type != kVids) {
        return Fail("the stream is of type " + CodeText(stream_type) + ", not video 'vids'");
    }
    if (!have_strf) {
        return Fail("the video stream has no format 'strf'");
    }
    VideoFormat format;
    if (!ReadVideoFormat(strf, format, error)) {
        return Fail(error);
    }

    // The frame rate: the main header's, or else the stream's rate and scale.
    std::uint64_t interval = U32(avih.data);
    if (!IntervalOk(interval)) {
        const std::uint64_t scale = U32(strh.data + 20);
        const std::uint64_t rate = U32(strh.data + 24);
        const std::uint64_t from_stream = rate == 0 ? 0 : (scale * 1000000u + rate / 2) / rate;
        if (!IntervalOk(from_stream)) {
            return Fail("the frame rate is missing or absurd (" + std::to_string(interval) +
                        " microseconds a frame; stream rate " + std::to_string(rate) + "/" +
                        std::to_string(scale) + ")");
        }
        interval = from_stream;
    }

    const std::size_t frame_bytes =
        static_cast<std::size_t>(format.width) * static_cast<std::size_t>(format.height) * 4;
    std::size_t max_frames = kMaxDecodedBytes / frame_bytes;
    if (max_frames > static_cast<std::size_t>(kMaxFrames)) {
        max_frames = kMaxFrames;
    }
    std::vector<std::vector<std::uint32_t>> frames;
    Decoder decoder(format, max_frames, frames);
    if (!decoder.WalkMovi(movi, 0, error)) {
        return Fail(error);
    }
    if (frames.empty()) {
        return Fail("the clip has no frames");
    }

    width_ = format.width;
    height_ = format.height;
    interval_us_ = static_cast<std::uint32_t>(interval);
    frames_ = std::move(frames);
    return true;
}

}  // namespace korvallestin
