#include "NamedEvent.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <csignal>
#include <pthread.h>

// A signal that interrupts the owner's wait must not end it: only a real wake-up does.
TEST(NamedEvent, AnInterruptedWaitGoesOn)
{
    struct sigaction action { };
    action.sa_handler = [](int) {}; // no SA_RESTART: the read fails with EINTR
    ASSERT_EQ(::sigaction(SIGUSR1, &action, nullptr), 0);
    QTemporaryDir dir;
    NamedEvent event(dir.path(), "event");
    int error = 0;
    ASSERT_TRUE(!event.Open() && event.Create(error));

    std::atomic<int> result {-1};
    std::thread waiter([&] { result = event.Wait() == NamedEvent::Wake::Signalled; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::pthread_kill(waiter.native_handle(), SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(result.load(), -1);

    NamedEvent other(dir.path(), "event");
    ASSERT_TRUE(other.Open());
    other.Pulse();
    waiter.join();
    EXPECT_EQ(result.load(), 1);
}

// Owners that come and go while another process signals them: a reader that
// closes between the signaller's open and its write must not kill the
// signaller with SIGPIPE (the test process would die).
TEST(NamedEvent, SignallingAnOwnerThatJustQuitNeverRaisesSigpipe)
{
    QTemporaryDir dir;
    std::atomic<bool> done {false};
    std::vector<std::thread> pulsers;
    for (int i = 0; i < 4; ++i) {
        pulsers.emplace_back([&] {
            while (!done)
                NamedEvent(dir.path(), "event").Pulse();
        });
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int owners = 0;
    while (std::chrono::steady_clock::now() < end) {
        NamedEvent owner(dir.path(), "event");
        int error = 0;
        owners += !owner.Open() && owner.Create(error);
    }
    done = true;
    for (std::thread& pulser : pulsers)
        pulser.join();
    EXPECT_GT(owners, 0);
}
