#pragma once

#include "platform/disc/DiscText.h"
#include "platform/disc/DiscToc.h"
#include "platform/mci/MciDevice.h"

#include <string>

namespace vorlo::platform {

// Answers "info cdaudio title|performer [track N]" from a ready disc's TOC and text: the
// field as the disc gives it, an empty reply when the disc says nothing. `toc` is null
// while the device has no disc ready (kDeviceNotReady); a track the TOC does not hold is
// kOutOfRange. Called with the device's lock held; quick.
MciError AnswerDiscText(const MciRequest& request, const DiscToc* toc, const DiscText& text, std::string& reply);

} // namespace vorlo::platform
