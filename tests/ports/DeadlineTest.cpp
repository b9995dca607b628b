#include "network/CallBefore.h"
#include "Deadline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using std::chrono::milliseconds;

// The clock is handed in: no test waits for it.
TEST(Deadline, TimeLeftRoundsUpAndNeverGoesBelowZeroOrAboveTheWait)
{
    const Deadline now = Deadline() + std::chrono::hours(1);
    const milliseconds wait(5010);
    const struct {
        Deadline deadline;
        long long left;
    } rows[] = {
        {NoDeadline, 5010},
        {now + std::chrono::hours(2), 5010},
        {now + milliseconds(1200), 1200},
        {now + std::chrono::microseconds(1), 1},
        {now, 0},
        {now - milliseconds(5), 0},
        {Earlier(now + milliseconds(700), NoDeadline), 700},
        {DeadlineAfter(milliseconds(300), now), 300},
        {FirstShare(now + milliseconds(3000), 2, now), 1500},
        {FirstShare(now + milliseconds(3000), 1, now), 3000},
        {FirstShare(NoDeadline, 3, now), 5010},
        {FirstShare(now - milliseconds(5), 2, now), 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TimeLeft(row.deadline, wait, now).count(), row.left);
}

// A call that does not return in time is left behind; one that does gives
// its result.
TEST(Deadline, CallBeforeEndsAtTheDeadlineWhateverTheCallDoes)
{
    int result = 0;
    std::string whyNot;
    const auto start = PortClock::now();
    EXPECT_EQ(CallBefore<int>(
                  DeadlineAfter(milliseconds(100)),
                  [] {
                      std::this_thread::sleep_for(milliseconds(2000));
                      return 1;
                  },
                  result, whyNot),
              CallEnd::DeadlinePassed);
    EXPECT_LT(PortClock::now() - start, milliseconds(1000));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(CallBefore<int>(
                  DeadlineAfter(milliseconds(5000)), [] { return 7; }, result, whyNot),
              CallEnd::Returned);
    EXPECT_EQ(result, 7);
}

}  // namespace
