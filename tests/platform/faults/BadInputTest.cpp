// Disc images that cannot be played: every one gives a clear error on open (a nonzero
// error number and a reason that names the file), the service stays usable, and nothing
// crashes.
#include "ServiceFixture.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace vorlo::test {
namespace {

namespace fs = std::filesystem;

struct BadSheet {
    fs::path path;
    platform::MciError error;
};

std::vector<BadSheet> BadSheets(const fs::path& scratch)
{
    std::vector<BadSheet> sheets;
    if (const char* shared = std::getenv("VORLO_SHARED_DISCS")) {
        const fs::path libcdio = fs::path(shared) / "libcdio";
        if (fs::is_directory(libcdio))
            for (const auto& entry : fs::directory_iterator(libcdio))
                if (entry.path().filename().string().starts_with("bad-") && entry.path().extension() == ".cue")
                    sheets.push_back({entry.path(), platform::mcierr::kInvalidFile});
    }
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(scratch / name, std::ios::binary) << text;
        return scratch / name;
    };
    std::ofstream(scratch / "sectors.bin", std::ios::binary) << std::string(75 * 2352, '\0');
    sheets.push_back({write("empty.cue", ""), platform::mcierr::kInvalidFile});
    sheets.push_back({scratch / "missing.cue", platform::mcierr::kFileNotFound});
    sheets.push_back({write("no-track.cue", "FILE \"sectors.bin\" BINARY\n"), platform::mcierr::kInvalidFile});
    sheets.push_back({write("no-bin.cue", "FILE \"nowhere.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"),
                      platform::mcierr::kInvalidFile});
    sheets.push_back({write("junk.cue", std::string("\x00\xff\x7f TRACK \x01\n\x80", 13)), platform::mcierr::kInvalidFile});
    return sheets;
}

TEST(BadInputTest, EverySheetGivesAClearErrorOnOpen)
{
    TempFolder dir;
    const std::vector<BadSheet> sheets = BadSheets(dir.Path());
    ASSERT_GT(sheets.size(), 7u) << "the shared bad sheets are missing";
    ServiceOnDisc service{ServiceOnDisc::Located{}};
    for (const BadSheet& sheet : sheets) {
        SCOPED_TRACE(sheet.path.string());
        setenv("VORLO_CDROM", sheet.path.c_str(), 1);
        const TimedReply open = service.Timed("open cdaudio");
        EXPECT_EQ(open.error, sheet.error);
        EXPECT_EQ(open.text, "");
        EXPECT_LT(open.took, kCommandBound);
        EXPECT_NE(service.service.TakeFailureDetail().find(sheet.path.filename().string()), std::string::npos)
            << "the reason does not name the file";
        EXPECT_EQ(service.Timed("status cdaudio mode").error, platform::mcierr::kInvalidDeviceName);
        EXPECT_EQ(service.Timed("play cdaudio").error, platform::mcierr::kInvalidDeviceName);
    }

    // None of it leaves a trace: a good disc opens and plays after them all.
    setenv("VORLO_CDROM", TestDisc::AudioOnly(2).Write(dir.Path(), "good").c_str(), 1);
    EXPECT_EQ(service.Timed("open cdaudio").error, 0u);
    EXPECT_EQ(service.Timed("play cdaudio").error, 0u);
    EXPECT_EQ(service.Text("status cdaudio mode"), "playing");
    EXPECT_EQ(service.Timed("close cdaudio").error, 0u);
}

} // namespace
} // namespace vorlo::test
