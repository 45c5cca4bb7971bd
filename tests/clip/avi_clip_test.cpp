#include "avi_clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace korvallestin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------------------
// A small AVI writer, enough to build the clips of these tests in memory.

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutCode(Bytes& b, const std::string& code) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(code.at(i)));
    }
}

void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

Bytes Chunk(const std::string& id, const Bytes& body) {
    Bytes b;
    PutCode(b, id);
    Put32(b, static_cast<std::uint32_t>(body.size()));
    Append(b, body);
    if (body.size() % 2 != 0) {
        b.push_back(0);
    }
    return b;
}

Bytes List(const std::string& type, const std::vector<Bytes>& children,
           const std::string& id = "LIST") {
    Bytes body;
    PutCode(body, type);
    for (const Bytes& child : children) {
        Append(body, child);
    }
    return Chunk(id, body);
}

struct ClipSpec {
    int width = 3;
    std::int32_t height = 2;  // negative for top-down
    int bits = 8;
    std::uint32_t compression = 0;                                                  // BI_RGB
    std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};  // 0xRRGGBB
    std::uint32_t colours_used = 0xFFFFFFFF;  // default: palette.size()
    std::uint32_t us_per_frame = 100000;
    std::uint32_t stream_scale = 1;
    std::uint32_t stream_rate = 10;
    std::uint32_t declared_streams = 1;
    std::uint32_t avih_size = 56;
    std::uint32_t strh_size = 56;
    std::uint32_t bitmap_header_size = 40;
    std::vector<Bytes> frames;  // bodies of the frame chunks
    std::string frame_id = "00dc";
    bool rec_lists = false;                  // each frame in its own 'rec ' list
    bool index = true;                       // write an 'idx1'
    std::vector<std::string> extra_streams;  // types of further streams
};

Bytes StreamList(const std::string& type, const ClipSpec& s) {
    Bytes strh;
    PutCode(strh, type);
    PutCode(strh, type == "vids" ? (s.compression == 1 ? "RLE " : "DIB ") : std::string(4, '\0'));
    Put32(strh, 0);  // flags
    Put32(strh, 0);  // priority, language
    Put32(strh, 0);  // initial frames
    Put32(strh, s.stream_scale);
    Put32(strh, s.stream_rate);
    Put32(strh, 0);  // start
    Put32(strh, static_cast<std::uint32_t>(s.frames.size()));
    Put32(strh, 0);           // suggested buffer size
    Put32(strh, 0xFFFFFFFF);  // quality
    Put32(strh, 0);           // sample size
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, static_cast<std::uint32_t>(s.width));
    Put16(strh, static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(s.height))));
    strh.resize(s.strh_size, 0);

    Bytes strf;
    if (type == "vids") {
        Put32(strf, s.bitmap_header_size);
        Put32(strf, static_cast<std::uint32_t>(s.width));
        Put32(strf, static_cast<std::uint32_t>(s.height));
        Put16(strf, 1);
        Put16(strf, static_cast<std::uint32_t>(s.bits));
        Put32(strf, s.compression);
        Put32(strf, 0);  // image size
        Put32(strf, 0);
        Put32(strf, 0);
        const std::uint32_t used = s.colours_used == 0xFFFFFFFF
                                       ? static_cast<std::uint32_t>(s.palette.size())
                                       : s.colours_used;
        Put32(strf, used);
        Put32(strf, 0);
        strf.resize(std::max<std::size_t>(strf.size(), 40), 0);
        if (s.bits == 8) {
            for (std::uint32_t rgb : s.palette) {
                Put32(strf, rgb);  // little-endian 0x00RRGGBB is B, G, R, 0
            }
        }
    } else {
        // A WAVEFORMATEX for 'auds', anything for others.
        Put16(strf, 1);
        Put16(strf, 1);
        Put32(strf, 8000);
        Put32(strf, 8000);
        Put16(strf, 1);
        Put16(strf, 8);
    }
    return List("strl", {Chunk("strh", strh), Chunk("strf", strf)});
}

