#include "search_announcements.h"

#include <utility>

namespace korvallestin {

SearchAnnouncements::SearchAnnouncements(Announcer& announcer, Clock clock)
    : announcer_(announcer), clock_(std::move(clock)) {}

void SearchAnnouncements::Say(const std::string& text) {
    last_spoken_ms_ = clock_();
    announcer_.Announce(text);
}

void SearchAnnouncements::RunStarted() {
    running_ = true;
    abandoned_ = false;
    last_count_.clear();
    Say(kSearchingMessage);
}

void SearchAnnouncements::CountChanged(const std::string& status) {
    if (!running_ || abandoned_ || status == last_count_) {
        return;
    }
    if (clock_() - last_spoken_ms_ < kMinimumGapMs) {
        return;
    }
    last_count_ = status;
    Say(status);
}

void SearchAnnouncements::RunEnded(const std::string& status) {
    const bool speak = running_ && !abandoned_;
    running_ = false;
    abandoned_ = false;
    if (speak) {
        Say(status);
    }
}

void SearchAnnouncements::RunAbandoned() {
    if (running_) {
        abandoned_ = true;
    }
}

std::string SearchAnnouncements::SortMessage(const std::string& caption, int order) {
    return "Sorted by " + caption + (order == 0 ? ", ascending" : ", descending");
}

void SearchAnnouncements::SortChanged(const std::string& caption, int order) {
    Say(SortMessage(caption, order));
}

}  // namespace korvallestin
