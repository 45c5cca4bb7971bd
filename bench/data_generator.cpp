#include "data_generator.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "data_file.h"

namespace korvallestin::bench {

namespace {

constexpr const char* kWords[] = {"NORTH",   "SOUTH",   "EAST",  "WEST",  "UPPER", "LOWER",
                                  "CENTRAL", "HEIGHTS", "PARK",  "VALE",  "HILL",  "CREEK",
                                  "BAY",     "BEACH",   "DOWNS", "RIDGE", "GLEN",  "PLAINS"};
constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::string Quoted(const std::string& field) {
    return field.empty() ? std::string() : "\"" + field + "\"";
}

std::string Variant(const std::string& locality, std::size_t round) {
    if (round == 0) {
        return locality;
    }
    // A cheap, fixed mix so that neighbouring rounds differ.
    const std::size_t mix = (round * 2654435761U) >> 7;
    const char* word = kWords[mix % kWordCount];
    switch (round % 3) {
        case 0:
            return std::string(word) + " " + locality;
        case 1:
            return locality + " " + word;
        default:
            return locality + " " + std::to_string(mix % 1000);
    }
}

}  // namespace

bool GenerateDataFile(const std::string& source, const std::string& folder, std::size_t records) {
    PostcodeFileReader reader;
    if (reader.Open(source) != PostcodeFileReader::OpenResult::Opened) {
        return false;
    }
    std::vector<PostcodeRecord> seed;
    PostcodeRecord record;
    if (!reader.ReadRecord(record)) {
        return false;
    }
    while (!reader.AtEnd()) {
        if (!reader.ReadRecord(record)) {
            return false;
        }
        seed.push_back(record);
    }
    if (seed.empty()) {
        return false;
    }
    const std::string path = folder + "/postcodes.csv";
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!out) {
        return false;
    }
    std::string line =
        "\"Pcode\",\"Locality\",\"State\",\"Comments\",\"DeliveryOffice\",\"PresortIndicator\","
        "\"ParcelZone\",\"BSPnumber\",\"BSPname\"\r\n";
    std::fwrite(line.data(), 1, line.size(), out.get());
    for (std::size_t i = 0; i < records; ++i) {
        PostcodeRecord r = seed[i % seed.size()];
        r.Locality = Variant(r.Locality, i / seed.size());
        line.clear();
        for (int f = 0; f < PostcodeRecord::kFieldCount; ++f) {
            if (f > 0) {
                line += ',';
            }
            line += Quoted(r.Field(f));
        }
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), out.get()) != line.size()) {
            return false;
        }
    }
    return std::fflush(out.get()) == 0;
}

}  // namespace korvallestin::bench
