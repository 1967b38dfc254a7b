#pragma once

// The other end of the player's session bus: a connection of its own, as a desktop panel
// has, that calls the player and records what it announces. The player answers on the UI
// thread, so every call waits for its reply while letting events run.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QObject>
#include <QTest>

namespace vorlo::test {

inline constexpr const char* kService = "org.mpris.MediaPlayer2.vorloplayer";
inline constexpr const char* kPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kRoot = "org.mpris.MediaPlayer2";
inline constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";
inline constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
// Far beyond any answer's time; it only stops a test that would otherwise hang.
inline constexpr int kReplyTimeoutMs = 10000;

class BusClient : public QObject {
    Q_OBJECT
public:
    BusClient() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kName))
    {
        bus_.connect(kService, kPath, kProperties, "PropertiesChanged", this, SLOT(OnPropertiesChanged(QDBusMessage)));
        bus_.connect(kService, kPath, kPlayer, "Seeked", this, SLOT(OnSeeked(QDBusMessage)));
    }
    ~BusClient() override { QDBusConnection::disconnectFromBus(kName); }

    QDBusMessage Call(const char* interface, const char* method, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
        message.setArguments(arguments);
        const QDBusPendingCall pending = bus_.asyncCall(message, kReplyTimeoutMs);
        (void)QTest::qWaitFor([&] { return pending.isFinished(); }, kReplyTimeoutMs);
        return pending.reply();
    }

    // A property's value as it came over the bus (containers stay QDBusArgument).
    QVariant Get(const char* interface, const char* name)
    {
        const QDBusMessage reply = Call(kProperties, "Get", {QString::fromLatin1(interface), QString::fromLatin1(name)});
        return reply.arguments().isEmpty() ? QVariant() : reply.arguments().front().value<QDBusVariant>().variant();
    }

    // PropertiesChanged: the player interface's changed values, one map per signal.
    QList<QVariantMap> changes;
    // Seeked: the position each one gave, in µs.
    QList<qlonglong> seeks;

private slots:
    void OnPropertiesChanged(const QDBusMessage& signal)
    {
        if (signal.arguments().value(0).toString() == QLatin1String(kPlayer))
            changes << qdbus_cast<QVariantMap>(signal.arguments().value(1));
    }
    void OnSeeked(const QDBusMessage& signal) { seeks << signal.arguments().value(0).toLongLong(); }

private:
    static constexpr const char* kName = "desktop-panel";
    QDBusConnection bus_;
};

} // namespace vorlo::test
