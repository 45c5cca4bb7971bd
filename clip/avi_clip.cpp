#include "avi_clip.h"

#include <array>

#include "avi_headers.h"
#include "frame_decoder.h"
#include "frame_index.h"
#include "platform.h"

namespace korvallestin {

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
    // Opened once, and only if it is an ordinary file, as the data file is:
    // a pipe or a device put in its place must not block the window.
    ReadOnlyFile file;
    switch (file.Open(path)) {
        case ReadOnlyFile::Status::Opened:
            break;
        case ReadOnlyFile::Status::NotFound:
            return Fail("'" + path + "' does not exist");
        case ReadOnlyFile::Status::Folder:
        case ReadOnlyFile::Status::NotRegular:
            return Fail("'" + path + "' is not a file");
        case ReadOnlyFile::Status::System:
            return Fail("cannot open '" + path + "': " + file.Error());
    }
    std::vector<std::uint8_t> bytes;
    std::array<char, 65536> block{};
    for (;;) {
        const std::ptrdiff_t got = file.Read(block.data(), block.size());
        if (got < 0) {
            return Fail("cannot read '" + path + "': " + file.Error());
        }
        if (got == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxFileBytes) {
            return Fail("'" + path + "' is larger than " +
                        std::to_string(kMaxFileBytes / (std::size_t{1024} * 1024)) + " MiB");
        }
        bytes.insert(bytes.end(), block.data(), block.data() + got);
    }
    return Parse(bytes.data(), bytes.size());
}

bool AviClip::Parse(const std::uint8_t* data, std::size_t size) {
    Clear();
    std::string error;
    avi::TopLists lists;
    avi::Headers headers;
    avi::VideoFormat format;
    std::uint32_t interval_us = 0;
    std::vector<avi::Span> chunks;
    std::vector<std::vector<std::uint32_t>> frames;
    const bool read = avi::FindTopLists(data, size, lists, error) &&
                      avi::ReadHeaders(lists.hdrl, headers, error) &&
                      avi::ReadVideoFormat(headers.strf, format, error) &&
                      avi::ReadFrameInterval(headers, interval_us, error) &&
                      avi::IndexFrames(lists.movi, format, chunks, error) &&
                      avi::DecodeFrames(format, chunks, frames, error);
    if (!read) {
        return Fail(error);
    }
    width_ = format.width;
    height_ = format.height;
    interval_us_ = interval_us;
    frames_ = std::move(frames);
    return true;
}

}  // namespace korvallestin
