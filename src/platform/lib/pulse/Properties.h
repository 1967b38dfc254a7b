#pragma once

#include <pulse/proplist.h>

#include <memory>

namespace vorlo::platform::pulse {

struct ProplistFree {
    void operator()(pa_proplist* list) const { pa_proplist_free(list); }
};
using Proplist = std::unique_ptr<pa_proplist, ProplistFree>;

// Who we are to the server and to desktop mixers: our name, icon and desktop id.
Proplist ClientProperties();

// A stream's own properties: its role for the server's policy (routing, ducking), empty
// for none.
Proplist StreamProperties(const char* role);

} // namespace vorlo::platform::pulse
