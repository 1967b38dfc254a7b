#include "platform/devices/wave/DrivePath.h"

#include "common/AsciiText.h"

#include <cctype>
#include <cstdlib>
#include <system_error>

namespace vorlo::platform {
namespace {

constexpr const char* kDriveCVariable = "VORLO_DRIVE_C";
constexpr const char* kDriveCUnderDataHome = "vorlo-player/c";

const char* NonEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// Removes a leading "c:" (any case). Throws for any other drive letter.
std::string_view WithoutDrive(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        if (ascii::Lower(path[0]) != 'c')
            throw DrivePathError("only drive C: exists: " + std::string(path));
        return path.substr(2);
    }
    return path;
}

// The file's path relative to the drive's root, built part by part.
std::filesystem::path RelativePart(std::string_view path)
{
    std::filesystem::path relative;
    while (!path.empty()) {
        const std::size_t end = path.find_first_of("\\/");
        const std::string_view part = path.substr(0, end);
        if (part == "..")
            throw DrivePathError("a path may not climb with \"..\"");
        if (!part.empty() && part != ".")
            relative /= std::string(part);
        path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
    }
    if (relative.empty())
        throw DrivePathError("the path names no file");
    return relative;
}

void EnsureFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error))
        throw DrivePathError("cannot create the folder of drive C: " + folder.string());
}

} // namespace

std::filesystem::path DriveCFolder()
{
    if (const char* drive = NonEmptyEnv(kDriveCVariable))
        return drive;
    const char* dataHome = NonEmptyEnv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/')
        return std::filesystem::path(dataHome) / kDriveCUnderDataHome;
    const char* home = NonEmptyEnv("HOME");
    if (!home)
        throw DrivePathError("no home folder is known for drive C:");
    return std::filesystem::path(home) / ".local/share" / kDriveCUnderDataHome;
}

std::filesystem::path MapDrivePath(std::string_view drivePath)
{
    const std::filesystem::path relative = RelativePart(WithoutDrive(drivePath));
    const std::filesystem::path folder = DriveCFolder();
    EnsureFolder(folder);
    return folder / relative;
}

} // namespace vorlo::platform
