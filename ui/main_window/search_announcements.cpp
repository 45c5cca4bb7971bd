#include "search_announcements.h"

#include <utility>

namespace korvallestin {

SearchAnnouncements::SearchAnnouncements(Announcer& announcer, Clock clock)
    : announcer_(announcer), clock_(std::move(clock)) {}

void SearchAnnouncements::Say(const std::string& text, std::int64_t now_ms) {
    last_spoken_ms_ = now_ms;
    announcer_.Announce(text);
}

void SearchAnnouncements::RunStarted() {
    running_ = true;
    abandoned_ = false;
    start_spoken_ = false;
    started_ms_ = clock_();
    last_count_.clear();
}

std::int64_t SearchAnnouncements::SpeakStartWhenDue(std::int64_t now_ms) {
    const std::int64_t left = started_ms_ + kLongRunMs - now_ms;
    if (left > 0) {
        return left;
    }
    start_spoken_ = true;
    Say(kSearchingMessage, now_ms);
    return 0;
}

std::int64_t SearchAnnouncements::Tick() {
    if (!running_ || abandoned_ || start_spoken_) {
        return 0;
    }
    return SpeakStartWhenDue(clock_());
}

void SearchAnnouncements::CountChanged(const std::string& status) {
    if (!running_ || abandoned_ || status == last_count_) {
        return;
    }
    const std::int64_t now_ms = clock_();
    if (!start_spoken_) {
        // Once the start is spoken, the count waits its turn.
        SpeakStartWhenDue(now_ms);
        return;
    }
    if (now_ms - last_spoken_ms_ < kMinimumGapMs) {
        return;
    }
    last_count_ = status;
    Say(status, now_ms);
}

void SearchAnnouncements::RunEnded(const std::string& status) {
    const bool speak = running_ && !abandoned_;
    running_ = false;
    abandoned_ = false;
    if (speak) {
        Say(status, clock_());
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
    Say(SortMessage(caption, order), clock_());
}

}  // namespace korvallestin
