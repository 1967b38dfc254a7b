#include "auxiliary/AliasClosing.h"

#include "media/MediaChannel.h"
#include "media/MediaCommands.h"

namespace vorlo::auxiliary {
namespace {

void StopAndClose(std::string_view stop, std::string_view close)
{
    media::ReplyBuffer buffer;
    media::SendMediaCommand(stop, buffer);
    media::SendMediaCommand(close, buffer);
}

} // namespace

void CloseSoundAlias() { StopAndClose(media::commands::kStopSound, media::commands::kCloseSound); }
void CloseMovieAlias() { StopAndClose(media::commands::kStopMovie, media::commands::kCloseMovie); }
void CloseMidiAlias() { StopAndClose(media::commands::kStopMidi, media::commands::kCloseMidi); }

} // namespace vorlo::auxiliary