Bytes WriteClip(const ClipSpec& s) {
    const std::uint32_t streams = 1 + static_cast<std::uint32_t>(s.extra_streams.size());
    Bytes avih;
    Put32(avih, s.us_per_frame);
    Put32(avih, 0);
    Put32(avih, 0);
    Put32(avih, 0x10);  // AVIF_HASINDEX
    Put32(avih, static_cast<std::uint32_t>(s.frames.size()));
    Put32(avih, 0);
    Put32(avih, s.declared_streams == 1 ? streams : s.declared_streams);
    Put32(avih, 0);
    Put32(avih, static_cast<std::uint32_t>(s.width));
    Put32(avih, static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(s.height))));
    avih.resize(s.avih_size, 0);

    std::vector<Bytes> hdrl = {Chunk("avih", avih), StreamList("vids", s)};
    for (const std::string& type : s.extra_streams) {
        hdrl.push_back(StreamList(type, s));
    }

    std::vector<Bytes> movi;
    Bytes idx1;
    std::uint32_t offset = 4;
    for (const Bytes& frame : s.frames) {
        Bytes chunk = Chunk(s.frame_id, frame);
        if (s.rec_lists) {
            chunk = List("rec ", {chunk});
        }
        PutCode(idx1, s.frame_id);
        Put32(idx1, 0x10);
        Put32(idx1, offset);
        Put32(idx1, static_cast<std::uint32_t>(frame.size()));
        offset += static_cast<std::uint32_t>(chunk.size());
        movi.push_back(chunk);
    }

    std::vector<Bytes> top = {List("hdrl", hdrl), Chunk("JUNK", Bytes(7, 0)), List("movi", movi)};
    if (s.index) {
        top.push_back(Chunk("idx1", idx1));
    }
    return List("AVI ", top, "RIFF");
}

// Rows of palette indices or of 0xRRGGBB colours, top row first, as a
// bottom-up (or top-down) DIB with rows padded to four bytes.
Bytes Dib8(const std::vector<std::vector<std::uint8_t>>& rows, bool top_down = false) {
    Bytes b;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[top_down ? i : rows.size() - 1 - i];
        Bytes line(row.begin(), row.end());
        line.resize((line.size() + 3) / 4 * 4, 0xEE);
        Append(b, line);
    }
    return b;
}

Bytes Dib24(const std::vector<std::vector<std::uint32_t>>& rows) {
    Bytes b;
    for (std::size_t i = rows.size(); i-- > 0;) {
        Bytes line;
        for (std::uint32_t rgb : rows[i]) {
            line.push_back(static_cast<std::uint8_t>(rgb));
            line.push_back(static_cast<std::uint8_t>(rgb >> 8));
            line.push_back(static_cast<std::uint8_t>(rgb >> 16));
        }
        line.resize((line.size() + 3) / 4 * 4, 0xEE);
        Append(b, line);
    }
    return b;
}

std::uint32_t Px(const AviClip& clip, int frame, int x, int y) {
    return clip.Frame(frame).at(static_cast<std::size_t>(y) * clip.Width() + x);
}

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

bool ParseBytes(AviClip& clip, const Bytes& bytes) {
    return clip.Parse(bytes.data(), bytes.size());
}

// Expects the bytes to be refused with a reason, and prints the reason so a
// failing run shows which check caught it.
void ExpectRefused(const Bytes& bytes, const std::string& reason_part = "") {
    AviClip clip;
    EXPECT_FALSE(ParseBytes(clip, bytes));
    EXPECT_FALSE(clip.Error().empty());
    EXPECT_EQ(clip.FrameCount(), 0);
    EXPECT_EQ(clip.Width(), 0);
    EXPECT_FALSE(clip.IsOpen());
    if (!reason_part.empty()) {
        EXPECT_NE(clip.Error().find(reason_part), std::string::npos) << clip.Error();
    }
}

ClipSpec TwoFrames8() {
    ClipSpec s;
    s.frames = {Dib8({{1, 2, 3}, {0, 1, 2}}), Dib8({{3, 3, 3}, {2, 2, 2}})};
    return s;
}

// ---------------------------------------------------------------------------
// Our own clip.

std::string ShippedClip() {
    return std::string(KORV_SOURCE_DIR) + "/resources/Findfile.avi";
}

