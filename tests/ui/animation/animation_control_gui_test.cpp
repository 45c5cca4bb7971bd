#include "animation_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

namespace korvallestin {
namespace {

QString ShippedClip() {
    return QStringLiteral(KORV_SOURCE_DIR "/resources/Findfile.avi");
}

// Runs events until `done` holds or `timeout_ms` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

// A clock that ticks when the test says so, and only while running, as a
// timer would.
class ManualClock final : public FrameClock {
  public:
    void Start(int interval_ms, std::function<void()> tick) override {
        interval_ms_ = interval_ms;
        tick_ = std::move(tick);
        running_ = true;
    }
    void Stop() override { running_ = false; }
    bool IsRunning() const override { return running_; }

    // One interval passes.
    void Tick() {
        if (running_) {
            tick_();
        }
    }
    int IntervalMs() const { return interval_ms_; }

  private:
    std::function<void()> tick_;
    int interval_ms_ = 0;
    bool running_ = false;
};

// An animation control paced by a manual clock.
struct ClockedAnimation {
    ClockedAnimation() {
        auto owned = std::make_unique<ManualClock>();
        clock = owned.get();
        ani = std::make_unique<AnimationControl>(nullptr, std::move(owned));
    }
    ManualClock* clock = nullptr;
    std::unique_ptr<AnimationControl> ani;
};

// Colours of the clip, as scripts/make-clip draws them.
const QRgb kLand = qRgb(0xE0, 0xA0, 0x40);

TEST(AnimationControlGui, OpensTheShippedClipStoppedOnItsFirstFrame) {
    AnimationControl ani;
    ASSERT_TRUE(ani.Open(ShippedClip())) << ani.ErrorText().toStdString();
    EXPECT_TRUE(ani.IsOpen());
    EXPECT_TRUE(ani.ErrorText().isEmpty());
    EXPECT_EQ(ani.FrameCount(), 12);
    EXPECT_EQ(ani.FrameIntervalMs(), 100);
    EXPECT_FALSE(ani.IsPlaying());
    EXPECT_EQ(ani.CurrentFrame(), 0);
    EXPECT_EQ(ani.sizeHint(), QSize(80, 48));
}

TEST(AnimationControlGui, PlayingAdvancesAndRepeatsUntilStopped) {
    ClockedAnimation c;
    AnimationControl& ani = *c.ani;
    ASSERT_TRUE(ani.Open(ShippedClip()));
    ani.Play();
    EXPECT_TRUE(ani.IsPlaying());
    EXPECT_EQ(c.clock->IntervalMs(), 100);

    // One frame a tick, in order, and round again to the first.
    std::vector<int> shown;
    const QMetaObject::Connection watch = QObject::connect(
        &ani, &AnimationControl::frameChanged, [&](int frame) { shown.push_back(frame); });
    for (int i = 0; i < ani.FrameCount(); ++i) {
        c.clock->Tick();
    }
    QObject::disconnect(watch);
    const std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0};
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(ani.IsPlaying());

    // Stop rests on the first frame and holds it: the clock stops too.
    c.clock->Tick();
    ASSERT_EQ(ani.CurrentFrame(), 1);
    ani.Stop();
    EXPECT_FALSE(ani.IsPlaying());
    EXPECT_FALSE(c.clock->IsRunning());
    EXPECT_EQ(ani.CurrentFrame(), 0);
    c.clock->Tick();
    EXPECT_EQ(ani.CurrentFrame(), 0);

    // And it plays again from the first frame.
    ani.Play();
    c.clock->Tick();
    EXPECT_EQ(ani.CurrentFrame(), 1);
}

TEST(AnimationControlGui, PlaysOnItsOwnTimer) {
    AnimationControl ani;
    ani.show();
    ASSERT_TRUE(ani.Open(ShippedClip()));
    ani.Play();
    EXPECT_TRUE(WaitUntil([&] { return ani.CurrentFrame() != 0; }));
    ani.Stop();
    EXPECT_FALSE(ani.IsPlaying());
}

TEST(AnimationControlGui, AMissingClipFailsSilentlyAndPlaysNothing) {
    QWidget window;
    window.resize(200, 100);
    auto* ani = new AnimationControl(&window);
    window.show();
    const QWidgetList before = QApplication::topLevelWidgets();
    EXPECT_FALSE(ani->Open(QStringLiteral("/nonexistent/folder/Findfile.avi")));
    EXPECT_FALSE(ani->ErrorText().isEmpty());
    EXPECT_FALSE(ani->IsOpen());
    EXPECT_FALSE(ani->IsPlaying());
    ani->Play();
    EXPECT_FALSE(ani->IsPlaying());
    // No message box or any other window came up, and the control leaves
    // its enabled state to its owner.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(before.contains(w)) << w->metaObject()->className();
    }
    EXPECT_TRUE(ani->isEnabled());
}

