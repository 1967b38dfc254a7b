#pragma once

#include "platform/Mci.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vorlo::test {

struct Reply {
    platform::MciError error;
    std::string text;
};

// Runs a command string through the service's entry point.
inline Reply Mci(const std::string& command)
{
    char reply[128] = {};
    const platform::MciError error = platform::mciSendString(command.c_str(), reply, sizeof reply, 0);
    return {error, reply};
}

// A PulseAudio server of the test's own with one null sink, which the test may kill as a
// crash would and start again at the same address.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    // Starts the server and waits until it accepts connections; false if it does not.
    bool Start();
    void Kill();
    std::string Address() const { return "unix:" + (dir_ / "native").string(); }

private:
    std::filesystem::path dir_;
    int pid_ = -1;
};

} // namespace vorlo::test
