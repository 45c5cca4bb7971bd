#include "form_resize.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

using enum ResizedControl;

const char* Name(ResizedControl control) {
    static constexpr std::array<const char*, 9> kNames = {"cmdFind",   "cmdStop",     "cmdNew",
                                                          "aniSearch", "imgHelp",     "tbsTabStrip",
                                                          "pcbTab1",   "txtLocality", "lvwResults"};
    return kNames.at(static_cast<std::size_t>(control));
}

// A window that keeps what is written to it and logs every write in order.
// `refuse_size` makes it keep its size, as a maximised window does; the
// `on_resize` hook runs whenever its size really changes, as a window
// system's resize notification does, before the write returns.
class FakeWindow : public ResizableWindow {
  public:
    FakeWindow(float outer_width, float outer_height, bool status_bar)
        : width_(outer_width), height_(outer_height), status_bar_(status_bar) {}

    float OuterWidth() const override { return width_; }
    float OuterHeight() const override { return height_; }
    void SetOuterWidth(float twips) override {
        log.push_back("window.width=" + Text(twips));
        SetSize(twips, height_);
    }
    void SetOuterHeight(float twips) override {
        log.push_back("window.height=" + Text(twips));
        SetSize(width_, twips);
    }
    bool StatusBarVisible() const override { return status_bar_; }
    void SetControlLeft(ResizedControl control, float twips) override {
        log.push_back(std::string(Name(control)) + ".left=" + Text(twips));
        left[control] = twips;
    }
    void SetControlWidth(ResizedControl control, float twips) override {
        log.push_back(std::string(Name(control)) + ".width=" + Text(twips));
        width[control] = twips;
    }
    void SetControlHeight(ResizedControl control, float twips) override {
        log.push_back(std::string(Name(control)) + ".height=" + Text(twips));
        height[control] = twips;
    }

    bool refuse_size = false;
    std::function<void()> on_resize;
    std::vector<std::string> log;
    std::map<ResizedControl, float> left;
    std::map<ResizedControl, float> width;
    std::map<ResizedControl, float> height;

    int SizeWrites() const {
        int count = 0;
        for (const auto& entry : log) {
            count += entry.starts_with("window.") ? 1 : 0;
        }
        return count;
    }

  private:
    static std::string Text(float twips) { return std::to_string(static_cast<int>(twips)); }

    void SetSize(float new_width, float new_height) {
        if (refuse_size || (new_width == width_ && new_height == height_)) {
            return;
        }
        width_ = new_width;
        height_ = new_height;
        if (on_resize) {
            on_resize();
        }
    }

    float width_;
    float height_;
    bool status_bar_;
};

// Checks every control against the values the rules give for a window of
// `w` by `h` twips.
void ExpectControlsFor(const FakeWindow& window, float w, float h, bool status_bar) {
    for (const auto control : {cmdFind, cmdStop, cmdNew, aniSearch}) {
        EXPECT_EQ(window.left.at(control), w - 1440) << Name(control);
    }
    EXPECT_EQ(window.left.at(imgHelp), w - 500);
    EXPECT_EQ(window.width.at(tbsTabStrip), w - 1665);
    EXPECT_EQ(window.width.at(pcbTab1), w - 1905);
    EXPECT_EQ(window.width.at(txtLocality), w - 4335);
    if (status_bar) {
        EXPECT_EQ(window.width.at(lvwResults), w - 105);
        EXPECT_EQ(window.height.at(lvwResults), h - 3525);
    } else {
        EXPECT_FALSE(window.width.contains(lvwResults));
        EXPECT_FALSE(window.height.contains(lvwResults));
    }
}

struct SizeCase {
    const char* name;
    bool status_bar;
    float width;
    float height;
    float expected_width;
    float expected_height;
};

class FormResizeSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(FormResizeSizes, HoldsTheLimitsAndPlacesTheControls) {
    const SizeCase& c = GetParam();
    FakeWindow window(c.width, c.height, c.status_bar);

    Form_Resize(window);

