// libFuzzer target: the address-list reader on any bytes. Whatever the list
// holds, reading must end, every field must come out as valid UTF-8 within
// the row limit, a failure must say why and name a line within the input, and
// the delimiter must be one of the three.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "list_reader.h"
#include "text_encoding.h"

using korvallestin::IsValidUtf8;
using korvallestin::ListFailure;
using korvallestin::ListReader;
using korvallestin::StringSource;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckFields(const std::vector<std::string>& fields) {
    std::size_t bytes = 0;
    for (const std::string& field : fields) {
        Check(IsValidUtf8(field));
        bytes += field.size();
    }
    // A byte decoded as Windows-1252 takes at most three bytes of UTF-8.
    Check(bytes <= 3 * ListReader::kMaxRowBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StringSource source(std::string(reinterpret_cast<const char*>(data), size));
    ListReader reader(source);
    std::vector<std::string> fields;
    if (!reader.ReadHeader(fields)) {
        Check(reader.Failure().kind != ListFailure::Kind::None);
        return 0;
    }
    Check(reader.Delimiter() == ',' || reader.Delimiter() == ';' || reader.Delimiter() == '\t');
    CheckFields(fields);
    std::size_t rows = 1;
    while (reader.ReadRow(fields)) {
        CheckFields(fields);
        Check(!fields.empty());
        // Each row consumes at least one byte.
        Check(++rows <= size);
    }
    const ListFailure& failure = reader.Failure();
    if (failure.kind != ListFailure::Kind::None) {
        Check(failure.line >= 1 && static_cast<std::size_t>(failure.line) <= size + 1);
    }
    return 0;
}
