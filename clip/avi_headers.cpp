#include "avi_headers.h"

#include "avi_clip.h"

namespace korvallestin::avi {

namespace {

constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

constexpr std::uint32_t kRiff = FourCc("RIFF");
constexpr std::uint32_t kAvi = FourCc("AVI ");
constexpr std::uint32_t kHdrl = FourCc("hdrl");
constexpr std::uint32_t kAvih = FourCc("avih");
constexpr std::uint32_t kStrl = FourCc("strl");
constexpr std::uint32_t kStrh = FourCc("strh");
constexpr std::uint32_t kStrf = FourCc("strf");
constexpr std::uint32_t kMovi = FourCc("movi");
constexpr std::uint32_t kVids = FourCc("vids");
constexpr std::uint32_t kAuds = FourCc("auds");

// Keeps `body` as the one chunk of its kind; a second one is an error.
bool KeepOnce(Span body, Span& kept, bool& have, const char* second, std::string& error) {
    if (have) {
        error = second;
        return false;
    }
    kept = body;
    have = true;
    return true;
}

// What the header list holds, before it is checked.
struct HeaderParts {
    Headers headers;
    bool have_avih = false;
    bool have_strh = false;
    bool have_strf = false;
    int streams = 0;
    bool audio = false;
};

// One stream list 'strl': its header tells an audio stream; the first
// stream's header and format are kept.
bool ReadStreamList(Span strl, HeaderParts& parts, std::string& error) {
    ++parts.streams;
    const bool first = parts.streams == 1;
    ChunkWalker walker(strl);
    Chunk part;
    bool have_stream_header = false;
    while (walker.Next(part, error)) {
        if (part.id == kStrh && !have_stream_header) {
            have_stream_header = true;
            if (part.body.size >= 4 && U32(part.body.data) == kAuds) {
                parts.audio = true;
            }
            if (first) {
                parts.headers.strh = part.body;
                parts.have_strh = true;
            }
        } else if (part.id == kStrf && first && !parts.have_strf) {
            parts.headers.strf = part.body;
            parts.have_strf = true;
        }
    }
    return error.empty();
}

bool WalkHeaderList(Span hdrl, HeaderParts& parts, std::string& error) {
    ChunkWalker walker(hdrl);
    Chunk chunk;
    while (walker.Next(chunk, error)) {
        if (chunk.id == kAvih) {
            if (!KeepOnce(chunk.body, parts.headers.avih, parts.have_avih,
                          "the clip has two main headers 'avih'", error)) {
                return false;
            }
        } else if (chunk.id == kList && chunk.list_type == kStrl) {
            if (!ReadStreamList(chunk.body, parts, error)) {
                return false;
            }
        }
    }
    return error.empty();
}

// The first failed check's reason, or empty when the parts make a silent
// clip of one video stream.
std::string CheckHeaderParts(const HeaderParts& parts) {
    const Headers& h = parts.headers;
    if (!parts.have_avih) {
        return "the clip has no main header 'avih'";
    }
    if (h.avih.size < 56) {
        return "the main header 'avih' has " + std::to_string(h.avih.size) +
               " bytes, fewer than 56";
    }
    if (parts.audio) {
        return "the clip has an audio stream; only a silent clip is played";
    }
    const std::string single = " streams; only a clip with a single video stream is played";
    if (parts.streams != 1) {
        return "the clip has " + std::to_string(parts.streams) + single;
    }
    const std::uint32_t declared_streams = U32(h.avih.data + 24);
    if (declared_streams > 1) {
        return "the main header declares " + std::to_string(declared_streams) + single;
    }
    if (!parts.have_strh) {
        return "the stream has no header 'strh'";
    }
    if (h.strh.size < 48) {
        return "the stream header 'strh' has " + std::to_string(h.strh.size) +
               " bytes, fewer than 48";
    }
    const std::uint32_t stream_type = U32(h.strh.data);
    if (stream_type != kVids) {
        return "the stream is of type " + CodeText(stream_type) + ", not video 'vids'";
    }
    if (!parts.have_strf) {
        return "the video stream has no format 'strf'";
    }
    return {};
}

// The kinds of frame the decoder knows: uncompressed 8 or 24 bits, or RLE8
// stored bottom-up.
bool CheckCompression(const VideoFormat& format, std::string& error) {
    switch (format.compression) {
        case kBiRgb:
            if (format.bit_count != 8 && format.bit_count != 24) {
                error = "uncompressed " + std::to_string(format.bit_count) +
                        "-bit frames are not played (only 8-bit and 24-bit)";
                return false;
            }
            return true;
        case kBiRle8:
            if (format.bit_count != 8) {
                error = "RLE8 frames of " + std::to_string(format.bit_count) + " bits per pixel";
                return false;
            }
            if (format.top_down) {
                error = "RLE8 frames cannot be top-down (negative height)";
                return false;
            }
            return true;
        case kBiRle4:
            error = "RLE4 compression is not played";
            return false;
        case kBiBitfields:
            error = "bit-field frames are not played";
            return false;
        default:
            error = "compression " + CodeText(format.compression) + " is not played";
            return false;
    }
}

// The palette after the bitmap header: as many colours as it says it uses,
// or as many of 256 as the format holds.
bool ReadPalette(Span strf, std::uint32_t header_size, std::uint32_t colours_used,
                 VideoFormat& format, std::string& error) {
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
        format.palette.at(i) = Argb(entry[2], entry[1], entry[0]);
    }
    return true;
}

bool IntervalOk(std::uint64_t us) {
    return us >= AviClip::kMinFrameIntervalUs && us <= AviClip::kMaxFrameIntervalUs;
}

}  // namespace

