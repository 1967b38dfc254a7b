#include "app/Mpris.h"

#include "app/MprisAdaptors.h"
#include "app/MprisProperties.h"
#include "resources/Identity.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>

#include <cstdio>

namespace vorlo::app {
namespace {

// How long a second start waits for the running player to answer.
constexpr int kHandOverTimeoutMs = 10000;
constexpr int kHandOverFailedStatus = 1;

QString Latin1(const char* text) { return QString::fromLatin1(text); }

} // namespace

MprisService::MprisService(Form1& window)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    control_.emplace(window);
    new MprisRootAdaptor(this, *control_);
    player_ = new MprisPlayerAdaptor(this, *control_);
    connect(&*control_, &DesktopControl::Changed, this, &MprisService::AnnounceChanges);
    // The object is in place before the name is taken, so that a call that follows the
    // name finds it.
    offered_ = bus.registerObject(Latin1(mpris::kObjectPath), this, QDBusConnection::ExportAdaptors) &&
               bus.registerService(Latin1(mpris::kServiceName));
    if (!offered_) {
        bus.unregisterObject(Latin1(mpris::kObjectPath));
        control_.reset();
    }
}

MprisService::~MprisService()
{
    if (!offered_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(Latin1(mpris::kServiceName));
    bus.unregisterObject(Latin1(mpris::kObjectPath));
}

// QtDBus does not announce property changes itself.
void MprisService::AnnounceChanges(const QStringList& playerProperties)
{
    if (!offered_)
        return;
    QVariantMap changed;
    for (const QString& name : playerProperties)
        changed.insert(name, player_->property(name.toLatin1().constData()));
    QDBusMessage signal = QDBusMessage::createSignal(Latin1(mpris::kObjectPath), Latin1(mpris::kPropertiesInterface),
                                                     QStringLiteral("PropertiesChanged"));
    signal << Latin1(mpris::kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

std::optional<int> HandOverToRunningPlayer(const std::optional<QString>& disc)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(Latin1(mpris::kServiceName)))
        return std::nullopt;
    const auto call = [&](const char* interface, const char* method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(Latin1(mpris::kServiceName), Latin1(mpris::kObjectPath),
                                                              Latin1(interface), Latin1(method));
        message.setArguments(arguments);
        return bus.call(message, QDBus::Block, kHandOverTimeoutMs);
    };
    QDBusMessage reply = call(mpris::kRootInterface, "Raise", {});
    if (reply.type() != QDBusMessage::ErrorMessage && disc)
        reply = call(mpris::kPlayerInterface, "OpenUri", {QUrl::fromLocalFile(*disc).toString()});
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "%s: the running player did not take over: %s\n", identity::kExecutableName,
                     qPrintable(reply.errorMessage()));
        return kHandOverFailedStatus;
    }
    return 0;
}

} // namespace vorlo::app