TEST(AviClipShipped, OpensWithItsSizeFramesAndRate) {
    AviClip clip;
    ASSERT_TRUE(clip.Open(ShippedClip())) << clip.Error();
    EXPECT_TRUE(clip.Error().empty());
    EXPECT_EQ(clip.Width(), 80);
    EXPECT_EQ(clip.Height(), 48);
    EXPECT_EQ(clip.FrameCount(), 12);
    EXPECT_EQ(clip.FrameIntervalUs(), 100000u);
    EXPECT_EQ(clip.FrameIntervalMs(), 100);
}

TEST(AviClipShipped, BackgroundIsOneFlatColourInEveryCorner) {
    AviClip clip;
    ASSERT_TRUE(clip.Open(ShippedClip())) << clip.Error();
    const std::uint32_t background = 0xFFC0C0C0;
    EXPECT_EQ(clip.TransparentColour(), background);
    for (int f = 0; f < clip.FrameCount(); ++f) {
        EXPECT_EQ(Px(clip, f, 0, 0), background) << "frame " << f;
        EXPECT_EQ(Px(clip, f, 79, 0), background) << "frame " << f;
        EXPECT_EQ(Px(clip, f, 0, 47), background) << "frame " << f;
        EXPECT_EQ(Px(clip, f, 79, 47), background) << "frame " << f;
    }
}

TEST(AviClipShipped, FirstFrameShowsTheMapAndTheGlass) {
    AviClip clip;
    ASSERT_TRUE(clip.Open(ShippedClip())) << clip.Error();
    // Known pixels of frame 1, as scripts/make-clip draws it: the land of the
    // Nullarbor, the dark coast line of the west coast, the map under the
    // glass, a post office the glass has found, and the glass's rim.
    EXPECT_EQ(Px(clip, 0, 28, 26), 0xFFE0A040u);  // land
    EXPECT_EQ(Px(clip, 0, 17, 20), 0xFF804010u);  // coast
    EXPECT_EQ(Px(clip, 0, 30, 14), 0xFFF8D898u);  // land under the glass
    EXPECT_EQ(Px(clip, 0, 28, 15), 0xFFE00000u);  // a post office under the glass
    int rim = 0;
    for (std::uint32_t p : clip.Frame(0)) {
        rim += p == 0xFF202020 ? 1 : 0;
    }
    EXPECT_GT(rim, 30);
}

TEST(AviClipShipped, EveryFrameDiffersFromTheNext) {
    AviClip clip;
    ASSERT_TRUE(clip.Open(ShippedClip())) << clip.Error();
    for (int f = 0; f < clip.FrameCount(); ++f) {
        EXPECT_NE(clip.Frame(f), clip.Frame((f + 1) % clip.FrameCount())) << "frame " << f;
    }
}

// ---------------------------------------------------------------------------
// Clips written by the test.

TEST(AviClipUncompressed, Reads8BitBottomUpWithPaddedRows) {
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(TwoFrames8()))) << clip.Error();
    EXPECT_EQ(clip.Width(), 3);
    EXPECT_EQ(clip.Height(), 2);
    ASSERT_EQ(clip.FrameCount(), 2);
    EXPECT_EQ(clip.FrameIntervalMs(), 100);
    EXPECT_EQ(clip.Frame(0),
              (std::vector<std::uint32_t>{kRed, kGreen, kBlue, kBlack, kRed, kGreen}));
    EXPECT_EQ(clip.Frame(1),
              (std::vector<std::uint32_t>{kBlue, kBlue, kBlue, kGreen, kGreen, kGreen}));
    EXPECT_EQ(clip.TransparentColour(), kRed);
}

TEST(AviClipUncompressed, Reads8BitTopDown) {
    ClipSpec s;
    s.height = -2;
    s.frames = {Dib8({{1, 2, 3}, {0, 1, 2}}, /*top_down=*/true)};
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    EXPECT_EQ(clip.Height(), 2);
    EXPECT_EQ(clip.Frame(0),
              (std::vector<std::uint32_t>{kRed, kGreen, kBlue, kBlack, kRed, kGreen}));
}

