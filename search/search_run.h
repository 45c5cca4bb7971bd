#pragma once

#include <cstdint>
#include <string>

#include "data_file.h"
#include "search_window.h"

namespace korvallestin {

inline constexpr float kSearchHeight = 5580;
inline constexpr char kFoundPrefix[] = "Number found: ";

// One press of "F&ind Now" from start to finish, and the buttons and close
// guard around it. A run reads the postcode file record by record, giving the
// window a turn before each, and lists the records that match the criteria
// the controls hold at that moment. Stop and New Search, clicked during that
// turn, end it.
class SearchRun {
  public:
    explicit SearchRun(const SearchWindow& window);

    void cmdFind_Click();
    void cmdStop_Click();
    void cmdNew_Click();
    // Refuses the close (sets Cancel) while a run is in progress.
    void Form_Unload(bool& Cancel) const;

    bool StopRequested() const { return blnStopSearch; }

  private:
    void Finish();
    void ReportFailure(const std::string& action, const std::string& path,
                       const PostcodeFileReader& reader, std::int32_t found);

    SearchWindow window_;
    bool blnStopSearch = false;
    // How many times New Search has reset the window. A run that sees it
    // change during its turn stops at once: the list now belongs to a fresh
    // start, and a record of the abandoned search must not appear in it.
    std::uint64_t resets_ = 0;
};

}  // namespace korvallestin