    EXPECT_EQ(window.OuterWidth(), c.expected_width);
    EXPECT_EQ(window.OuterHeight(), c.expected_height);
    // A size already within the limits is never written, not even unchanged.
    const int needed =
        (c.width != c.expected_width ? 1 : 0) + (c.height != c.expected_height ? 1 : 0);
    EXPECT_EQ(window.SizeWrites(), needed);
    ExpectControlsFor(window, c.expected_width, c.expected_height, c.status_bar);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, FormResizeSizes,
                         testing::Values(
                             // Compact: the width has a minimum, the height is pinned.
                             SizeCase{"CompactNarrow", false, 5499, 3135, 5500, 3135},
                             SizeCase{"CompactJustUnderWidth", false, 5499.5f, 3135, 5500, 3135},
                             SizeCase{"CompactMinimumWidth", false, 5500, 3135, 5500, 3135},
                             SizeCase{"CompactWide", false, 5501, 3135, 5501, 3135},
                             SizeCase{"CompactShort", false, 6000, 3134, 6000, 3135},
                             SizeCase{"CompactTall", false, 6000, 3136, 6000, 3135},
                             SizeCase{"CompactFromExpanded", false, 8760, 5580, 8760, 3135},
                             SizeCase{"CompactNarrowAndTall", false, 4000, 8000, 5500, 3135},
                             // Expanded: both have a minimum, nothing has a maximum.
                             SizeCase{"ExpandedNarrow", true, 5499, 6000, 5500, 6000},
                             SizeCase{"ExpandedMinimumWidth", true, 5500, 6000, 5500, 6000},
                             SizeCase{"ExpandedWide", true, 5501, 6000, 5501, 6000},
                             SizeCase{"ExpandedShort", true, 6000, 5579, 6000, 5580},
                             SizeCase{"ExpandedJustUnderHeight", true, 6000, 5579.5f, 6000, 5580},
                             SizeCase{"ExpandedMinimumHeight", true, 6000, 5580, 6000, 5580},
                             SizeCase{"ExpandedTall", true, 6000, 5581, 6000, 5581},
                             SizeCase{"ExpandedFromCompact", true, 8760, 3135, 8760, 5580},
                             SizeCase{"ExpandedBelowBoth", true, 1000, 1000, 5500, 5580},
                             SizeCase{"ExpandedLarge", true, 20000, 15000, 20000, 15000}),
                         [](const testing::TestParamInfo<SizeCase>& test) {
                             return std::string(test.param.name);
                         });

TEST(FormResize, ExpandedAtLaidOutWidthGivesTheLaidOutPlaces) {
    // The buttons are laid out at 7320, the list 8655 x 2055, the tab strip
    // 7095 and the criteria panel 6855 wide.
    FakeWindow window(7320 + 1440, 5580, true);
    Form_Resize(window);
    EXPECT_EQ(window.SizeWrites(), 0);
    EXPECT_EQ(window.left.at(cmdFind), 7320);
    EXPECT_EQ(window.width.at(lvwResults), 8655);
    EXPECT_EQ(window.height.at(lvwResults), 2055);
    EXPECT_EQ(window.width.at(tbsTabStrip), 7095);
    EXPECT_EQ(window.width.at(pcbTab1), 6855);
    EXPECT_EQ(window.width.at(txtLocality), 4455 - 30);
    EXPECT_EQ(window.left.at(imgHelp), 8280 - 20);
}

TEST(FormResize, WritesInTheOrderOfTheRules) {
    FakeWindow expanded(5000, 4000, true);
    Form_Resize(expanded);
    EXPECT_EQ(expanded.log, (std::vector<std::string>{
                                "window.width=5500",
                                "window.height=5580",
                                "lvwResults.width=5395",
                                "lvwResults.height=2055",
                                "cmdFind.left=4060",
                                "cmdStop.left=4060",
                                "cmdNew.left=4060",
                                "aniSearch.left=4060",
                                "imgHelp.left=5000",
                                "tbsTabStrip.width=3835",
                                "pcbTab1.width=3595",
                                "txtLocality.width=1165",
                            }));

    FakeWindow compact(5000, 4000, false);
    Form_Resize(compact);
    EXPECT_EQ(compact.log, (std::vector<std::string>{
                               "window.width=5500",
                               "window.height=3135",
                               "cmdFind.left=4060",
                               "cmdStop.left=4060",
                               "cmdNew.left=4060",
                               "aniSearch.left=4060",
                               "imgHelp.left=5000",
                               "tbsTabStrip.width=3835",
                               "pcbTab1.width=3595",
                               "txtLocality.width=1165",
                           }));
}

