#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

// Drive C: of the platform's file names, on this machine. The media service and the window
// (through DeleteDriveFile in platform/Sound.h) share these, so that "c:\cdtest.wav" names
// one file for both. Any thread may call them.
namespace vorlo::platform {

class DrivePathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folder that stands for drive C:: $VORLO_DRIVE_C when set, otherwise vorlo-player/c
// under $XDG_DATA_HOME (when absolute) or ~/.local/share. It may not exist yet.
// Throws DrivePathError when no home folder is known.
std::filesystem::path DriveCFolder();

// Maps a file name on drive C: to a path inside DriveCFolder(), creating that folder when
// it is missing. Accepts "c:\dir\x.wav", "C:/dir/x.wav", "c:x.wav", "\x.wav" and "x.wav";
// every form names a file relative to the drive's root, and backslashes count as slashes.
// Throws DrivePathError for another drive letter, a name without a file part, any ".."
// part (which could lead out of the folder), or a drive folder that cannot be created.
std::filesystem::path MapDrivePath(std::string_view drivePath);

} // namespace vorlo::platform
