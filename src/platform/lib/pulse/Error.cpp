#include "platform/lib/pulse/Error.h"

#include <pulse/error.h>

namespace vorlo::platform::pulse {

Error::Error(int code, const std::string& what) : std::runtime_error(what), code_(code) {}

Error MakeError(pa_context* context, const std::string& doing)
{
    const int code = context ? pa_context_errno(context) : PA_ERR_UNKNOWN;
    return Error(code, doing + ": " + pa_strerror(code));
}

} // namespace vorlo::platform::pulse
