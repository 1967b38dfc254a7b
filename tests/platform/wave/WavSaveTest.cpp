#include "platform/wave/SndFile.h"
#include "platform/wave/WavSave.h"
#include "WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vorlo::platform {
namespace {

std::string Contents(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WavSave, ReplacesAFileOnlyWhenTheWholeSaveSucceedsAndLeavesNoTemporaryOne)
{
    test::TempFolder folder;
    const auto target = folder.Path() / "t.wav";
    std::ofstream(target) << "the previous file";
    const std::vector<std::uint8_t> samples(100, 0x80);

    WaveFormat unsupported;
    unsupported.bitsPerSample = 12;
    EXPECT_THROW(SaveWavAtomically(target, unsupported, samples), SndFileError);
    EXPECT_EQ(Contents(target), "the previous file");

    const auto folderInTheWay = folder.Path() / "busy.wav";
    std::filesystem::create_directories(folderInTheWay / "kept");
    EXPECT_THROW(SaveWavAtomically(folderInTheWay, WaveFormat{}, samples), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(folderInTheWay / "kept"));

    EXPECT_THROW(SaveWavAtomically(folder.Path() / "missing" / "t.wav", WaveFormat{}, samples), std::system_error);

    std::vector<std::string> names = folder.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"busy.wav", "t.wav"}));

    SaveWavAtomically(target, WaveFormat{}, samples);
    EXPECT_EQ(test::ReadWav(target).info.frames, 100);
    EXPECT_EQ(folder.Names().size(), 2u);
}

} // namespace
} // namespace vorlo::platform
