#pragma once

// Which of a run's yields look at the system's event queue.

#include <chrono>
#include <functional>
#include <optional>

namespace korvallestin {

// A run yields after every record. Where looking at the window system's
// queue is cheap, every yield looks. Where it is dear, the looks are spaced
// out: at most one per `spacing`, which, kept well inside a display frame,
// leaves the window as lively as the eye can tell while the run's own work
// is not swamped by the looks.
class EventTurns {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;

    // With no spacing the clock is never read.
    EventTurns(std::chrono::microseconds spacing, Clock clock);

    // Whether this yield looks: the first does, and each later one once
    // `spacing` has passed since the last that did.
    bool Due();

  private:
    std::chrono::microseconds spacing_;
    Clock clock_;
    std::optional<TimePoint> last_look_;
};

}  // namespace korvallestin
