#include "ui/termination_signals.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <QTest>

namespace tallowmere::ui {
namespace {

TEST(TerminationSignals, EachSignalAsksToCloseFromTheEventLoop) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TerminationSignals termination;
        ASSERT_TRUE(termination.Installed());
        int asked = 0;
        QObject::connect(&termination, &TerminationSignals::closeRequested, [&] { ++asked; });
        raise(signal);
        // The handler only wrote to the pipe; the request comes with the loop.
        EXPECT_EQ(asked, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return asked == 1; }, 5000));
    }
}

TEST(TerminationSignals, OneAtATime) {
    TerminationSignals first;
    TerminationSignals second;
    EXPECT_TRUE(first.Installed());
    EXPECT_FALSE(second.Installed());
}

}  // namespace
}  // namespace tallowmere::ui
