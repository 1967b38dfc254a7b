#include "platform/devices/cdaudio/DiscTextReply.h"

#include "platform/mci/MciErrors.h"

namespace vorlo::platform {

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
