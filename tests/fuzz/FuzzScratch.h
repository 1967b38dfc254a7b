#pragma once

#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include <cstdlib>
#include <string>

namespace vorlo::fuzz {

// A scratch folder for one fuzzer process: a small audio disc image, drive C: and room for
// the files an input writes. Removed at exit. The environment is pinned first, so that no
// input ever reaches a sound server, a real drive or the user's own files.
class FuzzScratch {
public:
    static constexpr int kTracks = 3;
    static constexpr int kSectorsPerTrack = 10; // short, so that a play costs little

    FuzzScratch()
    {
        ::setenv("VORLO_AUDIO", "null", 1);
        ::unsetenv("VORLO_MCI_TRACE");
        std::filesystem::create_directories(root() / "c");
        ::setenv("VORLO_DRIVE_C", (root() / "c").c_str(), 1);
        ::setenv("VORLO_CDROM", test::TestDisc::AudioOnly(kTracks, kSectorsPerTrack).Write(root(), "disc").c_str(), 1);
    }

    // Holds disc.cue and disc.bin.
    const std::filesystem::path& root() const { return folder_.Path(); }

private:
    test::TempFolder folder_;
};

} // namespace vorlo::fuzz
