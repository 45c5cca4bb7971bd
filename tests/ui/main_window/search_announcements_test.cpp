#include "search_announcements.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

struct SpokenLines : Announcer {
    void Announce(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

struct FakeStatusBar : StatusBar {
    void SetVisible(bool v) override { visible = v; }
    void SetSimpleText(const std::string& text) override { shown = text; }
    bool visible = false;
    std::string shown;
};

class Announcements : public ::testing::Test {
  protected:
    std::int64_t now_ms = 5000;
    SpokenLines spoken;
    SearchAnnouncements announcements{spoken, [this] { return now_ms; }};
    using Lines = std::vector<std::string>;
};

TEST_F(Announcements, TheCountIsSpokenAtMostOnceASecondAndAlwaysAtTheEnd) {
    announcements.RunStarted();
    announcements.CountChanged("Number found: 0");
    now_ms += 999;
    announcements.CountChanged("Number found: 1");
    now_ms += 1;
    announcements.CountChanged("Number found: 2");
    now_ms += 500;
    announcements.CountChanged("Number found: 3");
    now_ms += 500;
    announcements.CountChanged("Number found: 4");
    announcements.RunEnded("Number found: 4");
    EXPECT_EQ(spoken.lines,
              (Lines{"Searching", "Number found: 2", "Number found: 4", "Number found: 4"}));
}

TEST_F(Announcements, AnUnchangedCountIsNotRepeatedWhileTheRunGoesOn) {
    announcements.RunStarted();
    now_ms += 1000;
    announcements.CountChanged("Number found: 7");
    now_ms += 5000;
    announcements.CountChanged("Number found: 7");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 7"}));
}

TEST_F(Announcements, AnAbandonedRunIsNotSpokenAgain) {
    announcements.RunStarted();
    announcements.RunAbandoned();
    now_ms += 2000;
    announcements.CountChanged("Number found: 3");
    announcements.RunEnded("Number found: 3");
    EXPECT_EQ(spoken.lines, (Lines{"Searching"}));
    // The next run is heard as usual.
    announcements.RunStarted();
    announcements.RunEnded("Number found: 1");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Searching", "Number found: 1"}));
}

TEST_F(Announcements, NothingIsSpokenOfCountsOutsideARun) {
    announcements.CountChanged("Number found: 3");
    announcements.RunEnded("Number found: 3");
    announcements.RunAbandoned();
    EXPECT_TRUE(spoken.lines.empty());
}

TEST_F(Announcements, ANewOrderIsSpokenAtOnceWithItsDirection) {
    announcements.SortChanged("Locality", 0);
    announcements.SortChanged("Locality", 1);
    announcements.SortChanged("BSP Name", 1);
    EXPECT_EQ(spoken.lines,
              (Lines{"Sorted by Locality, ascending", "Sorted by Locality, descending",
                     "Sorted by BSP Name, descending"}));
}

TEST_F(Announcements, TheAnnouncedStatusBarShowsEveryTextAndSpeaksThePacedOnes) {
    FakeStatusBar bar;
    AnnouncedStatusBar announced(bar, announcements);
    announced.SetVisible(true);
    EXPECT_TRUE(bar.visible);
    announcements.RunStarted();
    announced.SetSimpleText("Number found: 1");
    EXPECT_EQ(bar.shown, "Number found: 1");
    now_ms += 1000;
    announced.SetSimpleText("Number found: 2");
    EXPECT_EQ(bar.shown, "Number found: 2");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 2"}));
}

}  // namespace
}  // namespace korvallestin
