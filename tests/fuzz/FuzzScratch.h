#pragma once

#include "support/TestDisc.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

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
        const char* tmp = std::getenv("TMPDIR");
        root_ = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / ("vorlo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "c");
        ::setenv("VORLO_DRIVE_C", (root_ / "c").c_str(), 1);
        ::setenv("VORLO_CDROM", (root_ / "disc.cue").c_str(), 1);
        cue_ = test::TestDisc::AudioOnly(kTracks, kSectorsPerTrack).Write(root_, "disc");
    }
    ~FuzzScratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FuzzScratch(const FuzzScratch&) = delete;
    FuzzScratch& operator=(const FuzzScratch&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // DIR/disc.cue, beside DIR/disc.bin.
    const std::string& cue() const { return cue_; }

private:
    std::filesystem::path root_;
    std::string cue_;
};

} // namespace vorlo::fuzz
