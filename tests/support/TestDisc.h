#pragma once

// Writes small CUE/BIN disc images for tests.
//
//   vorlo::test::TestDisc disc;
//   disc.tracks = {{.audio = false, .sectors = 300}, {.pregapSectors = 75, .sectors = 600}};
//   const std::string cue = disc.Write(dir, "mixed");   // dir/mixed.cue and dir/mixed.bin
//
// The BIN is one file of raw 2352-byte sectors, track after track; each track's pregap
// (INDEX 00) sectors stand before its INDEX 01. Audio sectors hold a pattern that names
// their own LSN (see AudioSample), so a reader can check it got the right sector. Data
// tracks are MODE1/2352 with a proper sync pattern and header, and zeros as user data.
// libcdio reads the images as a drive's TOC: track 1 at LSN 0 (plus its pregap, if any),
// and the lead-out after the last sector.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlo::test {

struct TestTrack {
    bool audio = true;
    int pregapSectors = 0; // INDEX 00 sectors before the track's start
    int sectors = 150;     // from INDEX 01 to the next track's INDEX 00 (or the end)
};

struct TestDisc {
    static constexpr int kBytesPerSector = 2352;
    static constexpr int kFirstTrackNumber = 1;

    std::vector<TestTrack> tracks;

    // Writes DIR/NAME.cue and DIR/NAME.bin and returns the CUE's path. Throws
    // std::runtime_error when the files cannot be written.
    std::string Write(const std::filesystem::path& dir, const std::string& name) const;

    // Where track `index` (0-based) starts (its INDEX 01), and where the lead-out is.
    int StartLsn(std::size_t index) const;
    int LeadOutLsn() const;

    // The 16-bit sample at byte offset `offset` (even, 0..2350) of an audio sector at `lsn`:
    // the low 16 bits of lsn * 1176 + offset / 2.
    static std::int16_t AudioSample(int lsn, int offset);

    // Ready-made discs.
    static TestDisc AudioOnly(int trackCount, int sectorsPerTrack = 150);
};

} // namespace vorlo::test