TEST(AviClipUncompressed, Reads24Bit) {
    ClipSpec s;
    s.bits = 24;
    s.palette.clear();
    s.frames = {Dib24({{0x123456, 0xABCDEF, 0x000001}, {0xFFFFFF, 0x808080, 0x010203}})};
    s.frame_id = "00db";
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    EXPECT_EQ(clip.Frame(0), (std::vector<std::uint32_t>{0xFF123456, 0xFFABCDEF, 0xFF000001,
                                                         0xFFFFFFFF, 0xFF808080, 0xFF010203}));
}

TEST(AviClipUncompressed, ReadsFramesInsideRecListsWithoutAnIndex) {
    ClipSpec s = TwoFrames8();
    s.rec_lists = true;
    s.index = false;
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    ASSERT_EQ(clip.FrameCount(), 2);
    EXPECT_EQ(Px(clip, 1, 0, 0), kBlue);
}

TEST(AviClipUncompressed, AnEmptyFrameChunkRepeatsThePreviousFrame) {
    ClipSpec s = TwoFrames8();
    s.frames.push_back({});
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    ASSERT_EQ(clip.FrameCount(), 3);
    EXPECT_EQ(clip.Frame(2), clip.Frame(1));
}

TEST(AviClipUncompressed, IndicesPastTheShortPaletteAreBlack) {
    ClipSpec s;
    s.palette = {0xFFFFFF};
    s.frames = {Dib8({{0, 200, 0}, {0, 0, 0}})};
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    EXPECT_EQ(Px(clip, 0, 0, 0), 0xFFFFFFFF);
    EXPECT_EQ(Px(clip, 0, 1, 0), kBlack);
}

TEST(AviClipRate, ComesFromTheStreamWhenTheMainHeaderHasNone) {
    ClipSpec s = TwoFrames8();
    s.us_per_frame = 0;
    s.stream_scale = 1;
    s.stream_rate = 8;
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
    EXPECT_EQ(clip.FrameIntervalUs(), 125000u);
    EXPECT_EQ(clip.FrameIntervalMs(), 125);
}

TEST(AviClipRate, MissingOrAbsurdRatesAreRefused) {
    ClipSpec s = TwoFrames8();
    s.us_per_frame = 0;
    s.stream_rate = 0;
    ExpectRefused(WriteClip(s), "frame rate");
    s.us_per_frame = 5;  // 200,000 frames a second
    s.stream_rate = 1000000;
    s.stream_scale = 1;
    ExpectRefused(WriteClip(s), "frame rate");
    s.us_per_frame = 0xFFFFFFFF;  // a frame every 71 minutes
    s.stream_rate = 1;
    s.stream_scale = 3600;
    ExpectRefused(WriteClip(s), "frame rate");
}

// RLE8 on a 6 x 3 picture, palette 0 black, 1 red, 2 green, 3 blue.
ClipSpec Rle8Clip(const std::vector<Bytes>& frames) {
    ClipSpec s;
    s.width = 6;
    s.height = 3;
    s.compression = 1;  // BI_RLE8
    s.frames = frames;
    return s;
}

TEST(AviClipRle8, DecodesRunsAbsoluteRunsDeltaLineAndBitmapEnds) {
    const Bytes frame = {
        // stored row 0 (the bottom row): 2 red, absolute 3 pixels (odd, padded), 1 green
        2, 1, 0, 3, 3, 2, 1, 0, 1, 2, 0, 0,
        // stored row 1: delta 4 right, 0 down; then 2 blue
        0, 2, 4, 0, 2, 3, 0, 0,
        // stored row 2 (top): 6 green, then end of bitmap
        6, 2, 0, 1};
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(Rle8Clip({frame})))) << clip.Error();
    const std::uint32_t r = kRed, g = kGreen, b = kBlue, k = kBlack;
    EXPECT_EQ(clip.Frame(0), (std::vector<std::uint32_t>{g, g, g, g, g, g,  //
                                                         k, k, k, k, b, b,  //
                                                         r, r, b, g, r, g}));
}

