#include "platform/wave/DrivePath.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vorlo::platform {
namespace {

TEST(DrivePath, MapsEveryFormOfAFileOnDriveCInsideItsFolder)
{
    test::TempFolder home;
    const auto drive = home.Path() / "drive";
    test::ScopedEnv env("VORLO_DRIVE_C", drive.string());
    const struct {
        const char* given;
        const char* expected; // relative to the drive's folder
    } rows[] = {
        {"c:\\cdtest.wav", "cdtest.wav"}, {"C:/sub/x.wav", "sub/x.wav"}, {"c:x.wav", "x.wav"},
        {"\\x.wav", "x.wav"},             {"x.wav", "x.wav"},            {"c:\\a\\.\\\\b.wav", "a/b.wav"},
        {"/etc/passwd", "etc/passwd"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MapDrivePath(row.given), drive / row.expected) << row.given;
    EXPECT_TRUE(std::filesystem::is_directory(drive));
}

TEST(DrivePath, RefusesOtherDrivesClimbingAndNamesWithoutAFile)
{
    test::TempFolder home;
    test::ScopedEnv env("VORLO_DRIVE_C", home.Path().string());
    for (const char* refused : {"d:\\x.wav", "c:\\..\\x.wav", "c:\\a\\..\\x.wav", "..", "c:\\", "", "c:"})
        EXPECT_THROW(MapDrivePath(refused), DrivePathError) << refused;
}

TEST(DrivePath, DefaultsToTheDataHomeThenTheHomeFolder)
{
    test::ScopedEnv noDrive("VORLO_DRIVE_C", std::nullopt);
    test::ScopedEnv home("HOME", "/home/someone");
    {
        test::ScopedEnv dataHome("XDG_DATA_HOME", "/data");
        EXPECT_EQ(DriveCFolder(), "/data/vorlo-player/c");
    }
    for (const std::optional<std::string>& ignored : {std::optional<std::string>(), std::optional<std::string>("rel")}) {
        test::ScopedEnv dataHome("XDG_DATA_HOME", ignored);
        EXPECT_EQ(DriveCFolder(), "/home/someone/.local/share/vorlo-player/c");
    }
}

TEST(DrivePath, DeletesFilesOnlyAndReportsWhatItDid)
{
    test::TempFolder drive;
    test::ScopedEnv env("VORLO_DRIVE_C", drive.Path().string());
    std::ofstream(drive.Path() / "cdtest.wav") << "x";
    std::filesystem::create_directory(drive.Path() / "folder");

    EXPECT_TRUE(DeleteDriveFile("c:\\cdtest.wav"));
    EXPECT_FALSE(std::filesystem::exists(drive.Path() / "cdtest.wav"));
    EXPECT_FALSE(DeleteDriveFile("c:\\cdtest.wav"));
    EXPECT_FALSE(DeleteDriveFile("c:\\folder"));
    EXPECT_TRUE(std::filesystem::exists(drive.Path() / "folder"));
    EXPECT_FALSE(DeleteDriveFile("c:\\..\\x"));
    EXPECT_FALSE(DeleteDriveFile(nullptr));
}

} // namespace
} // namespace vorlo::platform
