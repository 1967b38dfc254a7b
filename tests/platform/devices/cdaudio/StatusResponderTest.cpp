// The cdaudio device's status answers, read straight from a TOC, a time format and a
// snapshot of the transport: every item in every mode, and the edges where a fault hides.
#include "platform/devices/cdaudio/StatusResponder.h"
#include "platform/mci/MciErrors.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vorlo::test {
namespace {

using platform::DeviceMode;
using platform::DiscToc;
using platform::StatusItem;
using platform::TimeFormat;
namespace mcierr = platform::mcierr;

// Tracks at LSN 0, 1000 and 1500 (00:02:00, 00:15:25, 00:22:00); the lead-out at 1800.
const DiscToc kThree{{{1, 0, true}, {2, 1000, true}, {3, 1500, true}}, 1800};
// A data track first (as on a CD-ROM with music after it), then two audio tracks.
const DiscToc kDataFirst{{{1, 0, false}, {2, 300, true}, {3, 750, true}}, 1050};
// Numbered from 4, its first track at LSN 150, after a hidden two-second pregap.
const DiscToc kFromFour{{{4, 150, true}, {5, 600, true}}, 900};
const DiscToc kNone{};

struct StatusCase {
    const char* name;
    const DiscToc& toc;
    TimeFormat format;
    DeviceMode mode;
    std::int32_t positionLsn;
    StatusItem item;
    std::optional<std::uint32_t> track;
    platform::MciError error;
    const char* text;
};

void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.name; }

constexpr auto kMs = TimeFormat::Milliseconds;
constexpr auto kMsf = TimeFormat::Msf;
constexpr auto kTmsf = TimeFormat::Tmsf;
constexpr auto kNo = std::nullopt;
constexpr platform::MciError kOk = mcierr::kNone;

