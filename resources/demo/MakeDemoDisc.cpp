// Writes the demo disc: a CUE sheet and its BIN image of four short pieces of synthesized
// music, so that the player can be tried, and tested, on a machine without a CD drive.
//
//   make-demo-disc OUTPUT_DIR      writes OUTPUT_DIR/demo.cue and OUTPUT_DIR/demo.bin
//
// Each track holds one steady tone, a drone, well above everything else in it, so that
// the track playing can be told from its strongest frequency:
//
//   track 1  "Morning"  A major, 84 beats a minute, soft sine arpeggios   drone 220.00 Hz (A3)   15 s
//   track 2  "Market"   D minor, 132 beats a minute, square-wave plucks   drone 293.66 Hz (D4)   14 s
//   track 3  "Bells"    G major, 66 beats a minute, struck bells          drone 392.00 Hz (G4)   16 s
//   track 4  "Chase"    C major, 168 beats a minute, sawtooth runs        drone 523.25 Hz (C5)   15 s
//
// The drone is three times as strong as any melody note, and the drones lie at least
// 70 Hz apart. The image is audio only, 44.1 kHz 16-bit little-endian stereo, with track 1
// at the start of the file and no pregaps; the output is the same on every run.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kFramesPerSector = 588;
constexpr int kSectorsPerSecond = 75;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDroneLevel = 0.32;
constexpr double kNoteLevel = 0.08;
constexpr double kEdgeSeconds = 0.02;  // fade at each track's edges, against clicks

enum class Timbre { Sine, Square, Bell, Saw };

struct Piece {
    const char* title;
    double droneHz;
    double tonicHz;          // the melody's key note
    std::array<int, 7> scale; // semitones above the tonic
    double beatsPerMinute;
    Timbre timbre;
    std::vector<int> melody;  // scale steps, one note per beat; -1 rests
    int seconds;
};

double Semitones(double hz, int steps) { return hz * std::pow(2.0, steps / 12.0); }

double NoteHz(const Piece& piece, int step)
{
    const int octave = step / 7;
    return Semitones(piece.tonicHz, piece.scale[static_cast<std::size_t>(step % 7)] + 12 * octave);
}

// One note's waveform at time t (seconds since its start) for a given frequency.
double Voice(Timbre timbre, double hz, double t)
{
    const double phase = kTwoPi * hz * t;
    switch (timbre) {
    case Timbre::Sine:
        return std::sin(phase) * std::min(1.0, t / 0.06) * std::exp(-t * 2.0);
    case Timbre::Square:
        return (std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5) * std::exp(-t * 9.0);
    case Timbre::Bell:
        return (std::sin(phase) + 0.5 * std::sin(2.76 * phase) * std::exp(-t * 3.0) +
                0.25 * std::sin(5.40 * phase) * std::exp(-t * 6.0)) *
               std::exp(-t * 1.5) / 1.75;
    case Timbre::Saw: {
        double sum = 0;
        for (int n = 1; n <= 6; ++n)
            sum += std::sin(n * phase) / n;
        return sum / 1.5 * std::exp(-t * 6.0);
    }
    }
    return 0;
}

std::vector<std::int16_t> Render(const Piece& piece)
{
    const int frames = piece.seconds * kSectorsPerSecond * kFramesPerSector;
    std::vector<double> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
    const double beat = 60.0 / piece.beatsPerMinute;
    const double ring = 1.5;  // how long a note may sound on after its beat

    // The melody, panned a little left and right note by note.
    const int beats = static_cast<int>(piece.seconds / beat);
    for (int b = 0; b < beats; ++b) {
        const int step = piece.melody[static_cast<std::size_t>(b) % piece.melody.size()];
        if (step < 0)
            continue;
        const double hz = NoteHz(piece, step);
        const int start = static_cast<int>(b * beat * kSampleRate);
        const int end = std::min(frames, start + static_cast<int>(ring * kSampleRate));
        const double pan = (b % 2 == 0) ? 0.35 : 0.65;
        for (int i = start; i < end; ++i) {
            const double v = kNoteLevel * Voice(piece.timbre, hz, static_cast<double>(i - start) / kSampleRate);
            left[static_cast<std::size_t>(i)] += v * (1.0 - pan) * 2;
            right[static_cast<std::size_t>(i)] += v * pan * 2;
        }
    }

    // The drone, with fades at both edges of the track.
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(frames) * 2);
    const double edge = kEdgeSeconds * kSampleRate;
    for (int i = 0; i < frames; ++i) {
        const double fade = std::min({1.0, i / edge, (frames - 1 - i) / edge});
        const double drone = kDroneLevel * std::sin(kTwoPi * piece.droneHz * i / kSampleRate);
        for (const double v : {left[static_cast<std::size_t>(i)], right[static_cast<std::size_t>(i)]}) {
            const double sample = std::clamp((drone + v) * fade, -1.0, 1.0) * 32767.0;
            samples.push_back(static_cast<std::int16_t>(std::lround(sample)));
        }
    }
    return samples;
}

std::vector<Piece> Pieces()
{
    constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
    constexpr std::array<int, 7> kMinor{0, 2, 3, 5, 7, 8, 10};
    return {
        {"Morning", 220.00, 440.00, kMajor, 84, Timbre::Sine, {0, 2, 4, 7, 4, 2, 1, 3, 5, 3, 0, -1}, 15},
        {"Market", 293.66, 587.33, kMinor, 132, Timbre::Square, {0, 0, 4, 3, 2, 4, 7, 4, 5, 4, 3, 1}, 14},
        {"Bells", 392.00, 783.99, kMajor, 66, Timbre::Bell, {7, 4, 2, 0, 4, -1, 5, 2}, 16},
        {"Chase", 523.25, 1046.50, kMajor, 168, Timbre::Saw, {0, 2, 4, 5, 7, 5, 4, 2, 0, 4, 7, 9, 7, 4}, 15},
    };
}

std::string Msf(int sectors)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / (60 * kSectorsPerSecond),
                  sectors / kSectorsPerSecond % 60, sectors % kSectorsPerSecond);
    return text;
}

bool WriteLittleEndian(std::ofstream& out, const std::vector<std::int16_t>& samples)
{
    std::vector<char> bytes(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto value = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<char>(value & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(value >> 8);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-demo-disc OUTPUT_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    std::ofstream bin(dir + "/demo.bin", std::ios::binary | std::ios::trunc);
    std::ofstream cue(dir + "/demo.cue", std::ios::trunc);
    if (!bin || !cue) {
        std::cerr << "make-demo-disc: cannot write into " << dir << "\n";
        return 1;
    }
    cue << "REM Vorlo Player demo disc, synthesized by the build\n"
        << "PERFORMER \"Vorlo Player\"\n"
        << "TITLE \"Vorlo Demo Disc\"\n"
        << "FILE \"demo.bin\" BINARY\n";
    int sector = 0;
    int number = 1;
    for (const Piece& piece : Pieces()) {
        char track[12];
        std::snprintf(track, sizeof track, "%02d", number++);
        cue << "  TRACK " << track << " AUDIO\n"
            << "    TITLE \"" << piece.title << "\"\n"
            << "    INDEX 01 " << Msf(sector) << "\n";
        if (!WriteLittleEndian(bin, Render(piece))) {
            std::cerr << "make-demo-disc: cannot write demo.bin\n";
            return 1;
        }
        sector += piece.seconds * kSectorsPerSecond;
    }
    return cue ? 0 : 1;
}
