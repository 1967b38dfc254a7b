// A disc image that is cut short or removed while it plays: play stops by itself, the
// service keeps answering, and the next play fails with an error instead of pretending.
#include "platform/service/ServiceFixture.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vorlo::test {
namespace {

namespace fs = std::filesystem;

constexpr int kSectors = 20 * 75;  // one track of 20 s: play cannot end by itself in the test
constexpr int kKeptSectors = 150;  // what a cut leaves of it

struct GoneCase {
    const char* name;
    std::function<void(const fs::path& cue, const fs::path& bin)> damage;
    platform::MciError reopen;  // what "open cdaudio" answers afterwards
};

void PrintTo(const GoneCase& c, std::ostream* out) { *out << c.name; }

const GoneCase kCases[] = {
    {"cut_short", [](const fs::path&, const fs::path& bin) { fs::resize_file(bin, kKeptSectors * 2352); },
     platform::mcierr::kNone},  // what is left is a shorter disc
    {"bin_removed", [](const fs::path&, const fs::path& bin) { fs::remove(bin); }, platform::mcierr::kInvalidFile},
    {"both_removed",
     [](const fs::path& cue, const fs::path& bin) {
         fs::remove(bin);
         fs::remove(cue);
     },
     platform::mcierr::kFileNotFound},
};

class DiscGoneTest : public ::testing::TestWithParam<GoneCase> {};

TEST_P(DiscGoneTest, PlayStopsAndTheNextPlayFails)
{
    TempFolder dir;
    const fs::path cue = TestDisc::AudioOnly(1, kSectors).Write(dir.Path(), "gone");
    const fs::path bin = dir.Path() / "gone.bin";
    setenv("VORLO_CDROM", cue.c_str(), 1);
    ServiceOnDisc disc{ServiceOnDisc::Located{}};
    ASSERT_EQ(disc.Timed("open cdaudio").error, 0u);
    ASSERT_EQ(disc.Timed("set cdaudio time format milliseconds").error, 0u);
    ASSERT_EQ(disc.Timed("play cdaudio").error, 0u);
    std::this_thread::sleep_for(300ms);

    GetParam().damage(cue, bin);
    // The read-ahead holds ten seconds; play stops once it has been heard.
    EXPECT_TRUE(disc.Eventually("status cdaudio mode", "stopped", 30s));
    const std::string held = disc.Text("status cdaudio position");
    EXPECT_LT(std::stoi(held), 2000 + kSectors * 1000 / 75 - 1000) << "play ran on to the end";
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(disc.Text("status cdaudio position"), held) << "the position holds still";

    for (const char* play : {"play cdaudio", "play cdaudio from 2001"}) {
        const TimedReply reply = disc.Timed(play);
        EXPECT_EQ(reply.error, platform::mcierr::kDeviceNotReady) << play;
        EXPECT_EQ(reply.text, "");
        EXPECT_LT(reply.took, kCommandBound) << play;
    }
    EXPECT_EQ(disc.Text("status cdaudio mode"), "not ready");
    EXPECT_EQ(disc.Text("status cdaudio media present"), "false");
    EXPECT_EQ(disc.Timed("status cdaudio length").error, platform::mcierr::kDeviceNotReady);

    // The player's next Play closes and opens again: that names what is wrong, at once.
    EXPECT_EQ(disc.Timed("close cdaudio").error, 0u);
    EXPECT_EQ(disc.Timed("open cdaudio").error, GetParam().reopen);
    if (GetParam().reopen)
        EXPECT_FALSE(disc.service.TakeFailureDetail().empty());
    else
        EXPECT_EQ(disc.Text("status cdaudio length"), "00:01:74") << "what is left, in msf after the open";
}

INSTANTIATE_TEST_SUITE_P(Damage, DiscGoneTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlo::test
