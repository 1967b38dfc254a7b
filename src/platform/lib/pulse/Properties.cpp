#include "platform/lib/pulse/Properties.h"

#include "resources/Identity.h"

namespace vorlo::platform::pulse {

Proplist ClientProperties()
{
    Proplist list(pa_proplist_new());
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_NAME, identity::kProductName);
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_ID, identity::kDesktopId);
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_ICON_NAME, identity::kExecutableName);
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_VERSION, identity::kFullVersion);
    return list;
}

Proplist StreamProperties(const char* role)
{
    Proplist list(pa_proplist_new());
    if (role && *role)
        pa_proplist_sets(list.get(), PA_PROP_MEDIA_ROLE, role);
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_ID, identity::kDesktopId);
    pa_proplist_sets(list.get(), PA_PROP_APPLICATION_ICON_NAME, identity::kExecutableName);
    return list;
}

} // namespace vorlo::platform::pulse