TEST(AviClipRle8, LaterFramesDrawOverTheFrameBefore) {
    const Bytes first = {6, 1, 0, 0, 6, 1, 0, 0, 6, 1, 0, 1};  // all red
    const Bytes second = {0, 2, 2, 1, 1, 3, 0, 1};             // one blue pixel at (2, row 1)
    const Bytes third = {0, 1};                                // nothing changes
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(Rle8Clip({first, second, third})))) << clip.Error();
    ASSERT_EQ(clip.FrameCount(), 3);
    EXPECT_EQ(Px(clip, 1, 2, 1), kBlue);
    EXPECT_EQ(Px(clip, 1, 3, 1), kRed);
    EXPECT_EQ(Px(clip, 1, 0, 0), kRed);
    EXPECT_EQ(clip.Frame(2), clip.Frame(1));
}

TEST(AviClipRle8, RunsPastTheRowOrBitmapAreClippedNotWritten) {
    const Bytes frame = {
        200, 1,                  // a run of 200 red on a row of 6
        0,   2, 255, 255,        // a delta far outside
        5,   3, 0,   0,   0, 0,  // drawn nowhere: already past the bitmap
    };
    AviClip clip;
    ASSERT_TRUE(ParseBytes(clip, WriteClip(Rle8Clip({frame})))) << clip.Error();
    EXPECT_EQ(Px(clip, 0, 5, 2), kRed);
    EXPECT_EQ(Px(clip, 0, 0, 1), kBlack);
}

TEST(AviClipRle8, CutShortEscapesAreRefused) {
    ExpectRefused(WriteClip(Rle8Clip({{0, 2, 4}})), "cut short");  // delta without dy
    ExpectRefused(WriteClip(Rle8Clip({{0, 5, 1, 2, 3}})),
                  "cut short");  // absolute run of 5, 3 given
}

TEST(AviClipRle8, TopDownRleIsRefused) {
    ClipSpec s = Rle8Clip({{0, 1}});
    s.height = -3;
    ExpectRefused(WriteClip(s), "top-down");
}

// ---------------------------------------------------------------------------
// Broken and hostile clips.

TEST(AviClipBroken, EveryTruncationIsRefused) {
    for (const ClipSpec& s : {TwoFrames8(), Rle8Clip({{6, 1, 0, 0, 6, 1, 0, 0, 6, 1, 0, 1}})}) {
        const Bytes whole = WriteClip(s);
        for (std::size_t n = 0; n < whole.size(); ++n) {
            AviClip clip;
            EXPECT_FALSE(clip.Parse(whole.data(), n)) << "length " << n;
            EXPECT_FALSE(clip.Error().empty()) << "length " << n;
        }
    }
}

TEST(AviClipBroken, TruncationWithTheRiffSizeMendedIsRefusedOrReadsSafely) {
    // Cut the file and fix up the RIFF size, so the cut is found deeper in.
    const Bytes whole = WriteClip(TwoFrames8());
    for (std::size_t n = 12; n < whole.size(); ++n) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        const auto riff = static_cast<std::uint32_t>(n - 8);
        for (int i = 0; i < 4; ++i) {
            cut[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
        }
        AviClip clip;
        if (clip.Parse(cut.data(), cut.size())) {
            // Only a cut inside the trailing index leaves a whole clip.
            EXPECT_EQ(clip.FrameCount(), 2) << "length " << n;
        } else {
            EXPECT_FALSE(clip.Error().empty()) << "length " << n;
        }
    }
}

TEST(AviClipBroken, NotAnAviIsRefused) {
    ExpectRefused({}, "too short");
    ExpectRefused(Bytes(100, 0), "not an AVI");
    Bytes wave = WriteClip(TwoFrames8());
    wave[8] = 'W';
    ExpectRefused(wave, "not an AVI");
}

TEST(AviClipBroken, WrongSizesAreRefused) {
    ClipSpec s = TwoFrames8();
    s.avih_size = 40;
    ExpectRefused(WriteClip(s), "'avih'");

    s = TwoFrames8();
    s.strh_size = 20;
    ExpectRefused(WriteClip(s), "'strh'");

    s = TwoFrames8();
    s.bitmap_header_size = 500;  // more than the format holds
    ExpectRefused(WriteClip(s), "bitmap header");

    s = TwoFrames8();
    s.bitmap_header_size = 12;  // an OS/2 core header
    ExpectRefused(WriteClip(s), "bitmap header");

    s = TwoFrames8();
    s.frames[1].resize(7);  // needs 8
    ExpectRefused(WriteClip(s), "frame 2 has 7 bytes where 8 are needed");

    s = TwoFrames8();
    s.colours_used = 300;
    ExpectRefused(WriteClip(s), "palette");

    s = TwoFrames8();
    s.colours_used = 10;  // only 4 are written
    ExpectRefused(WriteClip(s), "palette");

    s = TwoFrames8();
    s.palette.clear();
    s.colours_used = 0;
    ExpectRefused(WriteClip(s), "no palette");
}