const StatusCase kCases[] = {
    // Mode, ready, media present and the time format answer with or without a disc.
    {"mode_while_loading", kNone, kMsf, DeviceMode::Loading, 0, StatusItem::Mode, kNo, kOk, "not ready"},
    {"mode_without_disc", kNone, kMsf, DeviceMode::NoDisc, 0, StatusItem::Mode, kNo, kOk, "not ready"},
    {"mode_door_open", kNone, kMsf, DeviceMode::DoorOpen, 0, StatusItem::Mode, kNo, kOk, "open"},
    {"mode_stopped", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Mode, kNo, kOk, "stopped"},
    {"mode_playing", kThree, kMsf, DeviceMode::Playing, 0, StatusItem::Mode, kNo, kOk, "playing"},
    {"mode_paused", kThree, kMsf, DeviceMode::Paused, 0, StatusItem::Mode, kNo, kOk, "paused"},
    {"ready_while_loading", kNone, kMsf, DeviceMode::Loading, 0, StatusItem::Ready, kNo, kOk, "false"},
    {"ready_door_open", kNone, kMsf, DeviceMode::DoorOpen, 0, StatusItem::Ready, kNo, kOk, "false"},
    {"ready_paused", kThree, kMsf, DeviceMode::Paused, 0, StatusItem::Ready, kNo, kOk, "true"},
    {"media_present_while_loading", kNone, kMsf, DeviceMode::Loading, 0, StatusItem::MediaPresent, kNo,
     mcierr::kDeviceNotReady, ""},
    {"media_present_without_disc", kNone, kMsf, DeviceMode::NoDisc, 0, StatusItem::MediaPresent, kNo, kOk, "false"},
    {"media_present_door_open", kNone, kMsf, DeviceMode::DoorOpen, 0, StatusItem::MediaPresent, kNo, kOk, "false"},
    {"media_present_playing", kThree, kMsf, DeviceMode::Playing, 0, StatusItem::MediaPresent, kNo, kOk, "true"},
    {"time_format_without_disc", kNone, kTmsf, DeviceMode::NoDisc, 0, StatusItem::TimeFormat, kNo, kOk, "tmsf"},
    {"time_format_ms", kThree, kMs, DeviceMode::Stopped, 0, StatusItem::TimeFormat, kNo, kOk, "milliseconds"},
    // Everything else needs a disc, even for a track that no disc could hold.
    {"length_while_loading", kNone, kMsf, DeviceMode::Loading, 0, StatusItem::Length, kNo, mcierr::kDeviceNotReady, ""},
    {"position_without_disc", kNone, kMsf, DeviceMode::NoDisc, 0, StatusItem::Position, kNo, mcierr::kDeviceNotReady, ""},
    {"tracks_door_open", kNone, kMsf, DeviceMode::DoorOpen, 0, StatusItem::NumberOfTracks, kNo,
     mcierr::kDeviceNotReady, ""},
    {"current_track_while_loading", kNone, kMsf, DeviceMode::Loading, 0, StatusItem::CurrentTrack, kNo,
     mcierr::kDeviceNotReady, ""},
    {"track_99_without_disc", kNone, kMsf, DeviceMode::NoDisc, 0, StatusItem::Position, 99, mcierr::kDeviceNotReady, ""},
    // The position: absolute in msf and milliseconds, relative to its track in tmsf.
    {"position_msf", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Position, kNo, kOk, "00:02:00"},
    {"position_ms", kThree, kMs, DeviceMode::Playing, 1000, StatusItem::Position, kNo, kOk, "15334"},
    {"position_tmsf", kThree, kTmsf, DeviceMode::Paused, 1075, StatusItem::Position, kNo, kOk, "02:00:01:00"},
    {"position_tmsf_last_sector_of_track", kThree, kTmsf, DeviceMode::Stopped, 999, StatusItem::Position, kNo, kOk,
     "01:00:13:24"},
    {"position_end_of_disc_msf", kThree, kMsf, DeviceMode::Stopped, 1800, StatusItem::Position, kNo, kOk, "00:26:00"},
    {"position_end_of_disc_tmsf", kThree, kTmsf, DeviceMode::Stopped, 1800, StatusItem::Position, kNo, kOk,
     "03:00:04:00"},
    {"position_in_hidden_pregap_tmsf", kFromFour, kTmsf, DeviceMode::Stopped, 0, StatusItem::Position, kNo, kOk,
     "04:00:00:00"},
    {"position_in_hidden_pregap_msf", kFromFour, kMsf, DeviceMode::Stopped, 0, StatusItem::Position, kNo, kOk,
     "00:02:00"},
    // Where a track starts, whatever the position.
    {"position_track_1_ms", kThree, kMs, DeviceMode::Playing, 1700, StatusItem::Position, 1, kOk, "2001"},
    {"position_track_2_ms", kThree, kMs, DeviceMode::Stopped, 0, StatusItem::Position, 2, kOk, "15334"},
    {"position_track_2_msf", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Position, 2, kOk, "00:15:25"},
    {"position_track_2_tmsf", kThree, kTmsf, DeviceMode::Stopped, 0, StatusItem::Position, 2, kOk, "02:00:00:00"},
    {"position_data_track", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::Position, 1, kOk, "00:02:00"},
    {"position_track_0", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Position, 0, mcierr::kOutOfRange, ""},
    {"position_track_past_last", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Position, 4, mcierr::kOutOfRange, ""},
    {"position_track_before_first", kFromFour, kMsf, DeviceMode::Stopped, 150, StatusItem::Position, 3,
     mcierr::kOutOfRange, ""},
    {"start_position_msf", kFromFour, kMsf, DeviceMode::Playing, 700, StatusItem::StartPosition, kNo, kOk, "00:04:00"},
    {"start_position_tmsf", kFromFour, kTmsf, DeviceMode::Playing, 700, StatusItem::StartPosition, kNo, kOk,
     "04:00:00:00"},
    // Lengths leave out the disc's last sector; tmsf lengths are msf.
    {"length_msf", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Length, kNo, kOk, "00:23:74"},
    {"length_ms", kThree, kMs, DeviceMode::Stopped, 0, StatusItem::Length, kNo, kOk, "23987"},
    {"length_tmsf", kThree, kTmsf, DeviceMode::Stopped, 0, StatusItem::Length, kNo, kOk, "00:23:74"},
    {"length_after_hidden_pregap", kFromFour, kMsf, DeviceMode::Stopped, 150, StatusItem::Length, kNo, kOk, "00:09:74"},
    {"length_track_1_ms", kThree, kMs, DeviceMode::Stopped, 0, StatusItem::Length, 1, kOk, "13334"},
    {"length_last_track", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::Length, 3, kOk, "00:03:74"},
    {"length_data_track", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::Length, 1, kOk, "00:04:00"},
    {"length_track_past_last", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::Length, 4,
     mcierr::kOutOfRange, ""},
    // The track that holds the position.
    {"current_track_first_sector", kThree, kMsf, DeviceMode::Playing, 1000, StatusItem::CurrentTrack, kNo, kOk, "2"},
    {"current_track_sector_before", kThree, kMsf, DeviceMode::Playing, 999, StatusItem::CurrentTrack, kNo, kOk, "1"},
    {"current_track_end_of_disc", kThree, kMsf, DeviceMode::Stopped, 1800, StatusItem::CurrentTrack, kNo, kOk, "3"},
    {"current_track_hidden_pregap", kFromFour, kMsf, DeviceMode::Stopped, 0, StatusItem::CurrentTrack, kNo, kOk, "4"},
    {"current_track_after_data", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::CurrentTrack, kNo, kOk, "2"},
    // Counts and types.
    {"tracks", kThree, kMsf, DeviceMode::Stopped, 0, StatusItem::NumberOfTracks, kNo, kOk, "3"},
    {"tracks_numbered_from_4", kFromFour, kMsf, DeviceMode::Stopped, 150, StatusItem::NumberOfTracks, kNo, kOk, "2"},
    {"type_data_track", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::TypeTrack, 1, kOk, "other"},
    {"type_audio_track", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::TypeTrack, 2, kOk, "audio"},
    {"type_track_0", kDataFirst, kMsf, DeviceMode::Stopped, 300, StatusItem::TypeTrack, 0, mcierr::kOutOfRange, ""},
    {"type_track_past_last", kFromFour, kMsf, DeviceMode::Stopped, 150, StatusItem::TypeTrack, 6,
     mcierr::kOutOfRange, ""},
};

class StatusResponderTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusResponderTest, Answers)
{
    const StatusCase& c = GetParam();
    const platform::StatusReply reply =
        platform::AnswerStatus(c.item, c.track, c.toc, c.format, {c.mode, c.positionLsn});
    EXPECT_EQ(std::pair(reply.error, reply.text), std::pair(c.error, std::string(c.text)));
}

INSTANTIATE_TEST_SUITE_P(Items, StatusResponderTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlo::test
