#include "ServiceFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vorlo::test {
namespace {

std::vector<std::vector<std::string>> ReadTrace(const std::filesystem::path& path)
{
    std::vector<std::vector<std::string>> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (!line.empty() && line.back() == '\t')
            fields.emplace_back();
        lines.push_back(fields);
    }
    return lines;
}

TEST(TraceTest, RecordsEveryCommandWithErrorAndReply)
{
    ScratchDir dir;
    const auto tracePath = dir.path() / "trace.txt";
    const std::string cue = TestDisc::AudioOnly(2).Write(dir.path(), "trace");
    {
        platform::MciService service(
            [&](const platform::MciOpenRequest&, platform::MciError& error, std::string& why) {
                return std::unique_ptr<platform::MciDevice>(platform::CdAudioDevice::Open(
                    {platform::DiscLocation::Kind::Image, cue}, {}, error, why));
            },
            std::make_unique<platform::TraceWriter>(tracePath.string()));
        char reply[128];
        service.SendString("open cdaudio", reply, sizeof reply);
        service.SendString("status sound length", reply, sizeof reply);
        service.SendString("status cdaudio\tposition", reply, sizeof reply);
        service.SendCommand(0, 0x080D, 0x100, 0);
    }
    const auto lines = ReadTrace(tracePath);
    ASSERT_EQ(lines.size(), 4u);
    const std::vector<std::vector<std::string>> expected = {
        {"open cdaudio", "0", "1"},
        {"status sound length", "263", ""},
        {"status cdaudio position", "0", "00:02:00"}, // a TAB inside a command is written as a blank
        {"command 0 0x080D 0x100", "257", ""},
    };
    double previous = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 4u) << "line " << i;
        const double stamp = std::stod(lines[i][0]);
        EXPECT_GE(stamp, previous);
        previous = stamp;
        EXPECT_EQ(std::vector<std::string>(lines[i].begin() + 1, lines[i].end()), expected[i]);
    }
}

} // namespace
} // namespace vorlo::test
