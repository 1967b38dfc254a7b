#pragma once

#include "platform/Mci.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vorlo::test {

// Sets an environment variable for a scope (or unsets it), restoring it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

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

// The sound server tests need the private server that scripts/test starts.
#define VORLO_REQUIRE_SOUND_SERVER()                                                         \
    do {                                                                                     \
        if (!std::getenv("PULSE_SERVER"))                                                    \
            GTEST_SKIP() << "PULSE_SERVER is not set: run through scripts/test";             \
    } while (false)

// A PulseAudio server of the test's own, with one null sink, which the test may kill
// and start again at the same address.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();

    // Starts the server and waits until it accepts connections. False when it did not.
    bool Start();
    // Kills the server at once, as a crash would.
    void Kill();

    // The address for PULSE_SERVER.
    std::string Address() const { return "unix:" + (dir_ / "native").string(); }

private:
    std::filesystem::path dir_;
    int pid_ = -1;
};

} // namespace vorlo::test