TEST(FormResize, RunningAgainOnItsOwnResultChangesNothing) {
    for (const bool status_bar : {false, true}) {
        for (const auto& [w, h] : std::vector<std::pair<float, float>>{
                 {1000, 1000}, {5500, 3135}, {5500, 5580}, {9000, 7000}, {7000, 2000}}) {
            SCOPED_TRACE(testing::Message()
                         << "status bar " << status_bar << ", " << w << " x " << h);
            FakeWindow window(w, h, status_bar);
            Form_Resize(window);
            const auto first_left = window.left;
            const auto first_width = window.width;
            const auto first_height = window.height;
            const float first_w = window.OuterWidth();
            const float first_h = window.OuterHeight();
            window.log.clear();

            Form_Resize(window);

            EXPECT_EQ(window.SizeWrites(), 0);
            EXPECT_EQ(window.OuterWidth(), first_w);
            EXPECT_EQ(window.OuterHeight(), first_h);
            EXPECT_EQ(window.left, first_left);
            EXPECT_EQ(window.width, first_width);
            EXPECT_EQ(window.height, first_height);
        }
    }
}

TEST(FormResize, RefusedSizeStillPlacesTheControlsForTheSizeKept) {
    // A maximised window keeps its size; the rules try once and go on.
    FakeWindow maximised(4000, 8000, false);
    maximised.refuse_size = true;
    Form_Resize(maximised);
    EXPECT_EQ(maximised.OuterWidth(), 4000);
    EXPECT_EQ(maximised.OuterHeight(), 8000);
    EXPECT_EQ(maximised.SizeWrites(), 2);
    EXPECT_EQ(maximised.left.at(cmdFind), 4000 - 1440);
    EXPECT_EQ(maximised.left.at(imgHelp), 4000 - 500);
    EXPECT_EQ(maximised.width.at(pcbTab1), 4000 - 1905);
    // 4000 - 4335 would be negative.
    EXPECT_EQ(maximised.width.at(txtLocality), 0);

    // A minimised window may report next to no size at all.
    FakeWindow minimised(0, 0, true);
    minimised.refuse_size = true;
    Form_Resize(minimised);
    EXPECT_EQ(minimised.SizeWrites(), 2);
    for (const auto& [control, twips] : minimised.width) {
        EXPECT_GE(twips, 0) << Name(control);
    }
    EXPECT_EQ(minimised.width.at(lvwResults), 0);
    EXPECT_EQ(minimised.height.at(lvwResults), 0);
    EXPECT_EQ(minimised.left.at(cmdNew), -1440);
}

TEST(FormResize, NestedNotificationFromASizeWriteEndsInTheSameState) {
    for (const bool status_bar : {false, true}) {
        SCOPED_TRACE(status_bar ? "expanded" : "compact");
        FakeWindow plain(3000, 4000, status_bar);
        Form_Resize(plain);

        FakeWindow nesting(3000, 4000, status_bar);
        int passes = 0;
        nesting.on_resize = [&] {
            ++passes;
            Form_Resize(nesting);
        };
        Form_Resize(nesting);

        // The width write starts a nested pass, which corrects the height
        // and so starts a second one; after that no size changes again.
        EXPECT_EQ(passes, 2);
        EXPECT_EQ(nesting.SizeWrites(), 2);
        EXPECT_EQ(nesting.OuterWidth(), plain.OuterWidth());
        EXPECT_EQ(nesting.OuterHeight(), plain.OuterHeight());
        EXPECT_EQ(nesting.left, plain.left);
        EXPECT_EQ(nesting.width, plain.width);
        EXPECT_EQ(nesting.height, plain.height);
        // The outer pass ends with the same writes as a pass of its own.
        ASSERT_GE(nesting.log.size(), plain.log.size() - 2);
        EXPECT_TRUE(std::equal(plain.log.begin() + 2, plain.log.end(),
                               nesting.log.end() - (plain.log.size() - 2)));
    }
}

}  // namespace
}  // namespace korvallestin
