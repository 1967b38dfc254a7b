#pragma once

#include <pulse/context.h>

#include <stdexcept>
#include <string>

namespace vorlo::platform::pulse {

// A failed libpulse call, carrying the library's error code (PA_ERR_*).
class Error : public std::runtime_error {
public:
    Error(int code, const std::string& what);

    int Code() const { return code_; }

private:
    int code_;
};

// The error of the last failed call on `context`, prefixed with what was being done.
// Call with the mainloop locked.
Error MakeError(pa_context* context, const std::string& doing);

} // namespace vorlo::platform::pulse
