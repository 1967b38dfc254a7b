#include "media/MediaChannel.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstring>
#include <string>

namespace vorlo::media {
namespace {

struct Case {
    const char* name;
    const char* reply;
    double value;
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }

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
        Case{"Integer", "2001", 2001},
        Case{"ColonStopsTheNumber", "12:34:56", 12},
        Case{"Empty", "", 0},
        Case{"LetterBeforeAnyDigit", "stopped", 0},
        Case{"BlanksInsideAreSkipped", "1 2 3", 123},
        Case{"LeadingWhiteSpace", " \t\n 42", 42},
        Case{"CarriageReturnEndsTheNumber", "1\r2", 1},
        Case{"BlankAfterSign", "- 7", -7},
        Case{"Hexadecimal", "&HFF", 255},
        Case{"HexadecimalLowerCase", "&hff", 255},
        Case{"Octal", "&O17", 15},
        Case{"OctalStopsAtNine", "&O19", 1},
        Case{"HexPrefixAlone", "&H", 0},
        Case{"NegativeWithExponent", "-2.5E2", -250},
        Case{"DoubleExponentLetter", "1D3", 1000},
        Case{"NegativeExponent", "1e-2", 0.01},
        Case{"ExponentWithoutDigits", "1E+", 1},
        Case{"OneDecimalPointOnly", "1.2.3", 1.2},
        Case{"NoIntegerPart", ".5", 0.5},
        Case{"TwoSigns", "--5", 0},
        Case{"BeyondDoubleRange", "1E400", HUGE_VAL},  // an infinity the callers must check
        Case{"BelowDoubleRange", "1E-400", 0}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

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