// Finds the first place of `code` in the bytes.
std::size_t Find(const Bytes& bytes, const std::string& code) {
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (std::equal(code.begin(), code.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i))) {
            return i;
        }
    }
    ADD_FAILURE() << code << " not found";
    return 0;
}

void SetSize(Bytes& bytes, std::size_t chunk, std::uint32_t size) {
    for (int i = 0; i < 4; ++i) {
        bytes[chunk + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
}

TEST(AviClipBroken, AChunkPointingPastTheEndIsRefused) {
    ClipSpec s = TwoFrames8();
    s.index = false;
    Bytes bytes = WriteClip(s);
    // The last frame chunk claims more bytes than its list holds.
    const std::size_t last = bytes.size() - 8 - 8;
    ASSERT_EQ(std::string(bytes.begin() + last, bytes.begin() + last + 4), "00dc");
    SetSize(bytes, last, 9);
    ExpectRefused(bytes, "runs past the end");
    SetSize(bytes, last, 0xFFFFFFF0);
    ExpectRefused(bytes, "runs past the end");

    // The frame list claims more than the file holds.
    bytes = WriteClip(TwoFrames8());
    SetSize(bytes, Find(bytes, "movi") - 8, 0x7FFFFFFF);
    ExpectRefused(bytes, "runs past the end");

    // The RIFF size claims more than the file holds.
    bytes = WriteClip(TwoFrames8());
    SetSize(bytes, 0, 0xFFFFFFFF);
    ExpectRefused(bytes, "cut short");

    // A LIST too short to hold its type.
    bytes = WriteClip(TwoFrames8());
    SetSize(bytes, Find(bytes, "strl") - 8, 2);
    ExpectRefused(bytes);
}

TEST(AviClipBroken, StructureErrorsAreRefused) {
    Bytes bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "hdrl")] = 'x';
    ExpectRefused(bytes, "no header list");

    bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "movi")] = 'x';
    ExpectRefused(bytes, "no frame list");

    bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "avih")] = 'x';
    ExpectRefused(bytes, "no main header");

    bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "strf")] = 'x';
    ExpectRefused(bytes, "no format");

    bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "strh")] = 'x';
    ExpectRefused(bytes, "no header 'strh'");

    bytes = WriteClip(TwoFrames8());
    bytes[Find(bytes, "vids")] = 't';
    ExpectRefused(bytes, "not video");

    ClipSpec s = TwoFrames8();
    s.frames.clear();
    ExpectRefused(WriteClip(s), "no frames");

    s = TwoFrames8();
    s.frame_id = "01dc";  // frames of a stream that is not there
    ExpectRefused(WriteClip(s), "no frames");

    s = TwoFrames8();
    s.frames[0].clear();
    ExpectRefused(WriteClip(s), "frame 1 is empty");
}

TEST(AviClipBroken, ASecondStreamIsRefused) {
    ClipSpec s = TwoFrames8();
    s.extra_streams = {"vids"};
    ExpectRefused(WriteClip(s), "2 streams");
    s.extra_streams = {"txts"};
    ExpectRefused(WriteClip(s), "2 streams");
    s = TwoFrames8();
    s.declared_streams = 3;
    ExpectRefused(WriteClip(s), "declares 3 streams");
}

TEST(AviClipBroken, AnAudioStreamIsRefused) {
    ClipSpec s = TwoFrames8();
    s.extra_streams = {"auds"};
    ExpectRefused(WriteClip(s), "audio");
}

