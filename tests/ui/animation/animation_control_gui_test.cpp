#include "animation_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <functional>

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
    AnimationControl ani;
    ani.resize(81, 49);
    ani.show();
    ASSERT_TRUE(ani.Open(ShippedClip()));
    ani.Play();
    EXPECT_TRUE(ani.IsPlaying());

    // Frames go by in order and come round again to the first.
    QSet<int> seen;
    int last = ani.CurrentFrame();
    bool wrapped = false;
    const QMetaObject::Connection watch =
        QObject::connect(&ani, &AnimationControl::frameChanged, [&](int frame) {
            EXPECT_EQ(frame, (last + 1) % ani.FrameCount());
            if (frame < last) {
                wrapped = true;
            }
            last = frame;
            seen.insert(frame);
        });
    EXPECT_TRUE(WaitUntil([&] { return wrapped; }, 20000));
    EXPECT_EQ(seen.size(), ani.FrameCount());
    EXPECT_TRUE(ani.IsPlaying());
    QObject::disconnect(watch);

    // Stop rests on the first frame and holds it.
    ani.Stop();
    EXPECT_FALSE(ani.IsPlaying());
    EXPECT_EQ(ani.CurrentFrame(), 0);
    QTest::qWait(400);
    EXPECT_EQ(ani.CurrentFrame(), 0);
    EXPECT_FALSE(ani.IsPlaying());

    // And it plays again.
    ani.Play();
    EXPECT_TRUE(WaitUntil([&] { return ani.CurrentFrame() != 0; }));
    ani.Stop();
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
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(before.contains(w)) << w->metaObject()->className();
    }
    EXPECT_TRUE(ani->isEnabled());
}

TEST(AnimationControlGui, OpeningStopsPlaybackFirst) {
    AnimationControl ani;
    ASSERT_TRUE(ani.Open(ShippedClip()));
    ani.Play();
    ASSERT_TRUE(WaitUntil([&] { return ani.CurrentFrame() != 0; }));

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
    AnimationControl ani;
    ani.setEnabled(false);
    ASSERT_TRUE(ani.Open(ShippedClip()));
    EXPECT_FALSE(ani.isEnabled());
    ani.Play();
    EXPECT_TRUE(WaitUntil([&] { return ani.CurrentFrame() != 0; }));
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
