#include "media/MediaChannel.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>

namespace vorlo::media {
namespace {

// The whole 128-byte area goes to the platform and comes back as it was left: a second,
// shorter reply leaves the tail of the first behind its NUL, and is read only up to it.
TEST(SendMediaCommand, PassesTheWholeAreaAndKeepsTheTailOfAnEarlierReply)
{
    test::RecordingPlatform platform;
    ScopedMediaPlatform binding(platform);
    platform.ReplyTo("status cdaudio length", "1234567");
    platform.ReplyTo("status cdaudio position", "89");

    ReplyBuffer buffer;
    SendMediaCommand("status cdaudio length", buffer);
    SendMediaCommand("status cdaudio position", buffer);
    EXPECT_EQ(buffer.Reply(), "89");
    EXPECT_EQ(ReplyValue(buffer), 89.0);
    EXPECT_EQ(std::string(buffer.data() + 3, 4), "4567");
    EXPECT_EQ(buffer.Chars()[8], ' ');
    EXPECT_EQ(platform.Capacities(), std::vector<std::uint32_t>(2, ReplyBuffer::kCapacity));
}

} // namespace
} // namespace vorlo::media
