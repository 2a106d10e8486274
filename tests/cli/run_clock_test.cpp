// The runner's clock: a virtual-time run starts at the real local time, so the files it writes
// carry the day they were written.
#include <gtest/gtest.h>

#include <ctime>

#include "cli/console_platform.h"

namespace quillox::cli {
namespace {

std::tm AsTm(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return tm;
}

TEST(RunClock, VirtualTimeStartsAtTheRealLocalTime) {
    const std::unique_ptr<Clock> clock = MakeRunClock(true);
    std::tm virtualNow = AsTm(clock->Now()), realNow = AsTm(RealClock().Now());
    EXPECT_LE(std::abs(std::difftime(std::mktime(&virtualNow), std::mktime(&realNow))), 5.0);
    clock->Sleep(3600 * 1000);  // virtual: returns at once, an hour later
    EXPECT_EQ(clock->MonotonicMs(), 3600 * 1000);
}

}  // namespace
}  // namespace quillox::cli