TEST(AnimationControlGui, OpeningStopsPlaybackFirst) {
    ClockedAnimation c;
    AnimationControl& ani = *c.ani;
    ASSERT_TRUE(ani.Open(ShippedClip()));
    ani.Play();
    c.clock->Tick();
    ASSERT_EQ(ani.CurrentFrame(), 1);

    // A good clip reopened while playing: stopped, at its first frame.
    EXPECT_TRUE(ani.Open(ShippedClip()));
    EXPECT_FALSE(ani.IsPlaying());
    EXPECT_EQ(ani.CurrentFrame(), 0);

    // A failed reopening while playing leaves it stopped with no clip.
    ani.Play();
    ASSERT_TRUE(ani.IsPlaying());
    EXPECT_FALSE(ani.Open(QStringLiteral("/nonexistent/Findfile.avi")));
    EXPECT_FALSE(ani.IsPlaying());
    EXPECT_FALSE(ani.IsOpen());
    EXPECT_EQ(ani.CurrentFrame(), 0);
}

TEST(AnimationControlGui, DisablingIsLeftToTheOwner) {
    ClockedAnimation c;
    AnimationControl& ani = *c.ani;
    ani.setEnabled(false);
    ASSERT_TRUE(ani.Open(ShippedClip()));
    EXPECT_FALSE(ani.isEnabled());
    ani.Play();
    c.clock->Tick();
    EXPECT_EQ(ani.CurrentFrame(), 1);
    ani.Stop();
    EXPECT_FALSE(ani.isEnabled());
}

// Paints the control over a blue ground into an image of the given device
// pixel ratio.
QImage Render(AnimationControl& ani, qreal ratio) {
    QImage image((QSizeF(ani.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::blue);
    ani.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(AnimationControlGui, PaintsTheFrameCentredWithItsGroundTransparent) {
    AnimationControl ani;
    ani.resize(120, 80);
    ASSERT_TRUE(ani.Open(ShippedClip()));
    const QImage image = Render(ani, 1.0);
    // The clip's 80 x 48 frame lies at (20, 16).
    const QPoint origin(20, 16);
    EXPECT_EQ(image.pixel(origin + QPoint(28, 26)), kLand);
    // Its ground is not drawn: the blue shows at the frame's corners and
    // outside it.
    EXPECT_EQ(image.pixel(origin), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(origin + QPoint(79, 47)), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255));
    // One pixel left of the land's west coast is ground, the coast is drawn.
    EXPECT_EQ(image.pixel(origin + QPoint(16, 20)), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(origin + QPoint(17, 20)), qRgb(0x80, 0x40, 0x10));
}

TEST(AnimationControlGui, OneClipPixelIsOneLogicalPixelOnHighDensityScreens) {
    AnimationControl ani;
    ani.resize(120, 80);
    ASSERT_TRUE(ani.Open(ShippedClip()));
    const QImage image = Render(ani, 2.0);
    ASSERT_EQ(image.size(), QSize(240, 160));
    // The coast pixel (17, 20) of the frame covers 2 x 2 device pixels.
    const QPoint device = (QPoint(20, 16) + QPoint(17, 20)) * 2;
    for (const QPoint& d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        EXPECT_EQ(image.pixel(device + d), qRgb(0x80, 0x40, 0x10)) << d.x() << "," << d.y();
    }
    EXPECT_EQ(image.pixel(device + QPoint(-1, 0)), qRgb(0, 0, 255));
}

TEST(AnimationControlGui, WithNoClipItPaintsNothing) {
    AnimationControl ani;
    ani.resize(40, 30);
    const QImage image = Render(ani, 1.0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 255));
        }
    }
}

}  // namespace
}  // namespace korvallestin
