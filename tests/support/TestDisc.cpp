#include "support/TestDisc.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vorlo::test {
namespace {

constexpr int kSectorsPerSecond = 75;

void FillSector(std::array<char, TestDisc::kBytesPerSector>& sector, bool audio, int lsn)
{
    sector.fill(0);
    if (!audio) {
        std::fill_n(sector.begin() + 1, 10, '\xFF'); // the sync pattern
        sector[15] = 1;                              // mode 1
        return;
    }
    for (int offset = 0; offset < TestDisc::kBytesPerSector; offset += 2) {
        const int sample = lsn * (TestDisc::kBytesPerSector / 2) + offset / 2;
        sector[offset] = static_cast<char>(sample & 0xFF);
        sector[offset + 1] = static_cast<char>(sample >> 8 & 0xFF);
    }
}

} // namespace

std::string Msf(int sectors)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / (60 * kSectorsPerSecond),
                  sectors / kSectorsPerSecond % 60, sectors % kSectorsPerSecond);
    return text;
}

TestDisc TestDisc::AudioOnly(int trackCount, int sectorsPerTrack)
{
    return {std::vector<TestTrack>(static_cast<std::size_t>(trackCount), TestTrack{true, 0, sectorsPerTrack})};
}

std::string TestDisc::Write(const std::filesystem::path& dir, const std::string& name) const
{
    const std::filesystem::path cuePath = dir / (name + ".cue");
    std::ofstream cue(cuePath);
    std::ofstream bin(dir / (name + ".bin"), std::ios::binary);
    const auto text = [&cue](const std::string& indent, const std::string& title, const std::string& performer) {
        if (!title.empty())
            cue << indent << "TITLE \"" << title << "\"\n";
        if (!performer.empty())
            cue << indent << "PERFORMER \"" << performer << "\"\n";
    };
    text("", title, performer);
    cue << "FILE \"" << name << ".bin\" BINARY\n";
    std::array<char, kBytesPerSector> sector{};
    int lsn = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const TestTrack& track = tracks[i];
        cue << "  TRACK " << (i < 9 ? "0" : "") << i + 1 << (track.audio ? " AUDIO\n" : " MODE1/2352\n");
        text("    ", track.title, track.performer);
        if (track.pregapSectors > 0)
            cue << "    INDEX 00 " << Msf(lsn) << "\n";
        cue << "    INDEX 01 " << Msf(lsn + track.pregapSectors) << "\n";
        for (int n = 0; n < track.pregapSectors + track.sectors; ++n, ++lsn) {
            FillSector(sector, track.audio, lsn);
            bin.write(sector.data(), sector.size());
        }
    }
    if (!cue.flush() || !bin.flush())
        throw std::runtime_error("cannot write a test disc in " + dir.string());
    return cuePath.string();
}

} // namespace vorlo::test
