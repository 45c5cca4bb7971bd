// libFuzzer target: the JSON record reader, and the whole import behind it,
// on any bytes. Whatever the list holds, reading must end; every key and
// value must be valid UTF-8, every record numbered in turn; an import must
// account for every record it read (written or left out, none twice), write
// every record it keeps, and say why when it fails.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json_records.h"
#include "list_reader.h"
#include "output.h"
#include "postcode_import.h"
#include "text_encoding.h"

using korvallestin::ImportPostcodeList;
using korvallestin::ImportResult;
using korvallestin::IsValidUtf8;
using korvallestin::JsonRecord;
using korvallestin::ReadJsonRecords;
using korvallestin::StringOutput;
using korvallestin::StringSource;
using korvallestin::WritePostcodeFile;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        StringSource source(bytes);
        long expected = 0;
        std::string error;
        const bool read = ReadJsonRecords(
            source, std::size_t{1} << 20,
            [&](const JsonRecord& record) {
                Check(record.number == ++expected);
                Check(record.keys.size() == record.values.size());
                for (std::size_t i = 0; i < record.keys.size(); ++i) {
                    Check(IsValidUtf8(record.keys[i]) && IsValidUtf8(record.values[i]));
                }
                return true;
            },
            error);
        Check(read == error.empty());
    }
    StringSource source(bytes);
    ImportResult result;
    std::string error;
    if (!ImportPostcodeList(source, result, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(static_cast<std::size_t>(result.read) == result.records.size() + result.left_out.size());
    Check(result.changed.size() <= result.records.size());
    StringOutput out;
    Check(WritePostcodeFile(result.records, out));
    return 0;
}
