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
    // True once a write failed because the reader has gone (a pipe closed by
    // `head`): the program then ends without a word (see main.cpp).
    virtual bool ReaderGone() const { return false; }
};

// A C stream (standard output or error, or an opened file). Line by line,
// each write is flushed at once, whatever buffering the stream has (the
// Windows runtime has no line buffering: _IOLBF buffers fully there).
class StreamOutput final : public Output {
  public:
    explicit StreamOutput(std::FILE* stream, bool line_by_line = false)
        : stream_(stream), line_by_line_(line_by_line) {}
    bool Write(std::string_view text) override;
    bool Flush() override;
    bool LineByLine() const override { return line_by_line_; }
    bool ReaderGone() const override { return reader_gone_; }

  private:
    bool Failed();

    std::FILE* stream_;
    bool line_by_line_;
    bool ok_ = true;
    bool reader_gone_ = false;
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
// committed is removed (also when the program is interrupted). A target that
// is a symbolic link has the file it leads to replaced, the link kept; the
// file replaced keeps its permissions (on Windows its security settings), and
// the new one is on disk before it takes the old one's place.
class ReplacingFileOutput final : public Output {
  public:
    ReplacingFileOutput() = default;
    ~ReplacingFileOutput() override;
    ReplacingFileOutput(const ReplacingFileOutput&) = delete;
    ReplacingFileOutput& operator=(const ReplacingFileOutput&) = delete;

    // Creates the temporary file, readable by its owner only while it is
    // written; false with the reason in `error`, also when the target is no
    // file to replace (see CheckOutputName).
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

// The temporary file's name for a file named `base`: hidden, beside it, with
// `number` (six digits) to tell it apart, and no longer than `longest`
// bytes: `base` is cut short, at a character's start, where it must be.
std::string TemporaryName(const std::string& base, unsigned number, std::size_t longest);

// Whether `target` may be written as an output: a file, or a name with no
// file yet. A folder, a device, a pipe or a socket is refused, with the
// reason as a sentence in `why`.
bool CheckOutputName(const std::string& target, std::string& why);

// True when the two names lead to one file (links, case and relative paths
// included); false when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace korvallestin
