#include "event_turns.h"

#include <chrono>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

using std::chrono::microseconds;

class Turns : public ::testing::Test {
  protected:
    EventTurns::TimePoint now{std::chrono::hours(1)};
    int clock_reads = 0;
    EventTurns::Clock clock = [this] {
        ++clock_reads;
        return now;
    };

    // Whether each yield looks, the clock standing at the given offsets from
    // the start.
    std::vector<bool> LooksAt(EventTurns& turns, const std::vector<int>& offsets_us) {
        const EventTurns::TimePoint start = now;
        std::vector<bool> looks;
        for (int offset : offsets_us) {
            now = start + microseconds(offset);
            looks.push_back(turns.Due());
        }
        return looks;
    }
};

TEST_F(Turns, WithNoSpacingEveryYieldLooksWithoutReadingTheClock) {
    EventTurns turns(microseconds::zero(), clock);
    EXPECT_EQ(LooksAt(turns, {0, 0, 1, 1, 5000}), std::vector<bool>(5, true));
    EXPECT_EQ(clock_reads, 0);
}

TEST_F(Turns, LooksAreSpacedFromTheLastLookNotFromTheFirst) {
    EventTurns turns(microseconds(1000), clock);
    // A look at once; none until the spacing has passed; the next spacing
    // counts from that look (1,300 µs), so 2,100 µs is still too soon.
    EXPECT_EQ(
        LooksAt(turns, {0, 1, 999, 1300, 1301, 2100, 2299, 2300, 2300, 9000}),
        std::vector<bool>({true, false, false, true, false, false, false, true, false, true}));
}

TEST_F(Turns, ALongPauseBetweenYieldsMeansTheNextOneLooks) {
    EventTurns turns(microseconds(1000), clock);
    ASSERT_TRUE(turns.Due());
    now += std::chrono::seconds(30);
    EXPECT_TRUE(turns.Due());
    EXPECT_FALSE(turns.Due());
}

}  // namespace
}  // namespace korvallestin
