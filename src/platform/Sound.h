#pragma once

#include <cstdint>

// The platform's sound entry points, in the shape of the Windows calls they stand in for.
// Any thread may call them.
namespace vorlo::platform {

using MmResult = std::uint32_t;
inline constexpr MmResult kMmNoError = 0;
inline constexpr MmResult kMmBadDeviceId = 2;
inline constexpr MmResult kMmInvalidParam = 11;

// The wave mapper: the default wave output. Wave device 0 is the same output.
inline constexpr std::uint32_t kWaveMapper = 0xFFFFFFFFu;

// Flags of sndPlaySound. Only synchronous play is offered; kSndNoDefault is accepted and
// changes nothing, because no default sound is ever played in place of a missing file.
inline constexpr std::uint32_t kSndSync = 0x0000;
inline constexpr std::uint32_t kSndNoDefault = 0x0002;

// Plays the WAV file that a drive path names ("c:\x.wav") through the default output,
// at the service's output volume, and returns when it has been heard to its end.
// Returns 1 then, and 0 on any failure: a null or refused path, a missing, unreadable or
// undecodable file, a flag other than those above, or no sound server. When VORLO_AUDIO
// is "null" the sound goes to a null device that takes the sound's own time.
// Blocks the calling thread for as long as the sound lasts.
int sndPlaySound(const char* file, std::uint32_t flags);

// The volume word of the wave mapper (or wave device 0): the service's own output volume,
// left channel in the low 16 bits, right in the high 16 bits, 0 muted to 0xFFFF full.
// Other devices give kMmBadDeviceId, a null pointer kMmInvalidParam; *volume is then
// left untouched.
MmResult waveOutGetVolume(std::uint32_t device, std::uint32_t* volume);
MmResult waveOutSetVolume(std::uint32_t device, std::uint32_t volume);

// The volume word of MIDI output device 0, the only MIDI output. There is no synthesizer
// behind it: the service holds the word, full at start, and reads it back; nothing
// sounds louder or softer for it. Errors as for the wave calls.
MmResult midiOutGetVolume(std::uint32_t device, std::uint32_t* volume);
MmResult midiOutSetVolume(std::uint32_t device, std::uint32_t volume);

// Deletes the file that a drive path ("c:\\cdtest.wav") names, in the folder the media
// service keeps drive C: in. Returns false, and throws nothing, when nothing was deleted:
// a null or refused path, no such file, a folder, or no permission.
bool DeleteDriveFile(const char* drivePath);

} // namespace vorlo::platform
