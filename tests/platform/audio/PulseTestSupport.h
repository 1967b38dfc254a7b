#pragma once

#include "platform/Mci.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vorlo::test {

// Sets (or, given nothing, unsets) an environment variable for a scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

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
