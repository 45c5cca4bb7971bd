#include "event_turns.h"

#include <utility>

namespace korvallestin {

EventTurns::EventTurns(std::chrono::microseconds spacing, Clock clock)
    : spacing_(spacing), clock_(std::move(clock)) {}

bool EventTurns::Due() {
    if (spacing_ <= std::chrono::microseconds::zero()) {
        return true;
    }
    const TimePoint now = clock_();
    if (last_look_ && now - *last_look_ < spacing_) {
        return false;
    }
    last_look_ = now;
    return true;
}

}  // namespace korvallestin
