#include "app/DiscArgument.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace vorlo::app {
namespace {

// The variable the media service reads at every "open cdaudio". Setting it here is how a
// script chooses the disc too; the argument simply takes its place.
constexpr const char* kDiscVariable = "VORLO_CDROM";
constexpr const char* kFileScheme = "file";
constexpr const char* kCddaScheme = "cdda";
constexpr const char* kDeviceFolder = "/dev/";

bool IsImageName(const QString& path)
{
    static const QRegularExpression kImage(QStringLiteral("\\.(cue|toc|nrg)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return kImage.match(path).hasMatch();
}

// The local path a URI names, or nothing with the reason.
std::optional<QString> PathOfUri(const QUrl& uri, QString& why)
{
    if (uri.scheme() == QLatin1String(kFileScheme) && uri.isLocalFile() && !uri.path().isEmpty())
        return uri.toLocalFile();
    if (uri.scheme() == QLatin1String(kCddaScheme)) {
        // cdda://sr0 as the desktop names a drive; cdda:///dev/sr0 names its node outright.
        static const QRegularExpression kDeviceName(QStringLiteral("^[A-Za-z0-9_-]+$"));
        if (kDeviceName.match(uri.host()).hasMatch())
            return QLatin1String(kDeviceFolder) + uri.host();
        if (uri.host().isEmpty() && uri.path().startsWith(QLatin1String(kDeviceFolder)))
            return uri.path();
        why = QStringLiteral("%1 names no CD drive").arg(uri.toString());
        return std::nullopt;
    }
    why = QStringLiteral("%1 is not a disc: only file:// and cdda:// addresses are opened").arg(uri.toString());
    return std::nullopt;
}

} // namespace

std::optional<QString> ResolveDisc(const QString& argument, QString& why)
{
    if (argument.isEmpty()) {
        why = QStringLiteral("the disc argument is empty");
        return std::nullopt;
    }
    // An address is "scheme://...", or file: and cdda: in any form; anything else is a
    // file name, colons and all ("live:1999.cue").
    static const QRegularExpression kAddress(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://|(file|cdda):)"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString named = argument;
    if (kAddress.match(argument).hasMatch()) {
        const std::optional<QString> local = PathOfUri(QUrl(argument), why);
        if (!local)
            return std::nullopt;
        named = *local;
    }
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(named));
    const std::filesystem::path file(QFile::encodeName(path).toStdString());
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) {
        why = QStringLiteral("%1: no such disc image or CD drive").arg(path);
        return std::nullopt;
    }
    if (std::filesystem::is_block_file(status) || std::filesystem::is_character_file(status))
        return path;
    if (std::filesystem::is_directory(status)) {
        why = QStringLiteral("%1 is a folder, not a disc image or a CD drive").arg(path);
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(status) || !IsImageName(path)) {
        why = QStringLiteral("%1 is not a disc image (.cue, .toc, .nrg) or a CD drive").arg(path);
        return std::nullopt;
    }
    if (std::filesystem::file_size(file, error) == 0 || error) {
        why = QStringLiteral("%1 is empty").arg(path);
        return std::nullopt;
    }
    return path;
}

void ChooseDisc(const QString& path) { qputenv(kDiscVariable, QFile::encodeName(path)); }

} // namespace vorlo::app
