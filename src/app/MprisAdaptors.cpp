#include "app/MprisAdaptors.h"

#include "app/DesktopControl.h"
#include "app/MprisProperties.h"
#include "resources/Identity.h"

#include <QDBusConnection>
#include <QDBusError>

#include <cstring>

namespace vorlo::app {

MprisRootAdaptor::MprisRootAdaptor(QObject* object, DesktopControl& control)
    : QDBusAbstractAdaptor(object), control_(control)
{
}

QString MprisRootAdaptor::Identity() const { return QString::fromUtf8(identity::kProductName); }
QString MprisRootAdaptor::DesktopEntry() const { return QString::fromUtf8(identity::kDesktopId); }
QStringList MprisRootAdaptor::SupportedUriSchemes() const { return {QStringLiteral("file"), QStringLiteral("cdda")}; }

// The types the desktop entry lists: cue sheets, cdrdao tables of contents, and an
// inserted audio CD.
QStringList MprisRootAdaptor::SupportedMimeTypes() const
{
    return {QStringLiteral("application/x-cue"), QStringLiteral("application/x-cdrdao-toc"),
            QStringLiteral("x-content/audio-cdda")};
}

void MprisRootAdaptor::Raise() { control_.Raise(); }
void MprisRootAdaptor::Quit() { control_.Quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, DesktopControl& control)
    : QDBusAbstractAdaptor(object), control_(control)
{
    connect(&control, &DesktopControl::Jumped, this, [this] { emit Seeked(control_.PositionUs()); });
}

QString MprisPlayerAdaptor::PlaybackStatus() const { return mpris::PlaybackStatusName(control_.State().status); }
QVariantMap MprisPlayerAdaptor::Metadata() const { return mpris::Metadata(control_.State().track); }
double MprisPlayerAdaptor::Volume() const { return control_.State().volume; }
void MprisPlayerAdaptor::SetVolume(double volume) { control_.SetVolume(volume); }
qlonglong MprisPlayerAdaptor::Position() const { return control_.PositionUs(); }

bool MprisPlayerAdaptor::Can(const char* name) const
{
    for (const mpris::Capability& capability : mpris::Capabilities())
        if (std::strcmp(capability.name, name) == 0)
            return capability.of(control_.State());
    return false;
}

void MprisPlayerAdaptor::Next() { control_.Next(); }
void MprisPlayerAdaptor::Previous() { control_.Previous(); }
void MprisPlayerAdaptor::Pause() { control_.Pause(); }
void MprisPlayerAdaptor::PlayPause() { control_.PlayPause(); }
void MprisPlayerAdaptor::Stop() { control_.Stop(); }
void MprisPlayerAdaptor::Play() { control_.Play(); }
void MprisPlayerAdaptor::Seek(qlonglong Offset) { control_.Seek(Offset); }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    control_.SetPosition(mpris::TrackNumberOf(TrackId.path()), Position);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri, const QDBusMessage& call)
{
    const QString why = control_.OpenUri(Uri);
    if (why.isEmpty())
        return;
    call.setDelayedReply(true);
    QDBusConnection::sessionBus().send(call.createErrorReply(QDBusError::InvalidArgs, why));
}

} // namespace vorlo::app
