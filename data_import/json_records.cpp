#include "json_records.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <memory>
#include <streambuf>
#include <string_view>

#include <nlohmann/json.hpp>

#include "list_reader.h"

namespace korvallestin {

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// A ByteSource as a stream buffer, for the JSON parser, which reads a byte at
// a time. It stops at `max_bytes`, and remembers a read failure.
class SourceBuffer final : public std::streambuf {
  public:
    SourceBuffer(ByteSource& source, std::size_t max_bytes)
        : source_(source), max_bytes_(max_bytes), buffer_(std::make_unique<char[]>(kBufferSize)) {}

    bool Failed() const { return failed_; }
    bool TooLong() const { return too_long_; }
    std::string Error() const { return source_.Error(); }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        if (total_ >= max_bytes_) {
            char extra = 0;
            too_long_ = source_.Read(&extra, 1) > 0;
            return traits_type::eof();
        }
        const std::ptrdiff_t n =
            source_.Read(buffer_.get(), std::min(kBufferSize, max_bytes_ - total_));
        if (n <= 0) {
            failed_ = n < 0;
            return traits_type::eof();
        }
        total_ += static_cast<std::size_t>(n);
        setg(buffer_.get(), buffer_.get(), buffer_.get() + n);
        return traits_type::to_int_type(*gptr());
    }

  private:
    ByteSource& source_;
    std::size_t max_bytes_;
    std::size_t total_ = 0;
    std::unique_ptr<char[]> buffer_;
    bool failed_ = false;
    bool too_long_ = false;
};

using Json = nlohmann::json;

// Collects the objects of the top array, one at a time.
class RecordCollector final : public nlohmann::json_sax<Json> {
  public:
    explicit RecordCollector(const std::function<bool(const JsonRecord&)>& record)
        : record_(record) {}

    bool null() override { return Value({}); }
    bool boolean(bool value) override { return Value(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) override { return Value(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Value(std::to_string(value)); }
    bool number_float(number_float_t /*value*/, const string_t& text) override {
        return Value(text);
    }
    bool string(string_t& value) override { return Value(std::move(value)); }
    bool binary(binary_t& /*value*/) override { return Fail("it holds binary data"); }

    bool start_object(std::size_t /*size*/) override {
        if (depth_ == 0) {
            return Fail("it is one object, not an array of records");
        }
        if (depth_ > 1) {
            return NotText("an object");
        }
        ++depth_;
        ++current_.number;
        current_.keys.clear();
        current_.values.clear();
        return true;
    }
    bool end_object() override {
        --depth_;
        if (!record_(current_)) {
            stopped_ = true;
            return false;
        }
        return true;
    }
    bool start_array(std::size_t /*size*/) override {
        if (depth_ > 0) {
            return depth_ == 1 ? Fail("record " + std::to_string(current_.number + 1) +
                                      " is an array, not an object")
                               : NotText("an array");
        }
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool key(string_t& name) override {
        current_.keys.push_back(std::move(name));
        return true;
    }
    bool parse_error(std::size_t position, const std::string& /*last_token*/,
                     const nlohmann::detail::exception& ex) override {
        // The library's message begins with its own code in brackets.
        std::string_view what = ex.what();
        const std::size_t bracket = what.find("] ");
        if (bracket != std::string_view::npos) {
            what.remove_prefix(bracket + 2);
        }
        return Fail("it is not well-formed JSON (at byte " + std::to_string(position) + ": " +
                    std::string(what) + ")");
    }

    bool Stopped() const { return stopped_; }
    const std::string& Error() const { return error_; }
    bool SawArray() const { return saw_value_; }

  private:
    bool Value(std::string text) {
        if (depth_ == 0) {
            return Fail("it holds a single value, not an array of records");
        }
        if (depth_ == 1) {
            return Fail("record " + std::to_string(current_.number + 1) +
                        " is a single value, not an object");
        }
        saw_value_ = true;
        current_.values.push_back(std::move(text));
        return true;
    }
    bool NotText(std::string_view what) {
        const std::string name = current_.keys.empty() ? std::string() : current_.keys.back();
        return Fail("the value of \"" + name + "\" in record " + std::to_string(current_.number) +
                    " is " + std::string(what) + ", not text or a number");
    }
    bool Fail(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
        }
        return false;
    }

    const std::function<bool(const JsonRecord&)>& record_;
    JsonRecord current_;
    int depth_ = 0;
    bool stopped_ = false;
    bool saw_value_ = false;
    std::string error_;
};

}  // namespace

bool ReadJsonRecords(ByteSource& source, std::size_t max_bytes,
                     const std::function<bool(const JsonRecord&)>& record, std::string& error) {
    SourceBuffer buffer(source, max_bytes);
    std::istream stream(&buffer);
    RecordCollector collector(record);
    const bool parsed = Json::sax_parse(stream, &collector, Json::input_format_t::json, true);
    if (collector.Stopped()) {
        return true;
    }
    if (buffer.Failed()) {
        error = "It could not be read: " + buffer.Error() + ".";
        return false;
    }
    if (buffer.TooLong()) {
        error = "It is longer than " + std::to_string(max_bytes >> 20) +
                " MiB, which no postcode list is.";
        return false;
    }
    if (!parsed) {
        std::string message =
            collector.Error().empty() ? "it is not well-formed JSON" : collector.Error();
        message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
        error = message + ".";
        return false;
    }
    return true;
}

}  // namespace korvallestin
