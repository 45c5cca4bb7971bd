#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvallestin {

class ByteSource;

// One object of a JSON array of records: its keys and its values as text
// (a number as it is written, true and false as words, null as empty).
struct JsonRecord {
    long number = 0;  // 1 for the array's first object
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

// Reads `source` as a JSON array of flat objects, as a stream: each object is
// handed to `record` when it closes, and only one is held at a time. Reading
// stops when `record` returns false (true is then returned: the caller knows
// why it stopped). False, with a sentence in `error`, when the text is not
// JSON, is not an array of objects, holds a value that is an object or an
// array, or is longer than `max_bytes`.
bool ReadJsonRecords(ByteSource& source, std::size_t max_bytes,
                     const std::function<bool(const JsonRecord&)>& record, std::string& error);

}  // namespace korvallestin
