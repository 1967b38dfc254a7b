#pragma once

// Helpers for the fault tests: a media service of the test's own over the real cdaudio
// device, and commands timed as the caller waits for them.
#include "platform/cdaudio/CdAudioDevice.h"
#include "platform/service/MciService.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace vorlo::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How long the caller of any command may wait, as a bound for a test: the service's
// promise is 20 ms, and a loaded machine gets no more than that.
inline constexpr auto kCommandBound = 20ms;

struct TimedReply {
    platform::MciError error = 0;
    std::string text;
    Clock::duration took{};
};

// A media service as the player's own, over the libcdio cdaudio device (VORLO_CDROM,
// read at each open) and the playback engine the environment chooses, unless `parts`
// replaces some of it. Closed when it goes.
class FaultService {
public:
    explicit FaultService(platform::CdAudioParts parts = {})
        : service_([parts](const platform::MciOpenRequest&, platform::MciError& error, std::string& why) {
              platform::DiscLocation location;
              error = platform::LocateDisc(location, why);
              if (error)
                  return std::unique_ptr<platform::MciDevice>();
              return std::unique_ptr<platform::MciDevice>(platform::CdAudioDevice::Open(location, parts, error, why));
          })
    {
    }

    TimedReply Send(const std::string& command)
    {
        char reply[128] = {};
        TimedReply timed;
        const auto before = Clock::now();
        timed.error = service_.SendString(command.c_str(), reply, sizeof reply);
        timed.took = Clock::now() - before;
        timed.text = reply;
        return timed;
    }

    std::string Text(const std::string& command) { return Send(command).text; }

    // Asks `command` until it answers `expected`, for at most `limit`.
    bool Eventually(const std::string& command, const std::string& expected, Clock::duration limit)
    {
        for (const auto deadline = Clock::now() + limit; Clock::now() < deadline; std::this_thread::sleep_for(10ms))
            if (Text(command) == expected)
                return true;
        return false;
    }

    platform::MciService& service() { return service_; }

private:
    platform::MciService service_;
};

} // namespace vorlo::test
