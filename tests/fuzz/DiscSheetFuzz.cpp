// Opens mutated disc sheets through the cdaudio device. The input's first line names the
// sheet's kind ("toc" for a cdrdao TOC file, anything else for a CUE sheet) and the rest is
// the sheet, written as disc.cue or disc.toc beside a small disc.bin; libcdio takes the
// audio from that file. Whatever the sheet says, opening it must give a device or a clear
// error, and every query, play and stop on the device must answer.
#include "FuzzScratch.h"
#include "platform/cdaudio/CdAudioDevice.h"
#include "platform/service/MciService.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace {

using vorlo::platform::MciError;

// Queries per track are bounded: a sheet may claim the full 99.
constexpr int kMaxTracksQueried = 99;

const vorlo::fuzz::FuzzScratch& Scratch()
{
    static const vorlo::fuzz::FuzzScratch scratch;
    return scratch;
}

std::string WriteSheet(std::string_view input)
{
    const auto end = input.find('\n');
    const bool toc = input.substr(0, end) == "toc";
    const std::string_view sheet = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    const std::string path = (Scratch().root() / (toc ? "disc.toc" : "disc.cue")).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(sheet.data(), static_cast<std::streamsize>(sheet.size()));
    return path;
}

class Session {
public:
    explicit Session(std::string sheet)
        : service_([sheet = std::move(sheet)](const vorlo::platform::MciOpenRequest&, MciError& error, std::string& why) {
              auto device = vorlo::platform::CdAudioDevice::Open({vorlo::platform::DiscLocation::Kind::Image, sheet},
                                                                 vorlo::platform::CdAudioParts{}, error, why);
              // A refused sheet says why, with an error number.
              if (!device && (error == 0 || why.empty()))
                  std::abort();
              return std::unique_ptr<vorlo::platform::MciDevice>(std::move(device));
          })
    {
    }

    MciError Send(const std::string& command)
    {
        char reply[128];
        const MciError error = service_.SendString(command.c_str(), reply, sizeof reply);
        reply_ = reply;
        return error;
    }
    const std::string& reply() const { return reply_; }

private:
    vorlo::platform::MciService service_;
    std::string reply_;
};

void Exercise(Session& session)
{
    if (session.Send("open cdaudio") != 0)
        return;
    session.Send("status cdaudio number of tracks");
    const int tracks = std::atoi(session.reply().c_str());
    for (const char* format : {"milliseconds", "tmsf"}) {
        session.Send(std::string("set cdaudio time format ") + format);
        session.Send("status cdaudio length");
        for (int n = 1; n <= tracks && n <= kMaxTracksQueried; ++n) {
            const std::string track = std::to_string(n);
            session.Send("status cdaudio position track " + track);
            session.Send("status cdaudio length track " + track);
            session.Send("status cdaudio type track " + track);
        }
    }
    session.Send("play cdaudio");
    session.Send("status cdaudio position");
    session.Send("play cdaudio from " + std::to_string(tracks) + " to 1");
    session.Send("seek cdaudio to end");
    session.Send("play cdaudio from 1");
    session.Send("status cdaudio mode");
    session.Send("stop cdaudio");
    session.Send("close cdaudio");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Session session(WriteSheet(std::string_view(reinterpret_cast<const char*>(data), size)));
    Exercise(session);
    return 0;
}
