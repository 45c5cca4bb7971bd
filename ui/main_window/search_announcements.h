#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "search_window.h"

namespace korvallestin {

// Speaks a short message through the screen reader, without moving the focus.
class Announcer {
  public:
    virtual ~Announcer() = default;
    virtual void Announce(const std::string& text) = 0;
};

inline constexpr char kSearchingMessage[] = "Searching";

// What a screen reader user hears of a search and of the list's order: the
// start of a run, the running count now and then, the count once the run has
// ended, and each new order. Rows can arrive thousands a second; the count is
// spoken at most once per kMinimumGapMs, so that speech never falls behind.
class SearchAnnouncements {
  public:
    static constexpr std::int64_t kMinimumGapMs = 1000;
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<std::int64_t()>;

    SearchAnnouncements(Announcer& announcer, Clock clock);

    void RunStarted();
    // The status text while the run goes on.
    void CountChanged(const std::string& status);
    // The status text at the end; spoken unless the run was abandoned.
    void RunEnded(const std::string& status);
    // New Search during a run: the fresh start is spoken by the focus, and
    // the abandoned run's count would only mislead.
    void RunAbandoned();
    // `caption` is the sort column's; order 0 is ascending, 1 descending.
    void SortChanged(const std::string& caption, int order);

    static std::string SortMessage(const std::string& caption, int order);

  private:
    void Say(const std::string& text);

    Announcer& announcer_;
    Clock clock_;
    bool running_ = false;
    bool abandoned_ = false;
    std::int64_t last_spoken_ms_ = 0;
    std::string last_count_;
};

// The status bar as a run writes it; the count is also heard.
class AnnouncedStatusBar final : public StatusBar {
  public:
    AnnouncedStatusBar(StatusBar& bar, SearchAnnouncements& announcements)
        : bar_(bar), announcements_(announcements) {}
    void SetVisible(bool visible) override { bar_.SetVisible(visible); }
    void SetSimpleText(const std::string& text) override {
        bar_.SetSimpleText(text);
        announcements_.CountChanged(text);
    }

  private:
    StatusBar& bar_;
    SearchAnnouncements& announcements_;
};

}  // namespace korvallestin
