#include "output.h"

#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform.h"

namespace korvallestin {

bool StreamOutput::Failed() {
    reader_gone_ = reader_gone_ || WriteHitClosedPipe();
    ok_ = false;
    return false;
}

bool StreamOutput::Write(std::string_view text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) {
        return Failed();
    }
    if (line_by_line_ && !text.empty()) {
        return Flush();
    }
    return ok_;
}

bool StreamOutput::Flush() {
    if (std::fflush(stream_) != 0) {
        return Failed();
    }
    return ok_;
}

std::string TemporaryName(const std::string& base, unsigned number, std::size_t longest) {
    // Six digits, always: the name's length does not depend on the number.
    char tail[16];
    std::snprintf(tail, sizeof tail, ".%06u.tmp", number % 1000000);
    const std::size_t tail_size = std::strlen(tail);
    std::size_t keep = base.size();
    if (1 + keep + tail_size > longest) {
        keep = longest > 1 + tail_size ? longest - 1 - tail_size : 0;
        // Not inside a character of UTF-8: its continuation bytes are
        // 10xxxxxx.
        while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) {
            --keep;
        }
    }
    std::string name = ".";
    name.append(base, 0, keep);
    name += tail;
    return name;
}

bool CheckOutputName(const std::string& target, std::string& why) {
    std::string resolved;
    std::string error;
    switch (InspectOutputName(target, resolved, error)) {
        case OutputKind::Missing:
        case OutputKind::File:
            return true;
        case OutputKind::Folder:
            why = "It is a folder, not a file.";
            return false;
        case OutputKind::NotRegular:
            why = "It is not an ordinary file (a device, pipe or socket), and is left alone.";
            return false;
        case OutputKind::System:
            why = "The system reported: " + error + ".";
            return false;
    }
    return false;
}

ReplacingFileOutput::~ReplacingFileOutput() {
    Abandon();
}

bool ReplacingFileOutput::Open(const std::string& target, std::string& error) {
    Abandon();
    std::string resolved;
    const OutputKind kind = InspectOutputName(target, resolved, error);
    if (kind != OutputKind::Missing && kind != OutputKind::File) {
        CheckOutputName(target, error);
        return false;
    }
    // Through a link, the file it leads to is replaced and the link stays.
    target_ = resolved;
    const std::filesystem::path path = PathFromUtf8(resolved);
    const std::filesystem::path folder = path.parent_path();
    const std::string base = Utf8FromPath(path.filename());
    const std::size_t longest = LongestFileName(Utf8FromPath(folder));
    // A name of its own beside the target, on the same file system, so that
    // the rename at the end is one step.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 16 && file_ == nullptr; ++attempt) {
        const std::string name = TemporaryName(base, static_cast<unsigned>(random()), longest);
        temporary_ = Utf8FromPath(folder / PathFromUtf8(name));
        error.clear();
        // A file being replaced passes its permissions on at the end; till
        // then only its owner may read what is written.
        file_ = CreateNewFile(temporary_, error, kind == OutputKind::File);
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
    std::FILE* file = file_;
    file_ = nullptr;
    if (!ok_ || std::fflush(file) != 0) {
        std::fclose(file);
        error = "it could not be written in full (is the disk full?)";
        Abandon();
        return false;
    }
    if (!PutFileInPlace(file, temporary_, target_, error)) {
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
