// Drives the media service with command scripts: one command per line, run in order on a
// fresh service whose "open cdaudio" opens a small disc image and plays through the null
// sound device. Each reply area is followed by guard bytes that must stay untouched, so
// that a write past it is caught in every build, with or without AddressSanitizer; the
// reply contract is checked after every call.
//
// A line is a command string, optionally followed by "|N" (a reply capacity of N bytes,
// 0..kMaxCapacity) or "|-" (no reply area); the default is the player's 128 bytes. A line
// that starts with '@' looks up the id of the alias after it and sends it the door-open
// message, as the Eject button does.
#include "FuzzScratch.h"
#include "platform/service/ServiceFixture.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

using vorlo::platform::MciError;

constexpr std::uint32_t kDefaultCapacity = 128;
constexpr std::uint32_t kMaxCapacity = 1024;
constexpr std::size_t kMaxLines = 64;
constexpr char kUntouched = '\xA5';
constexpr std::uint32_t kGuardBytes = 16;

struct Line {
    std::string command;
    bool hasArea = true;
    std::uint32_t capacity = kDefaultCapacity;
};

Line ParseLine(std::string_view text)
{
    const auto bar = text.rfind('|');
    if (bar == std::string_view::npos)
        return {std::string(text)};
    const std::string_view tail = text.substr(bar + 1);
    Line line{std::string(text.substr(0, bar)), tail != "-", tail == "-" ? kDefaultCapacity : 0};
    std::from_chars(tail.data(), tail.data() + std::min<std::size_t>(tail.size(), 4), line.capacity);
    line.capacity = std::min(line.capacity, kMaxCapacity);
    return line;
}

void SendString(vorlo::platform::MciService& service, const Line& line)
{
    if (!line.hasArea) {
        service.SendString(line.command.c_str(), nullptr, line.capacity);
        return;
    }
    const std::unique_ptr<char[]> area(new char[line.capacity + kGuardBytes]);
    std::memset(area.get(), kUntouched, line.capacity + kGuardBytes);
    const MciError error = service.SendString(line.command.c_str(), area.get(), line.capacity);
    if (std::any_of(&area[line.capacity], &area[line.capacity + kGuardBytes], [](char c) { return c != kUntouched; }))
        std::abort();
    // The reply is NUL-terminated inside the area, and empty after any error.
    if (line.capacity > 0 && (!std::memchr(area.get(), '\0', line.capacity) || (error != 0 && area[0] != '\0')))
        std::abort();
}

void SendDoorOpen(vorlo::platform::MciService& service, const std::string& alias)
{
    const auto id = service.DeviceId(alias.c_str());
    if (service.SendCommand(id, vorlo::platform::kMciSet, vorlo::platform::kMciSetDoorOpen, 0) == 0 && id == 0)
        std::abort(); // nothing open under that name cannot succeed
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const vorlo::fuzz::FuzzScratch scratch;
    vorlo::test::ServiceOnDisc disc{vorlo::test::ServiceOnDisc::Located{}};
    std::string_view script(reinterpret_cast<const char*>(data), size);
    for (std::size_t n = 0; n < kMaxLines && !script.empty(); ++n) {
        const auto end = script.find('\n');
        const std::string_view text = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
        if (!text.empty() && text.front() == '@')
            SendDoorOpen(disc.service, std::string(text.substr(1)));
        else
            SendString(disc.service, ParseLine(text));
    }
    return 0;
}
