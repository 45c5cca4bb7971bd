#include "output.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "platform.h"

namespace korvallestin {

bool StreamOutput::Write(std::string_view text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) {
        ok_ = false;
    }
    return ok_;
}

bool StreamOutput::Flush() {
    if (std::fflush(stream_) != 0) {
        ok_ = false;
    }
    return ok_;
}

ReplacingFileOutput::~ReplacingFileOutput() {
    Abandon();
}

bool ReplacingFileOutput::Open(const std::string& target, std::string& error) {
    Abandon();
    target_ = target;
    const std::filesystem::path path = PathFromUtf8(target);
    const std::filesystem::path folder = path.parent_path();
    const std::string base = Utf8FromPath(path.filename());
    // A name of its own beside the target, on the same file system, so that
    // the rename at the end is one step.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16 && file_ == nullptr; ++attempt) {
        const std::string name = "." + base + "." + std::to_string(random() % 1000000) + ".tmp";
        temporary_ = Utf8FromPath(folder / PathFromUtf8(name));
        error.clear();
        file_ = CreateNewFile(temporary_, error);
    }
    if (file_ == nullptr) {
        temporary_.clear();
        return false;
    }
    RemoveOnInterrupt(temporary_);
    ok_ = true;
    return true;
}

bool ReplacingFileOutput::Write(std::string_view text) {
    if (file_ == nullptr) {
        return false;
    }
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        ok_ = false;
    }
    return ok_;
}

bool ReplacingFileOutput::Flush() {
    if (file_ == nullptr || std::fflush(file_) != 0) {
        ok_ = false;
    }
    return ok_;
}

bool ReplacingFileOutput::Commit(std::string& error) {
    if (file_ == nullptr) {
        error = "the file is not open";
        return false;
    }
    const bool flushed = std::fflush(file_) == 0 && ok_;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        error = "it could not be written in full (is the disk full?)";
        Abandon();
        return false;
    }
    if (!PutFileInPlace(temporary_, target_, error)) {
        Abandon();
        return false;
    }
    ForgetOnInterrupt();
    temporary_.clear();
    return true;
}

void ReplacingFileOutput::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ec;
        std::filesystem::remove(PathFromUtf8(temporary_), ec);
        ForgetOnInterrupt();
        temporary_.clear();
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(PathFromUtf8(a), PathFromUtf8(b), ec);
    return !ec && same;
}

}  // namespace korvallestin
