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

// What a screen reader user hears of a search and of the list's order. Most
// runs are short: a run that ends within kLongRunMs is heard once, by its
// count at the end. A longer run is announced as it passes kLongRunMs
// ("Searching"), then its running count now and then, and its count at the
// end. Rows can arrive thousands a second; nothing of a run is spoken less
// than kMinimumGapMs after the last announcement but its final count, so
// that speech never falls behind. Each new order is spoken at once.
class SearchAnnouncements {
  public:
    static constexpr std::int64_t kLongRunMs = 1000;
    static constexpr std::int64_t kMinimumGapMs = 1000;
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<std::int64_t()>;

    SearchAnnouncements(Announcer& announcer, Clock clock);

    // Nothing is spoken yet: a short run is heard only by its count.
    void RunStarted();
    // To be called while the run goes on (a timer started with the run): speaks
    // the start once the run has lasted kLongRunMs. Returns the milliseconds
    // until then, or 0 when nothing is waiting any more.
    std::int64_t Tick();
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
    void Say(const std::string& text, std::int64_t now_ms);
    // Speaks the start if the run has lasted kLongRunMs by `now_ms`; returns
    // the milliseconds left until then, 0 once spoken.
    std::int64_t SpeakStartWhenDue(std::int64_t now_ms);

    Announcer& announcer_;
    Clock clock_;
    bool running_ = false;
    bool abandoned_ = false;
    bool start_spoken_ = false;
    std::int64_t started_ms_ = 0;
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
