#pragma once

#include <QString>

#include <optional>

// The disc a desktop names to the player: on the command line, or through the desktop's
// media controls. UI thread only.
namespace vorlo::app {

// The local path of the disc that `argument` names, or nothing with a one-line reason in
// `why`. The argument is a disc image (.cue, .toc or .nrg, any case), a device node such
// as /dev/sr0, a file:// URI of either, or a cdda:// URI as desktops pass an inserted
// disc (cdda://sr0 is /dev/sr0). Relative paths are taken from the working folder; the
// result is absolute, so that another process can open it. Looks at the file system
// only, never at media. Refused: an empty argument, other URI schemes, names of nothing
// that exists, folders, empty files, and files of other kinds.
std::optional<QString> ResolveDisc(const QString& argument, QString& why);

// Makes `path` the disc that the next "open cdaudio" opens, in place of what VORLO_CDROM
// named before. A disc already open stays open until it is closed.
void ChooseDisc(const QString& path);

} // namespace vorlo::app