std::uint32_t Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           b;
}

bool FindTopLists(const std::uint8_t* data, std::size_t size, TopLists& lists, std::string& error) {
    if (data == nullptr || size < 12) {
        error = "the file is too short for an AVI clip";
        return false;
    }
    if (U32(data) != kRiff || U32(data + 8) != kAvi) {
        error = "not an AVI clip (no RIFF 'AVI ' header)";
        return false;
    }
    const std::uint32_t riff_size = U32(data + 4);
    if (riff_size < 4 || riff_size > size - 8) {
        error = "the file is cut short: its RIFF header gives " + std::to_string(riff_size) +
                " bytes, " + std::to_string(size - 8) + " follow it";
        return false;
    }
    bool have_hdrl = false;
    bool have_movi = false;
    ChunkWalker walker(Span{data + 12, riff_size - 4});
    Chunk chunk;
    while (walker.Next(chunk, error)) {
        if (chunk.id != kList) {
            continue;
        }
        if (chunk.list_type == kHdrl && !KeepOnce(chunk.body, lists.hdrl, have_hdrl,
                                                  "the clip has two header lists 'hdrl'", error)) {
            return false;
        }
        if (chunk.list_type == kMovi && !KeepOnce(chunk.body, lists.movi, have_movi,
                                                  "the clip has two frame lists 'movi'", error)) {
            return false;
        }
    }
    if (!error.empty()) {
        return false;
    }
    if (!have_hdrl) {
        error = "the clip has no header list 'hdrl'";
    } else if (!have_movi) {
        error = "the clip has no frame list 'movi'";
    }
    return error.empty();
}

bool ReadHeaders(Span hdrl, Headers& headers, std::string& error) {
    HeaderParts parts;
    if (!WalkHeaderList(hdrl, parts, error)) {
        return false;
    }
    error = CheckHeaderParts(parts);
    headers = parts.headers;
    return error.empty();
}

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
    format.bit_count = U16(h + 14);
    format.compression = U32(h + 16);
    if (!CheckCompression(format, error)) {
        return false;
    }
    format.palette.fill(Argb(0, 0, 0));
    return format.bit_count != 8 || ReadPalette(strf, header_size, U32(h + 32), format, error);
}

bool ReadFrameInterval(const Headers& headers, std::uint32_t& interval_us, std::string& error) {
    const std::uint64_t from_main = U32(headers.avih.data);
    if (IntervalOk(from_main)) {
        interval_us = static_cast<std::uint32_t>(from_main);
        return true;
    }
    const std::uint64_t scale = U32(headers.strh.data + 20);
    const std::uint64_t rate = U32(headers.strh.data + 24);
    const std::uint64_t from_stream = rate == 0 ? 0 : (scale * 1000000u + rate / 2) / rate;
    if (!IntervalOk(from_stream)) {
        error = "the frame rate is missing or absurd (" + std::to_string(from_main) +
                " microseconds a frame; stream rate " + std::to_string(rate) + "/" +
                std::to_string(scale) + ")";
        return false;
    }
    interval_us = static_cast<std::uint32_t>(from_stream);
    return true;
}

}  // namespace korvallestin::avi
