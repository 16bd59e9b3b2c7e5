// The program's own handling of SIGINT and SIGTERM, with real signals sent to
// this test process.
#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <unistd.h>

using namespace tessaldrin::platform;

namespace {

// Waits, at most ten seconds, until `condition` holds.
template <typename Condition> bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

} // namespace

TEST(TerminationSignals, ASignalDuringADeferredWriteActsOnlyOnceTheWriteIsDone) {
    WatchTerminationSignals();
    for (const int signal : {SIGTERM, SIGINT}) {
        std::atomic<int> acted{0};
        SetTerminationAction([&acted](int received) { acted = received; });
        {
            const TerminationDeferred writing;
            ASSERT_EQ(::kill(::getpid(), signal), 0);
            // The signal has arrived and its action waits for the write.
            ASSERT_TRUE(Eventually([&] { return TerminationSignal() == signal; })) << signal;
            EXPECT_EQ(acted.load(), 0) << signal;
        }
        EXPECT_TRUE(Eventually([&] { return acted.load() == signal; })) << signal;
        SetTerminationAction({});
    }
}

TEST(TerminationSignals, WithoutAnActionASignalEndsTheProcessByThatSignal) {
    // The child runs the test afresh, so that it has a watching thread of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WatchTerminationSignals();
            ::kill(::getpid(), SIGTERM);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            std::_Exit(0); // the signal did not end it
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

TEST(TerminationSignals, NestedDeferralsHoldASignalUntilTheOuterEndsAndNeverLoseIt) {
    // In a child process of its own, which the signal really ends: a guard
    // taken inside another, also while the signal waits, must neither wait
    // for the signal nor let it act before the outer guard ends.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WatchTerminationSignals();
            static std::atomic<bool> outerEnded{false};
            SetTerminationAction([](int received) {
                if (!outerEnded.load()) {
                    std::_Exit(1); // acted during a deferred write
                }
                EndBySignal(received);
            });
            {
                const TerminationDeferred outer;
                {
                    const TerminationDeferred inner;
                    ::kill(::getpid(), SIGTERM);
                    if (!Eventually([] { return TerminationSignal() == SIGTERM; })) {
                        std::_Exit(2); // never arrived
                    }
                    // Taken while the signal waits for its moment.
                    const TerminationDeferred innermost;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                outerEnded.store(true);
            }
            Eventually([] { return false; });
            std::_Exit(3); // the signal was lost
        },
        ::testing::KilledBySignal(SIGTERM), "");
}
