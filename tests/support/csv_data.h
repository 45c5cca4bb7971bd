#pragma once

#include <string>

namespace korvallestin::testing {

// Data files in the shipped file's shape: a header line, then records of
// nine fields, each line ending in CR LF. The reader never looks at the
// header's texts.
inline constexpr char kCsvHeader[] = "Pcode,Locality,State,Comments,DO,PI,PZ,BSPn,BSPname\r\n";

// The fields of a record after its postcode, locality and state: empty but
// for the parcel zone, V1, unless set.
class CsvFields {
  public:
    CsvFields& Comments(std::string text);
    CsvFields& DeliveryOffice(std::string text);
    CsvFields& ParcelZone(std::string text);
    // Appends the six fields to a record's line, each quoted and led by a
    // comma.
    void AddTo(std::string& line) const;

  private:
    std::string comments_;
    std::string delivery_office_;
    std::string parcel_zone_ = "V1";
};

// One record, every field quoted.
std::string CsvRecord(const std::string& postcode, const std::string& locality,
                      const std::string& state = "VIC", const CsvFields& more = {});

// `count` records in VIC with the localities "TOWN 0", "TOWN 1", ... and the
// postcodes `first_postcode` upwards, in file order.
std::string CsvTowns(int count, int first_postcode = 3000, const CsvFields& more = {});

}  // namespace korvallestin::testing
