#include "platform/service/ServiceFixture.h"

#include "platform/Mci.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vorlo::test {
namespace {

using platform::kMciSet;
using platform::kMciSetDoorOpen;

TEST(EntryPointTest, DeviceIdsNameOpenAliasesOnly)
{
    TempFolder dir;
    ServiceOnDisc disc(TestDisc::AudioOnly(2).Write(dir.Path(), "ids"));
    EXPECT_EQ(disc.service.DeviceId("cdaudio"), 0u);
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1");
    EXPECT_EQ(disc.Send("open CDAudio alias Second shareable wait"), "0\t2");
    const std::pair<const char*, platform::MciDeviceId> lookups[] = {
        {"cdaudio", 1}, {"CDAudio", 1}, {"second", 2}, {"midi", 0}, {"", 0}, {nullptr, 0}};
    for (const auto& [name, id] : lookups)
        EXPECT_EQ(disc.service.DeviceId(name), id) << (name ? name : "(null)");

    // A closed id is given out again, lowest first.
    EXPECT_EQ(disc.Send("close cdaudio"), "0\t");
    EXPECT_EQ(disc.service.DeviceId("cdaudio"), 0u);
    EXPECT_EQ(disc.Send("open cdaudio"), "0\t1");
}

// On an image the door opens without effect; a message to an id that is not open changes nothing.
TEST(EntryPointTest, DoorMessageNeedsAnOpenDevice)
{
    TempFolder dir;
    ServiceOnDisc disc(TestDisc::AudioOnly(2).Write(dir.Path(), "door"));
    platform::MciService& service = disc.service;
    EXPECT_EQ(service.SendCommand(1, kMciSet, kMciSetDoorOpen, 0), 257u);
    disc.Send("open cdaudio");
    disc.Send("play cdaudio");
    for (const platform::MciDeviceId id : {0u, 2u})
        EXPECT_EQ(service.SendCommand(id, kMciSet, kMciSetDoorOpen, 0), 257u) << id;
    EXPECT_EQ(service.SendCommand(service.DeviceId("cdaudio"), kMciSet, kMciSetDoorOpen, 0), 0u);
    EXPECT_EQ(disc.Send("status cdaudio mode"), "0\tplaying");
    EXPECT_EQ(disc.Send("status cdaudio number of tracks"), "0\t2");
    EXPECT_EQ(service.SendCommand(1, 0x0806 /* another message */, 0, 0), 274u);
}

// Exit answered Yes ends the player through quick_exit; the trace still gets its last lines.
TEST(EntryPointTest, TraceKeepsItsLastLinesWhenTheProgramEndsAtOnce)
{
    TempFolder dir;
    const std::string trace = (dir.Path() / "trace.txt").string();
    EXPECT_EXIT(
        {
            setenv("VORLO_MCI_TRACE", trace.c_str(), 1);
            char reply[128];
            platform::mciSendString("status midi length", reply, sizeof reply, 0);
            std::quick_exit(0);
        },
        testing::ExitedWithCode(0), "");
    std::stringstream lines;
    lines << std::ifstream(trace).rdbuf();
    EXPECT_NE(lines.str().find("\tstatus midi length\t263\t\n"), std::string::npos) << lines.str();
}

} // namespace
} // namespace vorlo::test
