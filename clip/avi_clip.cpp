#include "avi_clip.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "avi_headers.h"
#include "frame_decoder.h"
#include "frame_index.h"

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
