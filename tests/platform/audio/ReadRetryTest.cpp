#include "platform/audio/ReadRetry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace vorlo::test {
namespace {

using platform::ReadRetry;
using platform::kBytesPerSector;
constexpr std::int32_t kRun = ReadRetry::kMaxSkippedRun;

// Sectors that fail so many times before they read (-1: never); the others hold their number.
bool ReadFlaky(std::map<std::int32_t, int>& failures, std::int32_t lsn, std::uint32_t count, std::byte* out)
{
    for (std::int32_t i = lsn; i < lsn + static_cast<std::int32_t>(count); ++i) {
        if (failures.count(i) && failures[i] != 0) {
            failures[i] -= failures[i] > 0;
            return false;
        }
        std::fill_n(out + (i - lsn) * kBytesPerSector, kBytesPerSector, static_cast<std::byte>(i));
    }
    return true;
}

TEST(ReadRetryTest, RetriesThenPlaysSilenceForWhatCannotBeReadThenGivesUp)
{
    std::map<std::int32_t, int> scratch;
    for (std::int32_t lsn = 10; lsn < 10 + kRun; ++lsn)
        scratch[lsn] = -1;
    struct Case {
        const char* what;
        std::map<std::int32_t, int> failures;
        std::uint32_t count;
        bool read;
        std::uint64_t retries, skipped;
        std::set<std::int32_t> silent;
    } const cases[] = {
        {"clean", {}, 8, true, 0, 0, {}},
        {"reads on the first retry", {{3, 2}}, 8, true, 1, 0, {}},
        {"never reads: skipped", {{5, -1}}, 8, true, 2, 1, {5}},
        {"two skipped", {{1, -1}, {6, -1}}, 8, true, 4, 2, {1, 6}},
        {"a second of them in a row", scratch, 10 + kRun + 5, false, 2 * kRun, kRun, {}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.what);
        ReadRetry policy;
        std::vector<std::byte> out(c.count * kBytesPerSector);
        const auto read = [&](std::int32_t lsn, std::uint32_t n, std::byte* to) { return ReadFlaky(c.failures, lsn, n, to); };
        EXPECT_EQ(policy.Read(read, 0, c.count, out.data()), c.read);
        EXPECT_EQ(policy.Retries(), c.retries);
        EXPECT_EQ(policy.Skipped(), c.skipped);
        for (std::int32_t lsn = 0; c.read && lsn < static_cast<std::int32_t>(c.count); ++lsn)
            EXPECT_EQ(out[lsn * kBytesPerSector], static_cast<std::byte>(c.silent.count(lsn) ? 0 : lsn)) << lsn;
    }
}

TEST(ReadRetryTest, TheRunOfUnreadableSectorsCarriesOverFromReadToRead)
{
    std::map<std::int32_t, int> failures;
    for (std::int32_t lsn = 0; lsn < 2 * kRun; ++lsn)
        failures[lsn] = -1;
    ReadRetry policy;
    std::vector<std::byte> out(kBytesPerSector);
    const auto read = [&](std::int32_t lsn, std::uint32_t n, std::byte* to) { return ReadFlaky(failures, lsn, n, to); };
    std::int32_t reads = 0;
    while (policy.Read(read, reads, 1, out.data()))
        ++reads;
    EXPECT_EQ(reads + 1, kRun);
}

} // namespace
} // namespace vorlo::test
