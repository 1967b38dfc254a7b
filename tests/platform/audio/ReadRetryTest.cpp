#include "platform/audio/ReadRetry.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace vorlo::test {
namespace {

using platform::ReadRetry;
using platform::kBytesPerSector;

// A disc with sectors that fail a number of times before they read (-1: never), each
// sector's bytes holding its number.
struct FlakyDisc {
    std::map<std::int32_t, int> failures;

    bool Read(std::int32_t lsn, std::uint32_t count, std::byte* out)
    {
        for (std::uint32_t i = 0; i < count; ++i) {
            auto bad = failures.find(lsn + static_cast<std::int32_t>(i));
            if (bad != failures.end() && bad->second != 0) {
                if (bad->second > 0)
                    --bad->second;
                return false;
            }
        }
        for (std::uint32_t i = 0; i < count; ++i)
            std::fill_n(out + i * kBytesPerSector, kBytesPerSector, static_cast<std::byte>(lsn + static_cast<std::int32_t>(i)));
        return true;
    }
};

struct Case {
    const char* what;
    std::map<std::int32_t, int> failures;
    std::uint32_t count;
    bool read;
    std::uint64_t retries;
    std::uint64_t skipped;
    std::vector<std::int32_t> silent;  // sectors played as silence
};

TEST(ReadRetryTest, RetriesThenSkipsThenGivesUp)
{
    constexpr auto kRun = ReadRetry::kMaxSkippedRun;
    std::map<std::int32_t, int> longScratch;
    for (std::uint32_t i = 0; i < kRun; ++i)
        longScratch[static_cast<std::int32_t>(10 + i)] = -1;

    const std::vector<Case> cases = {
        {"a clean read", {}, 8, true, 0, 0, {}},
        {"a sector that reads on the first retry", {{3, 2}}, 8, true, 1, 0, {}},
        {"a sector that never reads is skipped", {{5, -1}}, 8, true, 2, 1, {5}},
        {"two bad sectors are both skipped", {{1, -1}, {6, -1}}, 8, true, 4, 2, {1, 6}},
        {"a second's worth in a row ends the read", longScratch, 10 + kRun + 5, false, 2 * kRun, kRun, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlakyDisc disc{c.failures};
        ReadRetry policy;
        std::vector<std::byte> out(c.count * kBytesPerSector, std::byte{0xEE});
        const bool read = policy.Read([&](std::int32_t lsn, std::uint32_t n, std::byte* to) { return disc.Read(lsn, n, to); },
                                      0, c.count, out.data());
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(policy.Retries(), c.retries);
        EXPECT_EQ(policy.Skipped(), c.skipped);
        if (!read)
            continue;
        for (std::uint32_t lsn = 0; lsn < c.count; ++lsn) {
            const bool silent = std::find(c.silent.begin(), c.silent.end(), static_cast<std::int32_t>(lsn)) != c.silent.end();
            EXPECT_EQ(out[lsn * kBytesPerSector + 100], silent ? std::byte{0} : static_cast<std::byte>(lsn)) << "sector " << lsn;
        }
    }
}

TEST(ReadRetryTest, TheRunOfUnreadableSectorsCarriesOverFromReadToRead)
{
    FlakyDisc disc;
    for (std::int32_t lsn = 0; lsn < 200; ++lsn)
        disc.failures[lsn] = -1;
    ReadRetry policy;
    std::vector<std::byte> out(kBytesPerSector);
    const auto read = [&](std::int32_t lsn, std::uint32_t n, std::byte* to) { return disc.Read(lsn, n, to); };
    std::uint32_t reads = 0;
    while (policy.Read(read, static_cast<std::int32_t>(reads), 1, out.data()))
        ++reads;
    EXPECT_EQ(reads + 1, ReadRetry::kMaxSkippedRun);
}

} // namespace
} // namespace vorlo::test
