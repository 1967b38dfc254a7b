// Opens mutated disc sheets through the cdaudio device, as the player finds them through
// VORLO_CDROM. The input's first line names the sheet's kind ("toc" for a cdrdao TOC file,
// anything else for a CUE sheet) and the rest is the sheet, written as disc.cue or disc.toc
// beside a small disc.bin; libcdio takes the audio from that file. Whatever the sheet says,
// opening it must give a device or an error with a reason, and every query, play and stop
// on the device must answer.
#include "FuzzScratch.h"
#include "platform/service/ServiceFixture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace {

// Queries per track are bounded: a sheet may claim the full 99.
constexpr int kMaxTracksQueried = 99;

std::string WriteSheet(const std::filesystem::path& folder, std::string_view input)
{
    const auto end = input.find('\n');
    const bool toc = input.substr(0, end) == "toc";
    const std::string_view sheet = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    const std::string path = (folder / (toc ? "disc.toc" : "disc.cue")).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(sheet.data(), static_cast<std::streamsize>(sheet.size()));
    return path;
}

void Exercise(vorlo::test::ServiceOnDisc& disc)
{
    if (disc.Timed("open cdaudio").error != 0) {
        if (disc.service.TakeFailureDetail().empty())
            std::abort();
        return;
    }
    const int tracks = std::atoi(disc.Text("status cdaudio number of tracks").c_str());
    for (const char* format : {"milliseconds", "tmsf"}) {
        disc.Send(std::string("set cdaudio time format ") + format);
        disc.Send("status cdaudio length");
        for (int n = 1; n <= std::min(tracks, kMaxTracksQueried); ++n)
            for (const char* item : {"position", "length", "type"})
                disc.Send("status cdaudio " + std::string(item) + " track " + std::to_string(n));
    }
    using namespace std::string_literals;
    for (const std::string& command : {"play cdaudio"s, "status cdaudio position"s,
                                       "play cdaudio from "s + std::to_string(tracks) + " to 1", "seek cdaudio to end"s,
                                       "play cdaudio from 1"s, "status cdaudio mode"s, "stop cdaudio"s, "close cdaudio"s})
        disc.Send(command);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const vorlo::fuzz::FuzzScratch scratch;
    const std::string sheet = WriteSheet(scratch.root(), std::string_view(reinterpret_cast<const char*>(data), size));
    ::setenv("VORLO_CDROM", sheet.c_str(), 1);
    vorlo::test::ServiceOnDisc disc{vorlo::test::ServiceOnDisc::Located{}};
    Exercise(disc);
    return 0;
}
