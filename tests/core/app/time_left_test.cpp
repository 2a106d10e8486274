// The estimate of a job's time left, from a whole-percent gauge polled more often than it moves.
#include "app/time_left.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quillox {
namespace {

// A job of 100 s at a steady pace, its gauge truncated to whole percent, polled every 20 ms as
// the runner's progress bar does: from the first percent on, the estimate stays within a second
// of the truth and never grows.
TEST(TimeLeftEstimate, SteadyJobGivesASteadyEstimateFromTheFirstPercent) {
    TimeLeftEstimate estimate;
    int64_t previous = INT64_MAX;
    for (int64_t ms = 0; ms < 100000; ms += 20) {
        const int percent = static_cast<int>(ms / 1000);
        const std::optional<int64_t> left = estimate.Update(percent, ms);
        if (percent == 0) {
            EXPECT_FALSE(left) << ms;
            continue;
        }
        ASSERT_TRUE(left) << ms;
        EXPECT_LE(std::llabs(*left - (100000 - ms)), 1000) << ms;
        EXPECT_LE(*left, previous) << ms;
        previous = *left;
    }
    EXPECT_EQ(estimate.Update(100, 100000), 0);
}

// A gauge that stands still longer than its pace foretold: the job has slowed down, and the
// estimate grows with the time it keeps waiting.
TEST(TimeLeftEstimate, StallingGaugeMakesTheEstimateGrowAgain) {
    TimeLeftEstimate estimate;
    estimate.Update(10, 10000);                          // 1 s per percent so far
    EXPECT_EQ(estimate.Update(10, 10500), 100000 - 10500);  // on pace: the rest of 100 s
    const int64_t late = *estimate.Update(10, 30000);       // 11 % is 19 s overdue
    EXPECT_GT(late, 100000 - 30000);
    EXPECT_EQ(late, 30000 * 100 / 11 - 30000);
}

}  // namespace
}  // namespace quillox
