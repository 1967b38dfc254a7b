#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every command string the program sends. Nothing outside this header spells a command.
namespace vorlo::media::commands {

// The disc.
inline constexpr std::string_view kOpenCdaudio = "open cdaudio";
inline constexpr std::string_view kSetCdaudioMilliseconds = "set cdaudio time format milliseconds";
inline constexpr std::string_view kPlayCdaudio = "play cdaudio";
inline constexpr std::string_view kStopCdaudio = "stop cdaudio";
inline constexpr std::string_view kCloseCdaudio = "close cdaudio";
inline constexpr std::string_view kStatusCdaudioCurrentTrack = "status cdaudio current track";
inline constexpr std::string_view kStatusCdaudioLength = "status cdaudio length";
inline constexpr std::string_view kStatusCdaudioPosition = "status cdaudio position";

// The disc, as the desktop's media controls drive and show it: pause and resume, the mode,
// and the disc's CD-Text (the disc's own title and performer; per track below).
inline constexpr std::string_view kPauseCdaudio = "pause cdaudio";
inline constexpr std::string_view kResumeCdaudio = "resume cdaudio";
inline constexpr std::string_view kStatusCdaudioMode = "status cdaudio mode";
inline constexpr std::string_view kInfoCdaudioTitle = "info cdaudio title";
inline constexpr std::string_view kInfoCdaudioPerformer = "info cdaudio performer";

// The device-name argument of the door-open command message.
inline constexpr std::string_view kCdaudioDevice = "cdaudio";

// The aliases that the display queries and the release handlers stop and close.
inline constexpr std::string_view kStatusSoundLength = "status sound length";
inline constexpr std::string_view kStatusSoundPosition = "status sound position";
inline constexpr std::string_view kStatusMovieLength = "status movie length";
inline constexpr std::string_view kStatusMoviePosition = "status movie position";
inline constexpr std::string_view kStatusMidiLength = "status midi length";
inline constexpr std::string_view kStatusMidiPosition = "status midi position";

inline constexpr std::string_view kStopSound = "stop sound";
inline constexpr std::string_view kStopMidi = "stop midi";
inline constexpr std::string_view kStopMovie = "stop movie";
inline constexpr std::string_view kStopCapture = "stop capture";
inline constexpr std::string_view kCloseSound = "close sound";
inline constexpr std::string_view kCloseMidi = "close midi";
inline constexpr std::string_view kCloseMovie = "close movie";
inline constexpr std::string_view kCloseCapture = "close capture";

// The test capture.
inline constexpr std::string_view kOpenCapture = "open new type waveaudio alias capture";
inline constexpr std::string_view kRecordCapture = "record capture";
inline constexpr std::string_view kSaveCaptureTestFile = "save capture c:\\cdtest.wav";
inline constexpr std::string_view kTestCaptureFile = "c:\\cdtest.wav";

// The device-name argument of the MIDI volume steps' device-id lookup.
inline constexpr std::string_view kMidiDevice = "midi";

// Commands that end in a number: the literal, then the 32-bit value in plain decimal.
std::string StatusCdaudioPositionTrack(std::int32_t track);
std::string PlayCdaudioFrom(std::int32_t position);
std::string StatusCdaudioLengthTrack(std::int32_t track);
std::string StatusCdaudioTypeTrack(std::int32_t track);
std::string InfoCdaudioTitleTrack(std::int32_t track);
std::string InfoCdaudioPerformerTrack(std::int32_t track);

} // namespace vorlo::media::commands
