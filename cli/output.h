#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace korvallestin {

// Where the console program's text goes: a stream, a file or, in tests, a
// string. Write reports whether everything so far reached its place.
class Output {
  public:
    virtual ~Output() = default;
    virtual bool Write(std::string_view text) = 0;
    virtual bool Flush() { return true; }
    // True when a reader is waiting for each line as it comes (a terminal),
    // so that text is not held back to make larger writes.
    virtual bool LineByLine() const { return false; }
};

// A C stream (standard output or error, or an opened file).
class StreamOutput final : public Output {
  public:
    explicit StreamOutput(std::FILE* stream, bool line_by_line = false)
        : stream_(stream), line_by_line_(line_by_line) {}
    bool Write(std::string_view text) override;
    bool Flush() override;
    bool LineByLine() const override { return line_by_line_; }

  private:
    std::FILE* stream_;
    bool line_by_line_;
    bool ok_ = true;
};

class StringOutput final : public Output {
  public:
    bool Write(std::string_view text) override {
        text_.append(text);
        return true;
    }
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

// A file written under a temporary name beside `target` and put in its place
// only by Commit: until then the target is untouched, and a file that is never
// committed is removed (also when the program is interrupted).
class ReplacingFileOutput final : public Output {
  public:
    ReplacingFileOutput() = default;
    ~ReplacingFileOutput() override;
    ReplacingFileOutput(const ReplacingFileOutput&) = delete;
    ReplacingFileOutput& operator=(const ReplacingFileOutput&) = delete;

    // Creates the temporary file; false with the reason in `error`.
    bool Open(const std::string& target, std::string& error);
    bool Write(std::string_view text) override;
    bool Flush() override;
    // Closes the temporary file and renames it to the target.
    bool Commit(std::string& error);
    // Removes the temporary file, leaving the target as it was.
    void Abandon();
    const std::string& TemporaryPath() const { return temporary_; }

  private:
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool ok_ = true;
};

// True when the two names lead to one file (links, case and relative paths
// included); false when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace korvallestin
