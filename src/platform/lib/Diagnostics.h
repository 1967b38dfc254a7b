#pragma once

#include <cerrno>
#include <cstdio>
#include <string>

namespace vorlo::platform {

// Tells the person running the program why something they asked for did not happen, on
// standard error, one line, under the program's name. For failures a command cannot
// report in its answer (a play that ends on a bad disc, a Play refused for want of a
// disc). Any thread.
inline void TellUser(const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, why.c_str());
}

} // namespace vorlo::platform
