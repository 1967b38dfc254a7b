#include "common/AsciiText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace vorlo::ascii {
namespace {

struct Comparison {
    const char* name;
    std::string_view a;
    std::string_view b;
    bool equal;
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Comparison& row, std::ostream* os) { *os << row.name; }

class EqualsIgnoringCaseTest : public testing::TestWithParam<Comparison> {};

// Folding by setting one bit would also pair the characters just outside A-Z and a-z, and
// bytes beyond ASCII (Latin-1 capitals with their small letters, UTF-8 continuation bytes).
TEST_P(EqualsIgnoringCaseTest, FoldsOnlyAsciiLetters)
{
    const Comparison& row = GetParam();
    EXPECT_EQ(EqualsIgnoringCase(row.a, row.b), row.equal);
    EXPECT_EQ(EqualsIgnoringCase(row.b, row.a), row.equal);
    EXPECT_EQ(LowerCopy(row.a) == LowerCopy(row.b), row.equal);
}

INSTANTIATE_TEST_SUITE_P(Table, EqualsIgnoringCaseTest,
    testing::Values(
        Comparison{"SameWordOtherCase", "Number OF Tracks", "number of tracks", true},
        Comparison{"FirstAndLastLetters", "AZ", "az", true},
        Comparison{"LengthsDiffer", "play", "playing", false},
        Comparison{"BothEmpty", "", "", true},
        Comparison{"AtSignIsNotBacktick", "@", "`", false},
        Comparison{"BracketIsNotBrace", "[", "{", false},
        Comparison{"CaretIsNotTilde", "^", "~", false},
        Comparison{"DigitIsNotControl", "1", "\x11", false},
        Comparison{"Latin1CapitalIsNotSmall", "\xC4", "\xE4", false},
        Comparison{"Utf8CapitalIsNotSmall", "\xC3\x84", "\xC3\xA4", false}),
    [](const testing::TestParamInfo<Comparison>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlo::ascii
