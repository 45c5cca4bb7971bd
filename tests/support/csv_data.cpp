#include "csv_data.h"

#include <initializer_list>
#include <utility>

namespace korvallestin::testing {

namespace {

// Appends `field`, quoted, after a comma unless it is the line's first.
void AddField(std::string& line, const std::string& field) {
    if (!line.empty()) {
        line += ',';
    }
    line += '"';
    line += field;
    line += '"';
}

}  // namespace

CsvFields& CsvFields::Comments(std::string text) {
    comments_ = std::move(text);
    return *this;
}

CsvFields& CsvFields::DeliveryOffice(std::string text) {
    delivery_office_ = std::move(text);
    return *this;
}

CsvFields& CsvFields::ParcelZone(std::string text) {
    parcel_zone_ = std::move(text);
    return *this;
}

void CsvFields::AddTo(std::string& line) const {
    // Presort indicator, BSP number and BSP name stay empty.
    const std::string empty;
    for (const std::string* field :
         {&comments_, &delivery_office_, &empty, &parcel_zone_, &empty, &empty}) {
        AddField(line, *field);
    }
}

std::string CsvRecord(const std::string& postcode, const std::string& locality,
                      const std::string& state, const CsvFields& more) {
    std::string line;
    AddField(line, postcode);
    AddField(line, locality);
    AddField(line, state);
    more.AddTo(line);
    line += "\r\n";
    return line;
}

std::string CsvTowns(int count, int first_postcode, const CsvFields& more) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes +=
            CsvRecord(std::to_string(first_postcode + i), "TOWN " + std::to_string(i), "VIC", more);
    }
    return bytes;
}

}  // namespace korvallestin::testing
