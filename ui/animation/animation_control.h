#pragma once

// The animation control `aniSearch`: opens an AVI clip of the simple
// kinds AviClip reads, plays it repeating at the clip's own frame rate until
// it is stopped, and paints the current frame centred in its area at one clip
// pixel per logical pixel, the clip's transparent colour (its first pixel's)
// left undrawn so the window shows through.
//
// Choices of this control:
// - Stop() rests the clip on its first frame, as an animation control shows
//   after it has been stopped and sought to the start.
// - Play() while playing goes on where it is; Play() with no clip open does
//   nothing.
// - The enabled state is QWidget's own (setEnabled). The control never changes
//   it and neither Play() nor painting looks at it: the caller decides whether
//   to play (a search plays it only while it is enabled).
// - Open() shows no message; a failure leaves no clip open and ErrorText()
//   tells why.

#include <QImage>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

namespace korvallestin {

// What paces the frames: a timer, unless the owner brings its own clock.
class FrameClock {
  public:
    virtual ~FrameClock() = default;
    // Calls `tick` every `interval_ms` until stopped.
    virtual void Start(int interval_ms, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
};

class AnimationControl : public QWidget {
    Q_OBJECT

  public:
    explicit AnimationControl(QWidget* parent = nullptr,
                              std::unique_ptr<FrameClock> clock = nullptr);
    ~AnimationControl() override;

    // Stops playback, then reads the clip at `path`. On failure no clip is kept
    // and the result is false.
    bool Open(const QString& path);
    // Plays the open clip from its first frame, repeating until Stop().
    void Play();
    // Stops playback and shows the first frame.
    void Stop();

    bool IsOpen() const { return !frames_.isEmpty(); }
    bool IsPlaying() const { return clock_->IsRunning(); }
    int CurrentFrame() const { return current_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    // Time from one frame to the next in milliseconds; 0 with no clip.
    int FrameIntervalMs() const { return interval_ms_; }
    // Why the last Open failed; empty after a success.
    const QString& ErrorText() const { return error_; }

    QSize sizeHint() const override;

  signals:
    // Named in Qt's own style for signals, as connections spell it.
    void frameChanged(int frame);  // NOLINT(readability-identifier-naming)

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowFrame(int frame);

    std::unique_ptr<FrameClock> clock_;
    QVector<QImage> frames_;
    int current_ = 0;
    int interval_ms_ = 0;
    QString error_;
};

}  // namespace korvallestin
