// libFuzzer target: the postcode file reader and the matcher on any bytes.
// Whatever the file holds, reading must end, every field must come out as
// valid UTF-8 no longer than the limit allows, and a failure must say why.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data_file.h"
#include "matching.h"
#include "text_encoding.h"

using korvallestin::IsValidUtf8;
using korvallestin::PostcodeFileReader;
using korvallestin::PostcodeRecord;
using korvallestin::ReadFailure;
using korvallestin::RecordMatches;
using korvallestin::SearchCriteria;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckFields(const PostcodeRecord& record) {
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        const std::string& field = record.Field(i);
        Check(IsValidUtf8(field));
        // A byte decoded as Windows-1252 takes at most three bytes of UTF-8.
        Check(field.size() <= 3 * PostcodeFileReader::kMaxFieldBytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader opens files by name: the input lives in a memory file.
    static const int fd = ::memfd_create("postcodes.csv", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Check(fd >= 0);
    Check(::ftruncate(fd, 0) == 0);
    Check(size == 0 || ::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));

    PostcodeFileReader reader;
    Check(reader.Open(path) == PostcodeFileReader::OpenResult::Opened);
    PostcodeRecord record;
    if (!reader.ReadRecord(record)) {
        Check(reader.LastFailure().kind != ReadFailure::Kind::None);
        return 0;
    }
    CheckFields(record);
    // The header's own fields serve as criteria, so matches happen too.
    SearchCriteria criteria;
    criteria.PostcodeText = size % 3 == 0 ? record.Postcode : "";
    criteria.StateText = size % 5 == 0 ? record.State : "";
    criteria.LocalityText = record.Locality.substr(0, size % 4);
    criteria.MatchMode = size % 2 == 0 ? korvallestin::LocalityMatchMode::BeginsWith
                                       : korvallestin::LocalityMatchMode::Contains;
    std::size_t records = 1;
    while (!reader.AtEnd()) {
        if (!reader.ReadRecord(record)) {
            Check(reader.LastFailure().kind != ReadFailure::Kind::None);
            break;
        }
        CheckFields(record);
        (void)RecordMatches(record, criteria);
        // Each record consumes at least one byte.
        Check(++records <= size + 1);
    }
    return 0;
}
