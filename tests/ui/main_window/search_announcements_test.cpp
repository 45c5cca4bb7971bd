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

TEST_F(Announcements, AShortRunIsHeardOnceByItsCount) {
    announcements.RunStarted();
    EXPECT_EQ(announcements.Tick(), 1000);
    for (int found = 0; found <= 19; ++found) {
        announcements.CountChanged("Number found: " + std::to_string(found));
        now_ms += 40;
    }
    now_ms = 5999;  // a millisecond short of a second after the start
    EXPECT_EQ(announcements.Tick(), 1);
    announcements.CountChanged("Number found: 20");
    announcements.RunEnded("Number found: 20");
    EXPECT_EQ(spoken.lines, (Lines{"Number found: 20"}));
    EXPECT_EQ(announcements.Tick(), 0);
}

TEST_F(Announcements, ALongRunIsAnnouncedAfterASecondThenItsCountAtMostOnceASecond) {
    announcements.RunStarted();
    announcements.CountChanged("Number found: 0");
    now_ms += 999;
    announcements.CountChanged("Number found: 1");
    now_ms += 1;
    announcements.CountChanged("Number found: 2");  // a second: the start
    now_ms += 999;
    announcements.CountChanged("Number found: 3");
    now_ms += 1;
    announcements.CountChanged("Number found: 4");
    now_ms += 500;
    announcements.CountChanged("Number found: 5");
    announcements.RunEnded("Number found: 5");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 4", "Number found: 5"}));
}

TEST_F(Announcements, ALongRunThatFindsNothingYetIsAnnouncedByTheTick) {
    announcements.RunStarted();
    now_ms += 400;
    EXPECT_EQ(announcements.Tick(), 600);
    EXPECT_TRUE(spoken.lines.empty());
    now_ms += 600;
    EXPECT_EQ(announcements.Tick(), 0);
    now_ms += 3000;
    EXPECT_EQ(announcements.Tick(), 0);  // once only
    announcements.RunEnded("Number found: 0");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 0"}));
}

TEST_F(Announcements, AnUnchangedCountIsNotRepeatedWhileTheRunGoesOn) {
    announcements.RunStarted();
    now_ms += 1000;
    announcements.Tick();
    now_ms += 1000;
    announcements.CountChanged("Number found: 7");
    now_ms += 5000;
    announcements.CountChanged("Number found: 7");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 7"}));
}

TEST_F(Announcements, AnAbandonedRunIsNotSpokenAgain) {
    // Abandoned while short: nothing at all.
    announcements.RunStarted();
    announcements.RunAbandoned();
    now_ms += 2000;
    EXPECT_EQ(announcements.Tick(), 0);
    announcements.CountChanged("Number found: 3");
    announcements.RunEnded("Number found: 3");
    EXPECT_TRUE(spoken.lines.empty());
    // Abandoned once long: only its start.
    announcements.RunStarted();
    now_ms += 1000;
    announcements.Tick();
    announcements.RunAbandoned();
    now_ms += 2000;
    announcements.CountChanged("Number found: 3");
    announcements.RunEnded("Number found: 3");
    EXPECT_EQ(spoken.lines, (Lines{"Searching"}));
    // The next run is heard as usual.
    announcements.RunStarted();
    announcements.RunEnded("Number found: 1");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 1"}));
}

TEST_F(Announcements, NothingIsSpokenOfCountsOutsideARun) {
    announcements.CountChanged("Number found: 3");
    now_ms += 2000;
    EXPECT_EQ(announcements.Tick(), 0);
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
    now_ms += 1000;
    announced.SetSimpleText("Number found: 3");
    EXPECT_EQ(bar.shown, "Number found: 3");
    EXPECT_EQ(spoken.lines, (Lines{"Searching", "Number found: 3"}));
}

}  // namespace
}  // namespace korvallestin
