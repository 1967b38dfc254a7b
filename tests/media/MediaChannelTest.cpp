#include "media/MediaChannel.h"
#include "media/MediaPlatform.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>

namespace vorlo::media {
namespace {

TEST(SendMediaCommand, PassesTheWholeAreaAndKeepsTheTailOfAnEarlierReply)
{
    test::RecordingPlatform platform;
    ScopedMediaPlatform binding(platform);
    platform.ReplyTo("status cdaudio length", "1234567");
    platform.ReplyTo("status cdaudio position", "89");

    ReplyBuffer buffer;
    SendMediaCommand("status cdaudio length", buffer);
    EXPECT_EQ(buffer.Reply(), "1234567");
    SendMediaCommand("status cdaudio position", buffer);
    EXPECT_EQ(buffer.Reply(), "89");
    EXPECT_EQ(std::string(buffer.data() + 3, 4), "4567");
    EXPECT_EQ(buffer.Chars()[8], ' ');
    EXPECT_EQ(platform.Capacities().front(), ReplyBuffer::kCapacity);
}

TEST(SendMediaCommand, FailedCommandLeavesAnEmptyReply)
{
    test::RecordingPlatform platform;
    ScopedMediaPlatform binding(platform);
    ReplyBuffer buffer;
    SendMediaCommand("status midi length", buffer);
    EXPECT_EQ(buffer.Reply(), "");
    EXPECT_EQ(ReplyValue(buffer), 0.0);
    EXPECT_EQ(platform.Commands(), std::vector<std::string>{"status midi length"});
}

} // namespace
} // namespace vorlo::media
