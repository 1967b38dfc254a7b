#include "platform/audio/ReadRetry.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace vorlo::test {
namespace {

using platform::ReadRetry;
using platform::kBytesPerSector;
constexpr std::int32_t kRun = ReadRetry::kMaxSkippedRun;

// A drive whose sectors fail so many times before they read (-1: never); the others read
// as their own number.
struct FlakyDrive {
    std::map<std::int32_t, int> failures;

    bool operator()(std::int32_t lsn, std::uint32_t count, std::byte* out)
    {
        for (std::int32_t i = lsn; i < lsn + static_cast<std::int32_t>(count); ++i) {
            if (failures[i] != 0) {
                failures[i] -= failures[i] > 0;
                return false;
            }
            std::fill_n(out + (i - lsn) * kBytesPerSector, kBytesPerSector, static_cast<std::byte>(i));
        }
        return true;
    }
};

FlakyDrive Unreadable(std::int32_t first, std::int32_t end)
{
    FlakyDrive drive;
    for (std::int32_t lsn = first; lsn < end; ++lsn)
        drive.failures[lsn] = -1;
    return drive;
}

TEST(ReadRetryTest, RetriesThenPlaysSilenceForWhatCannotBeReadThenGivesUp)
{
    struct Case {
        const char* what;
        FlakyDrive drive;
        std::uint32_t count;
        bool read;
        std::uint64_t retries, skipped;
        std::set<std::int32_t> silent;
    } cases[] = {
        {"clean", {}, 8, true, 0, 0, {}},
        {"reads on the first retry", {{{3, 2}}}, 8, true, 1, 0, {}},
        {"never reads: skipped", {{{5, -1}}}, 8, true, 2, 1, {5}},
        {"two skipped", {{{1, -1}, {6, -1}}}, 8, true, 4, 2, {1, 6}},
        {"a second of them in a row", Unreadable(10, 10 + kRun), 10 + kRun + 5, false, 2 * kRun, kRun, {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReadRetry policy;
        std::vector<std::byte> out(c.count * kBytesPerSector);
        EXPECT_EQ(policy.Read(std::ref(c.drive), 0, c.count, out.data()), c.read);
        EXPECT_EQ(std::pair(policy.Retries(), policy.Skipped()), std::pair(c.retries, c.skipped));
        for (std::int32_t lsn = 0; c.read && lsn < static_cast<std::int32_t>(c.count); ++lsn)
            EXPECT_EQ(out[lsn * kBytesPerSector], static_cast<std::byte>(c.silent.count(lsn) ? 0 : lsn)) << lsn;
    }
}

TEST(ReadRetryTest, TheRunOfUnreadableSectorsCarriesOverFromReadToRead)
{
    FlakyDrive drive = Unreadable(0, 2 * kRun);
    ReadRetry policy;
    std::vector<std::byte> out(kBytesPerSector);
    std::int32_t reads = 0;
    while (policy.Read(std::ref(drive), reads, 1, out.data()))
        ++reads;
    EXPECT_EQ(reads + 1, kRun);
}

} // namespace
} // namespace vorlo::test
