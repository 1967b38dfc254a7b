#pragma once

// Writes small CUE/BIN disc images: raw 2352-byte sectors, track after track, each track's
// pregap (INDEX 00) before its INDEX 01, and track 1 at LSN 0. Audio samples count up from
// the image's start, so no audio sector is silent or like its neighbours; data tracks are
// MODE1/2352 sectors of a sync pattern and zeros.
//
//   TestDisc disc;
//   disc.tracks = {{.audio = false, .sectors = 300}, {.pregapSectors = 75, .sectors = 600}};
//   const std::string cue = disc.Write(dir, "mixed");   // dir/mixed.cue and dir/mixed.bin

#include <filesystem>
#include <string>
#include <vector>

namespace vorlo::test {

// "mm:ss:ff" for a count of sectors, as CUE sheets and msf replies write it.
std::string Msf(int sectors);

struct TestTrack {
    bool audio = true;
    int pregapSectors = 0; // INDEX 00 sectors before the track's start
    int sectors = 150;     // from INDEX 01 to the next track's INDEX 00 (or the end)
    std::string title = {}; // CD-Text TITLE and PERFORMER lines, when not empty
    std::string performer = {};
};

struct TestDisc {
    static constexpr int kBytesPerSector = 2352;

    std::vector<TestTrack> tracks;
    std::string title = {}; // the disc's own CD-Text, when not empty
    std::string performer = {};

    // Writes DIR/NAME.cue and DIR/NAME.bin and returns the CUE's path. Throws
    // std::runtime_error when the files cannot be written.
    std::string Write(const std::filesystem::path& dir, const std::string& name) const;

    static TestDisc AudioOnly(int trackCount, int sectorsPerTrack = 150);
};

} // namespace vorlo::test