TEST(AviClipBroken, FormatsItDoesNotPlayAreRefused) {
    ClipSpec s = TwoFrames8();
    s.compression = 0x47504A4D;  // 'MJPG'
    s.bits = 24;
    ExpectRefused(WriteClip(s), "'MJPG' is not played");

    s = TwoFrames8();
    s.compression = 2;  // BI_RLE4
    s.bits = 4;
    ExpectRefused(WriteClip(s), "RLE4");

    s = TwoFrames8();
    s.compression = 3;  // BI_BITFIELDS
    s.bits = 16;
    ExpectRefused(WriteClip(s), "bit-field");

    for (int bits : {1, 4, 16, 32}) {
        s = TwoFrames8();
        s.bits = bits;
        ExpectRefused(WriteClip(s), "-bit frames are not played");
    }

    s = Rle8Clip({{0, 1}});
    s.bits = 24;
    ExpectRefused(WriteClip(s), "RLE8 frames of 24 bits");
}

TEST(AviClipBroken, AbsurdDimensionsAreRefused) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> sizes = {
        {0, 2},         {3, 0},         {-3, 2},
        {2000, 2},      {3, 1025},      {3, -1025},
        {3, INT32_MIN}, {INT32_MIN, 3}, {0x7FFFFFFF, 0x7FFFFFFF}};
    for (const auto& [w, h] : sizes) {
        ClipSpec s = TwoFrames8();
        s.width = w;
        s.height = h;
        ExpectRefused(WriteClip(s), "are not played");
    }
}

TEST(AviClipBroken, TooManyFramesAreRefused) {
    ClipSpec s = Rle8Clip({});
    s.width = 1;
    s.height = 1;
    s.index = false;
    s.frames.assign(AviClip::kMaxFrames, Bytes{0, 1});
    {
        AviClip clip;
        ASSERT_TRUE(ParseBytes(clip, WriteClip(s))) << clip.Error();
        EXPECT_EQ(clip.FrameCount(), AviClip::kMaxFrames);
    }
    s.frames.push_back(Bytes{0, 1});
    ExpectRefused(WriteClip(s), "more frames than 1000");
}

TEST(AviClipBroken, TooManyDecodedBytesAreRefused) {
    // 16 frames of 1024 x 1024 fill the 64 MiB; the 17th is one too many,
    // although each is a two-byte RLE chunk.
    ClipSpec s = Rle8Clip({});
    s.width = 1024;
    s.height = 1024;
    s.frames.assign(17, Bytes{0, 1});
    ExpectRefused(WriteClip(s), "more frames than 16");
}

TEST(AviClipBroken, RecListsNestedTooDeepAreRefused) {
    ClipSpec s = TwoFrames8();
    Bytes movi_child = Chunk("00dc", s.frames[0]);
    for (int i = 0; i < 10; ++i) {
        movi_child = List("rec ", {movi_child});
    }
    // Build a clip by hand whose 'movi' holds the deep nest.
    Bytes bytes = WriteClip(s);
    const std::size_t movi = Find(bytes, "movi") - 8;
    Bytes head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(movi));
    Append(head, List("movi", {movi_child}));
    SetSize(head, 0, static_cast<std::uint32_t>(head.size() - 8));
    ExpectRefused(head, "nested too deep");
}

TEST(AviClipFile, OpensAFileAndRefusesWhatIsNoClip) {
    const testing::TempDir dir("korv-clip-Zo\xC3\xAB-");
    const Bytes bytes = WriteClip(TwoFrames8());
    const std::string good = dir.Write("good.avi", std::string(bytes.begin(), bytes.end()));
    AviClip clip;
    EXPECT_TRUE(clip.Open(good)) << clip.Error();
    EXPECT_EQ(clip.FrameCount(), 2);

    EXPECT_FALSE(clip.Open(dir.File("missing.avi")));
    EXPECT_EQ(clip.Error(), "'" + dir.File("missing.avi") + "' does not exist");
    EXPECT_EQ(clip.FrameCount(), 0);

    EXPECT_FALSE(clip.Open(dir.Path()));
    EXPECT_EQ(clip.Error(), "'" + dir.Path() + "' is not a file");

    EXPECT_TRUE(clip.Open(good));
    EXPECT_TRUE(clip.Error().empty());
}

}  // namespace
}  // namespace korvallestin
