#include "media/MediaChannel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace vorlo::media {
namespace {

struct Case {
    const char* reply;
    double value;
};

class ReplyValueTest : public testing::TestWithParam<Case> {};

TEST_P(ReplyValueTest, ReadsTheLeadingNumber)
{
    ReplyBuffer buffer;
    const std::string reply = GetParam().reply;
    std::memcpy(buffer.data(), reply.c_str(), reply.size() + 1);
    EXPECT_DOUBLE_EQ(ReplyValue(buffer), GetParam().value) << '"' << reply << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ReplyValueTest,
    testing::Values(
        Case{"2001", 2001},
        Case{"12:34:56", 12},         // a colon stops the number
        Case{"", 0},
        Case{"stopped", 0},           // a letter before any digit
        Case{"1 2 3", 123},           // blanks inside the number are skipped
        Case{" \t\n 42", 42},
        Case{"- 7", -7},
        Case{"&HFF", 255},
        Case{"&hff", 255},
        Case{"&O17", 15},
        Case{"&O19", 1},              // 9 is not an octal digit
        Case{"&H", 0},
        Case{"-2.5E2", -250},
        Case{"1D3", 1000},
        Case{"1e-2", 0.01},
        Case{"1E+", 1},               // an exponent letter with no digits is not part of the number
        Case{"1.2.3", 1.2},           // only one decimal point
        Case{".5", 0.5},
        Case{"--5", 0},
        Case{"1E400", HUGE_VAL},      // beyond double range: an infinity the callers must check
        Case{"1E-400", 0}));

// The area as a handler makes it (128 blanks) and as a platform may leave it (no NUL at
// all): either way the reading stops at the end of the area.
TEST(ReplyValue, AreaWithoutNulIsReadToItsEnd)
{
    ReplyBuffer buffer;
    EXPECT_EQ(ReplyValue(buffer), 0.0);
    std::memset(buffer.data(), '9', ReplyBuffer::kCapacity);
    EXPECT_GT(ReplyValue(buffer), 1e127);
}

} // namespace
} // namespace vorlo::media
