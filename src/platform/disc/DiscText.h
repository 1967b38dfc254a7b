#pragma once

#include "platform/Mci.h"
#include "platform/disc/DiscToc.h"

#include <cdio/cdio.h>

#include <map>
#include <string>

namespace vorlo::platform {

struct MciRequest;

// What a disc's CD-Text says of the disc (entry 0) and of its tracks (entries by track
// number): titles and performers, in UTF-8. A missing entry or an empty field means the
// disc says nothing there. Pure data; any thread may read a published copy.
struct DiscText {
    struct Entry {
        std::string title;
        std::string performer;
    };
    static constexpr int kDisc = 0;

    std::map<int, Entry> entries;

    bool Empty() const { return entries.empty(); }
};

// The CD-Text libcdio finds on an open handle: the TITLE and PERFORMER lines of a cue
// sheet, the text packs of a drive's disc. The first language block is read. Takes the
// library lock; on a drive it reads the disc, so it belongs on a worker thread. A disc
// without CD-Text, or one whose text libcdio cannot read, gives an empty DiscText.
// Never throws.
DiscText ReadDiscText(CdIo_t* handle);

// Answers "info cdaudio title|performer [track N]" from a ready disc's TOC and text: the
// field as the disc gives it, an empty reply when the disc says nothing. `toc` is null
// while the device has no disc ready (kDeviceNotReady); a track the TOC does not hold is
// kOutOfRange. Called with the device's lock held; quick.
MciError AnswerDiscText(const MciRequest& request, const DiscToc* toc, const DiscText& text, std::string& reply);

} // namespace vorlo::platform
