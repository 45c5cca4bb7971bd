#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>

#include <gtest/gtest.h>

#include "control_adapters.h"

namespace korvallestin {
namespace {

// Counts the events that reach it.
class Receiver : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++received;
            return true;
        }
        return QObject::event(e);
    }
    int received = 0;
};

TEST(EventQueue, AnEventWaitingInTheQueueIsHandledAtTheFirstLookAfterTheSpacing) {
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    EventQueueAdapter queue(std::chrono::microseconds(1000), [&] { return now; });
    int yields = 0;
    queue.SetObserver([&] { ++yields; });
    Receiver receiver;

    queue.Yield();  // the first yield looks
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    now += std::chrono::microseconds(999);
    queue.Yield();
    EXPECT_EQ(receiver.received, 0) << "looked before the spacing had passed";
    now += std::chrono::microseconds(1);
    queue.Yield();
    EXPECT_EQ(receiver.received, 1) << "did not look once the spacing had passed";
    EXPECT_EQ(yields, 3);
}

TEST(EventQueue, WithNoSpacingEveryYieldHandlesWhatWaits) {
    EventQueueAdapter queue(std::chrono::microseconds::zero(), [] {
        ADD_FAILURE() << "the clock was read";
        return std::chrono::steady_clock::time_point();
    });
    Receiver receiver;
    for (int i = 1; i <= 3; ++i) {
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        queue.Yield();
        EXPECT_EQ(receiver.received, i);
    }
}

}  // namespace
}  // namespace korvallestin
