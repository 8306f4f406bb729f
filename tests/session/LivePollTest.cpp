// The count of the unit's failures that every request shares.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/LivePoll.h"

namespace {

struct Answers {
    const char* what;
    std::vector<int32_t> statuses;
    int32_t count;     // after the last answer
    size_t givesUpAt;  // the answer that gives the unit up; statuses.size() for none
};

TEST(DeviceErrorCount, BearsThreeFailuresInARowAndGivesTheUnitUpAtTheFourth)
{
    const Answers table[] = {
        {"three failures", {-7, -7, -7}, 3, 3},
        {"the fourth in a row", {-7, -9, -4, -99}, 3, 3},
        {"a good answer takes one back", {-7, -7, 0}, 1, 3},
        {"good answers never go below none", {0, 0, -7}, 1, 3},
        {"interrupted transfers say nothing", {-10, -10, -10, -10, -10}, 0, 5},
        {"interrupted between failures", {-7, -7, -10, -7}, 3, 4},
        {"from two, the second failure", {-7, -7, -7, 0, -7, -7}, 3, 5},
    };
    for (const Answers& answers : table) {
        DeviceErrorCount count;
        size_t gaveUp = answers.statuses.size();
        for (size_t i = 0; i < answers.statuses.size(); ++i)
            if (count.Account(answers.statuses[i]) && gaveUp == answers.statuses.size())
                gaveUp = i;
        EXPECT_EQ(count.Count(), answers.count) << answers.what;
        EXPECT_EQ(gaveUp, answers.givesUpAt) << answers.what;
        count.Reset();
        EXPECT_EQ(count.Count(), 0) << answers.what;
    }
}

}  // namespace
