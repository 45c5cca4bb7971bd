#include "animation_control.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>

#include "avi_clip.h"

namespace korvallestin {

AnimationControl::AnimationControl(QWidget* parent) : QWidget(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!frames_.isEmpty()) {
            ShowFrame((current_ + 1) % static_cast<int>(frames_.size()));
        }
    });
}

bool AnimationControl::Open(const QString& path) {
    Stop();
    frames_.clear();
    current_ = 0;
    interval_ms_ = 0;
    error_.clear();
    update();

    AviClip clip;
    if (!clip.Open(QFile::encodeName(path).toStdString())) {
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
    timer_.setInterval(interval_ms_);
    updateGeometry();
    update();
    return true;
}

void AnimationControl::Play() {
    if (frames_.isEmpty() || timer_.isActive()) {
        return;
    }
    ShowFrame(0);
    timer_.start();
}

void AnimationControl::Stop() {
    timer_.stop();
    if (!frames_.isEmpty()) {
        ShowFrame(0);
    }
}

QImage AnimationControl::CurrentImage() const {
    return frames_.isEmpty() ? QImage() : frames_.at(current_);
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
