// Drive C: and the files on it: path mapping, deletion and atomic WAV saves.
#include "platform/Sound.h"
#include "platform/devices/wave/DrivePath.h"
#include "platform/lib/sndfile/SndFile.h"
#include "platform/devices/wave/WavSave.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

namespace vorlo::platform {
namespace {

TEST(DrivePath, MapsAndDeletesNamesOnDriveCInsideItsFolderOnly)
{
    test::TempFolder home;
    const auto drive = home.Path() / "drive";
    test::ScopedEnv env("VORLO_DRIVE_C", drive.string());
    const struct {
        const char* given;
        const char* expected; // relative to the drive's folder; nullptr: refused
    } rows[] = {
        {"c:\\cdtest.wav", "cdtest.wav"}, {"C:/sub/x.wav", "sub/x.wav"}, {"c:x.wav", "x.wav"},
        {"\\x.wav", "x.wav"}, {"c:\\a\\.\\\\b.wav", "a/b.wav"}, {"/etc/passwd", "etc/passwd"},
        {"d:\\x.wav", nullptr}, {"c:\\..\\x.wav", nullptr}, {"c:\\a\\..\\x.wav", nullptr},
        {"..", nullptr}, {"c:\\", nullptr}, {"", nullptr},
    };
    for (const auto& row : rows) {
        if (row.expected)
            EXPECT_EQ(MapDrivePath(row.given), drive / row.expected) << row.given;
        else
            EXPECT_THROW(MapDrivePath(row.given), DrivePathError) << row.given;
    }
    ASSERT_TRUE(std::filesystem::is_directory(drive)) << "made when first needed";

    // Deletion removes files only, and says whether it did.
    std::ofstream(drive / "cdtest.wav") << "x";
    std::filesystem::create_directory(drive / "folder");
    EXPECT_TRUE(DeleteDriveFile("c:\\cdtest.wav"));
    for (const char* kept : {"c:\\cdtest.wav", "c:\\folder", "c:\\..\\x", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(DeleteDriveFile(kept)) << (kept ? kept : "(null)");
    EXPECT_TRUE(std::filesystem::exists(drive / "folder"));
}

// A failed save leaves the previous file whole and no temporary file behind.
TEST(WavSave, ReplacesAFileOnlyWhenTheWholeSaveSucceeds)
{
    test::TempFolder folder;
    const auto target = folder.Path() / "t.wav";
    std::ofstream(target) << "the previous file";
    const std::vector<std::uint8_t> samples(100, 0x80);
    const auto entries = [&] { return std::distance(std::filesystem::directory_iterator(folder.Path()), {}); };

    WaveFormat unsupported;
    unsupported.bitsPerSample = 12;
    EXPECT_THROW(SaveWavAtomically(target, unsupported, samples), SndFileError);
    std::ifstream previous(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "the previous file");

    std::filesystem::create_directories(folder.Path() / "busy.wav" / "kept");
    EXPECT_THROW(SaveWavAtomically(folder.Path() / "busy.wav", WaveFormat{}, samples), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "busy.wav" / "kept"));
    EXPECT_EQ(entries(), 2);

    SaveWavAtomically(target, WaveFormat{}, samples);
    EXPECT_EQ(test::ReadWav(target).info.frames, 100);
    EXPECT_EQ(entries(), 2);
}

} // namespace
} // namespace vorlo::platform
