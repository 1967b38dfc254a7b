#pragma once

#include "../audio/MonitorRecorder.h"
#include "../audio/SoundMatch.h"

#include "platform/service/ServiceFixture.h"
#include "platform/Mci.h"
#include "support/TempFolder.h"
#include "simdrive/SimDrive.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

// The cdaudio device on a drive, as libcdio and cdparanoia meet it through the kernel: the
// whole test program runs with the simulated drive preloaded (drive.cmake), as
// VORLO_SIMDRIVE_DEVICE, holding the demo disc unless a test says otherwise. Knobs go to
// the drive through its control file, and its log tells what it was asked.
namespace vorlo::test {

inline constexpr std::int64_t kRate = platform::kSampleRate;
inline std::int64_t Frames(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count() * kRate / 1000; }

class SimulatedDriveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetKnobs("");
        std::ofstream(std::getenv("VORLO_SIMDRIVE_LOG"), std::ios::trunc);  // the drive appends
    }

    // Replaces the drive's knobs: the demo disc, tray closed, plus `extra` lines.
    static void SetKnobs(const std::string& extra)
    {
        std::ofstream(std::getenv("VORLO_SIMDRIVE_CONTROL"))
            << "image=" VORLO_DEMO_CUE "\ntray=closed\nspinup_ms=0\nmax_speed=24\nstall_ms=0\nbad=\njitter=0\n" << extra;
        std::this_thread::sleep_for(20ms);  // a later change must show a later modification time
    }
    static int Count(const std::string& text, const std::string& what)
    {
        int count = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++count;
        return count;
    }
    static std::string DriveLog()
    {
        std::stringstream log;
        log << std::ifstream(std::getenv("VORLO_SIMDRIVE_LOG")).rdbuf();
        return log.str();
    }

    // Sends `command` like the window does, with its ticks' queries every 100 ms for
    // `span`; returns the slowest answer of all.
    Clock::duration TickFor(Clock::duration span)
    {
        Clock::duration slowest{};
        for (const auto until = Clock::now() + span; Clock::now() < until; std::this_thread::sleep_for(100ms))
            for (const char* query : {"status cdaudio length", "status cdaudio position"})
                slowest = std::max(slowest, disc.Timed(query).took);
        return slowest;
    }

    ServiceOnDisc disc{ServiceOnDisc::Located{}};
};

} // namespace vorlo::test
