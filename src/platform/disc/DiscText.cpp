#include "platform/disc/DiscText.h"

#include "platform/lib/cdio/LibraryLock.h"
#include "platform/mci/MciDevice.h"
#include "platform/mci/MciErrors.h"

#include <cdio/cdtext.h>

namespace vorlo::platform {
namespace {

std::string Field(const cdtext_t* text, cdtext_field_t field, int track)
{
    const char* value = cdtext_get_const(text, field, static_cast<track_t>(track));
    return value ? value : "";
}

} // namespace

DiscText ReadDiscText(CdIo_t* handle)
{
    DiscText read;
    const cdio::LibraryLock lock(cdio::LibraryMutex());
    const cdtext_t* text = handle ? cdio_get_cdtext(handle) : nullptr;
    if (!text)
        return read;
    const int first = cdio_get_first_track_num(handle);
    const int last = cdio_get_last_track_num(handle);
    if (first == CDIO_INVALID_TRACK || last == CDIO_INVALID_TRACK)
        return read;
    const auto keep = [&](int number) {
        DiscText::Entry entry{Field(text, CDTEXT_FIELD_TITLE, number), Field(text, CDTEXT_FIELD_PERFORMER, number)};
        if (!entry.title.empty() || !entry.performer.empty())
            read.entries[number] = std::move(entry);
    };
    keep(DiscText::kDisc);
    for (int number = first; number <= last; ++number)
        keep(number);
    return read;
}

MciError AnswerDiscText(const MciRequest& request, const DiscToc* toc, const DiscText& text, std::string& reply)
{
    if (!toc)
        return mcierr::kDeviceNotReady;
    if (request.track && !toc->HasTrack(*request.track))
        return mcierr::kOutOfRange;
    const int number = request.track ? static_cast<int>(*request.track) : DiscText::kDisc;
    const auto entry = text.entries.find(number);
    if (entry == text.entries.end())
        return mcierr::kNone;
    reply = request.info == InfoItem::Title ? entry->second.title : entry->second.performer;
    return mcierr::kNone;
}

} // namespace vorlo::platform
