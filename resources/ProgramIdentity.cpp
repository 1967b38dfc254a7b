#include "resources/ProgramIdentity.h"

#include "resources/Identity.h"

#include <QApplication>
#include <QIcon>
#include <QString>

namespace vorlo::identity {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const char* image : {":/vorlo/icon/32x32/vorlo-player.png", ":/vorlo/icon/48x48/vorlo-player.png",
                              ":/vorlo/icon/64x64/vorlo-player.png"})
        icon.addFile(QString::fromLatin1(image));
    return icon;
}

void ApplyToApplication()
{
    QApplication::setApplicationName(QString::fromUtf8(kProductName));
    QApplication::setOrganizationName(QString::fromUtf8(kCompanyName));
    QApplication::setApplicationVersion(QString::fromUtf8(kDisplayVersion));
    QApplication::setDesktopFileName(QString::fromUtf8(kDesktopId));
    QApplication::setWindowIcon(ProgramIcon());
}

} // namespace vorlo::identity
