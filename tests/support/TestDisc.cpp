#include "support/TestDisc.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vorlo::test {
namespace {

constexpr int kFramesPerSecond = 75;
constexpr int kLeadIn = 150;

std::string Msf(int frames)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / (60 * kFramesPerSecond),
                  frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
    return text;
}

int Bcd(int value) { return value / 10 * 16 + value % 10; }

void FillAudio(std::array<char, TestDisc::kBytesPerSector>& sector, int lsn)
{
    for (int offset = 0; offset < TestDisc::kBytesPerSector; offset += 2) {
        const auto sample = static_cast<std::uint16_t>(TestDisc::AudioSample(lsn, offset));
        sector[offset] = static_cast<char>(sample & 0xFF);
        sector[offset + 1] = static_cast<char>(sample >> 8);
    }
}

void FillData(std::array<char, TestDisc::kBytesPerSector>& sector, int lsn)
{
    sector.fill(0);
    for (int i = 1; i <= 10; ++i)
        sector[i] = static_cast<char>(0xFF);
    const int address = lsn + kLeadIn;
    sector[12] = static_cast<char>(Bcd(address / (60 * kFramesPerSecond)));
    sector[13] = static_cast<char>(Bcd(address / kFramesPerSecond % 60));
    sector[14] = static_cast<char>(Bcd(address % kFramesPerSecond));
    sector[15] = 1; // mode 1
}

} // namespace

std::int16_t TestDisc::AudioSample(int lsn, int offset)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((lsn * (kBytesPerSector / 2) + offset / 2) & 0xFFFF));
}

int TestDisc::StartLsn(std::size_t index) const
{
    int lsn = 0;
    for (std::size_t i = 0; i < index; ++i)
        lsn += tracks[i].pregapSectors + tracks[i].sectors;
    return lsn + tracks[index].pregapSectors;
}

int TestDisc::LeadOutLsn() const { return StartLsn(tracks.size() - 1) + tracks.back().sectors; }

TestDisc TestDisc::AudioOnly(int trackCount, int sectorsPerTrack)
{
    TestDisc disc;
    disc.tracks.assign(static_cast<std::size_t>(trackCount), TestTrack{true, 0, sectorsPerTrack});
    return disc;
}

std::string TestDisc::Write(const std::filesystem::path& dir, const std::string& name) const
{
    const std::filesystem::path cuePath = dir / (name + ".cue");
    std::ofstream cue(cuePath);
    std::ofstream bin(dir / (name + ".bin"), std::ios::binary);
    if (!cue || !bin)
        throw std::runtime_error("cannot write a test disc in " + dir.string());

    cue << "FILE \"" << name << ".bin\" BINARY\n";
    std::array<char, kBytesPerSector> sector{};
    int lsn = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const TestTrack& track = tracks[i];
        char number[16];
        std::snprintf(number, sizeof number, "%02d", static_cast<int>(i) + kFirstTrackNumber);
        cue << "  TRACK " << number << (track.audio ? " AUDIO\n" : " MODE1/2352\n");
        if (track.pregapSectors > 0)
            cue << "    INDEX 00 " << Msf(lsn) << "\n";
        cue << "    INDEX 01 " << Msf(lsn + track.pregapSectors) << "\n";
        for (int n = 0; n < track.pregapSectors + track.sectors; ++n, ++lsn) {
            if (track.audio)
                FillAudio(sector, lsn);
            else
                FillData(sector, lsn);
            bin.write(sector.data(), sector.size());
        }
    }
    if (!cue.flush() || !bin.flush())
        throw std::runtime_error("cannot write a test disc in " + dir.string());
    return cuePath.string();
}

} // namespace vorlo::test
