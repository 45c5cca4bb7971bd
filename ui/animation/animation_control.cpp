#include "animation_control.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "avi_clip.h"

namespace korvallestin {

namespace {

class TimerClock final : public FrameClock {
  public:
    TimerClock() { timer_.setTimerType(Qt::PreciseTimer); }
    void Start(int interval_ms, std::function<void()> tick) override {
        timer_.disconnect();
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(tick));
        timer_.start(interval_ms);
    }
    void Stop() override { timer_.stop(); }
    bool IsRunning() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace

AnimationControl::AnimationControl(QWidget* parent, std::unique_ptr<FrameClock> clock)
    : QWidget(parent), clock_(clock ? std::move(clock) : std::make_unique<TimerClock>()) {}

AnimationControl::~AnimationControl() = default;

bool AnimationControl::Open(const QString& path) {
    Stop();
    frames_.clear();
    current_ = 0;
    interval_ms_ = 0;
    error_.clear();
    update();

    AviClip clip;
    if (!clip.Open(path.toStdString())) {
        error_ = QString::fromStdString(clip.Error());
        return false;
    }
    const int width = clip.Width();
    const int height = clip.Height();
    const std::uint32_t transparent = clip.TransparentColour();
    QVector<QImage> frames;
    frames.reserve(clip.FrameCount());
    for (int i = 0; i < clip.FrameCount(); ++i) {
        const std::vector<std::uint32_t>& pixels = clip.Frame(i);
        QImage image(width, height, QImage::Format_ARGB32);
        if (image.isNull()) {
            error_ = tr("not enough memory for the clip's frames");
            return false;
        }
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint32_t* src = pixels.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                line[x] = src[x] == transparent ? 0u : src[x];
            }
        }
        frames.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    frames_ = std::move(frames);
    interval_ms_ = clip.FrameIntervalMs();
    updateGeometry();
    update();
    return true;
}

void AnimationControl::Play() {
    if (frames_.isEmpty() || clock_->IsRunning()) {
        return;
    }
    ShowFrame(0);
    clock_->Start(interval_ms_, [this] {
        if (!frames_.isEmpty()) {
            ShowFrame((current_ + 1) % static_cast<int>(frames_.size()));
        }
    });
}

void AnimationControl::Stop() {
    clock_->Stop();
    if (!frames_.isEmpty()) {
        ShowFrame(0);
    }
}

QSize AnimationControl::sizeHint() const {
    return frames_.isEmpty() ? QSize(80, 48) : frames_.front().size();
}

void AnimationControl::ShowFrame(int frame) {
    if (frame == current_) {
        return;
    }
    current_ = frame;
    update();
    emit frameChanged(current_);
}

void AnimationControl::paintEvent(QPaintEvent* /*event*/) {
    if (frames_.isEmpty()) {
        return;
    }
    const QImage& image = frames_.at(current_);
    // One clip pixel to one logical pixel: on a screen with a device pixel
    // ratio above 1 the painter scales it up, without smoothing so the
    // pixels stay sharp. Centred, cut evenly at both sides when too small.
    const QRect target(QPoint((width() - image.width()) / 2, (height() - image.height()) / 2),
                       image.size());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image);
}

}  // namespace korvallestin
