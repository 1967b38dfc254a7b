// The player on a private session bus, against the real media service playing a generated
// disc image with CD-Text through the null sound device, as a desktop panel sees it: over
// a connection of its own. The service traces every command to a file, so that what the
// desktop's controls send can be held against what the window's buttons send.
#include "BusClient.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include "app/DiscArgument.h"
#include "app/Form1.h"
#include "app/Mpris.h"
#include "media/MediaChannel.h"
#include "media/MediaPlatform.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>

namespace vorlo::app {
namespace {

using test::BusClient;
using test::kPlayer;
using test::kRoot;

constexpr int kSectorsPerTrack = 300; // four seconds
constexpr qlonglong kTrackUs = 4'000'000;
constexpr qlonglong kSecondUs = 1'000'000;
// A query no routine sends: it marks the trace before and after what a test looks at.
constexpr std::string_view kTraceMark = "info cdaudio product";
constexpr int kTraceWaitMs = 3000; // the trace reaches its file within 100 ms
constexpr int kTicksMs = 500;      // five ticks of the window's timer

test::TestDisc TextDisc()
{
    test::TestDisc disc = test::TestDisc::AudioOnly(3, kSectorsPerTrack);
    disc.title = "Test Album";
    disc.performer = "The Testers";
    disc.tracks[0].title = "Opening";
    disc.tracks[0].performer = "Ann Lead";
    disc.tracks[1].title = "Middle";
    return disc;
}

QVariantMap AsMap(const QVariant& value) { return qdbus_cast<QVariantMap>(value.value<QDBusArgument>()); }

class Mpris : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.Offered()) << "no session bus: run under dbus-run-session"; }

    // The commands sent while `action` ran, as the trace recorded them.
    QStringList CommandsOf(const std::function<void()>& action)
    {
        Mark();
        action();
        Mark();
        QStringList commands;
        (void)QTest::qWaitFor([&] { return (commands = Traced()).count(QLatin1String(kTraceMark.data())) >= marks_; },
                              kTraceWaitMs);
        const qsizetype end = commands.lastIndexOf(QLatin1String(kTraceMark.data()));
        const qsizetype begin = commands.lastIndexOf(QLatin1String(kTraceMark.data()), end - 1);
        return commands.mid(begin + 1, end - begin - 1);
    }

    QVariantMap Metadata() { return AsMap(client.Get(kPlayer, "Metadata")); }
    QString Status() { return client.Get(kPlayer, "PlaybackStatus").toString(); }
    void Click(QPushButton* FormControls::*button) { (c.*button)->click(); }

    test::TempFolder dir;
    const std::string tracePath = (dir.Path() / "trace.log").string();
    test::ScopedEnv disc{"VORLO_CDROM", TextDisc().Write(dir.Path(), "text")};
    test::ScopedEnv trace{"VORLO_MCI_TRACE", tracePath};
    Form1 form;
    const FormControls& c = form.Controls();
    MprisService service{form};
    BusClient client;

private:
    void Mark()
    {
        media::ReplyBuffer buffer;
        media::SendMediaCommand(kTraceMark, buffer);
        ++marks_;
    }
    QStringList Traced() const
    {
        QFile file(QString::fromStdString(tracePath));
        QStringList commands;
        if (file.open(QIODevice::ReadOnly))
            for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
                commands << line.section('\t', 1, 1);
        return commands;
    }
    int marks_ = 0;
};

// What the bus tells of the player's interfaces: their members, with the wire types that
// desktops depend on.
TEST_F(Mpris, IntrospectionShowsBothInterfacesWithTheirTypes)
{
    const QDBusMessage reply = client.Call("org.freedesktop.DBus.Introspectable", "Introspect");
    QXmlStreamReader xml(reply.arguments().value(0).toString());
    QString interface;
    QStringList members;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        const auto name = xml.attributes().value("name").toString();
        if (xml.name() == QLatin1String("interface"))
            interface = name;
        else if (xml.name() == QLatin1String("property") && interface.startsWith(QLatin1String(kRoot)))
            members << interface + "." + name + ":" + xml.attributes().value("type").toString();
        else if ((xml.name() == QLatin1String("method") || xml.name() == QLatin1String("signal")) &&
                 interface.startsWith(QLatin1String(kRoot)))
            members << interface + "." + name;
    }
    const QString root = QLatin1String(kRoot), player = QLatin1String(kPlayer);
    for (const QString& expected :
         {root + ".Raise", root + ".Quit", root + ".CanQuit:b", root + ".CanRaise:b", root + ".HasTrackList:b",
          root + ".Identity:s", root + ".DesktopEntry:s", root + ".SupportedUriSchemes:as",
          root + ".SupportedMimeTypes:as", player + ".Next", player + ".Previous", player + ".Pause",
          player + ".PlayPause", player + ".Stop", player + ".Play", player + ".Seek", player + ".SetPosition",
          player + ".OpenUri", player + ".Seeked", player + ".PlaybackStatus:s", player + ".Rate:d",
          player + ".Metadata:a{sv}", player + ".Volume:d", player + ".Position:x", player + ".MinimumRate:d",
          player + ".MaximumRate:d", player + ".CanGoNext:b", player + ".CanGoPrevious:b", player + ".CanPlay:b",
          player + ".CanPause:b", player + ".CanSeek:b", player + ".CanControl:b"})
        EXPECT_TRUE(members.contains(expected)) << expected.toStdString();
}

TEST_F(Mpris, TheRootInterfaceNamesThePlayer)
{
    EXPECT_EQ(client.Get(kRoot, "Identity").toString(), "Vorlo Player");
    EXPECT_EQ(client.Get(kRoot, "DesktopEntry").toString(), "vorlo-player");
    EXPECT_EQ(client.Get(kRoot, "HasTrackList").toBool(), false);
    EXPECT_EQ(client.Get(kRoot, "SupportedUriSchemes").toStringList(), (QStringList{"file", "cdda"}));
    EXPECT_TRUE(client.Get(kRoot, "SupportedMimeTypes").toStringList().contains("application/x-cue"));
}

// Each track's metadata, with the type of every value as it crossed the bus. A track
// without a performer of its own shows the disc's; one without a title is "Track N".
TEST_F(Mpris, MetadataComesFromTheDiscsCdText)
{
    EXPECT_EQ(Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack")
        << "before the disc is open";
    client.Call(kPlayer, "Play");
    struct Row {
        const char* title;
        const char* artist;
    };
    const Row rows[] = {{"Opening", "Ann Lead"}, {"Middle", "The Testers"}, {"Track 3", "The Testers"}};
    for (int track = 1; track <= 3; ++track) {
        SCOPED_TRACE(track);
        const QVariantMap metadata = Metadata();
        const QVariant id = metadata.value("mpris:trackid"), length = metadata.value("mpris:length");
        ASSERT_EQ(id.metaType(), QMetaType::fromType<QDBusObjectPath>());
        EXPECT_EQ(id.value<QDBusObjectPath>().path(), QString("/com/vorloproductions/vorloplayer/track/%1").arg(track));
        ASSERT_EQ(length.metaType(), QMetaType::fromType<qlonglong>());
        EXPECT_NEAR(length.toLongLong(), kTrackUs, kSecondUs / 75 * 2);
        EXPECT_EQ(metadata.value("xesam:trackNumber").metaType(), QMetaType::fromType<int>());
        EXPECT_EQ(metadata.value("xesam:trackNumber").toInt(), track);
        EXPECT_EQ(metadata.value("xesam:title").toString(), rows[track - 1].title);
        ASSERT_EQ(metadata.value("xesam:artist").metaType(), QMetaType::fromType<QStringList>());
        EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{rows[track - 1].artist});
        EXPECT_EQ(metadata.value("xesam:album").toString(), "Test Album");
        client.Call(kPlayer, "Next");
    }
}

// The types of the player's other properties, read one by one and all at once.
TEST_F(Mpris, PropertiesCrossTheBusWithTheirOwnTypes)
{
    client.Call(kPlayer, "Play");
    const QDBusMessage all = client.Call(test::kProperties, "GetAll", {QString(kPlayer)});
    const QVariantMap properties = qdbus_cast<QVariantMap>(all.arguments().value(0));
    const std::pair<const char*, QMetaType> rows[] = {
        {"PlaybackStatus", QMetaType::fromType<QString>()}, {"Position", QMetaType::fromType<qlonglong>()},
        {"Volume", QMetaType::fromType<double>()},          {"Rate", QMetaType::fromType<double>()},
        {"CanGoNext", QMetaType::fromType<bool>()},         {"CanControl", QMetaType::fromType<bool>()},
        {"Metadata", QMetaType::fromType<QDBusArgument>()},
    };
    for (const auto& [name, type] : rows) {
        EXPECT_EQ(properties.value(name).metaType(), type) << name;
        EXPECT_EQ(client.Get(kPlayer, name).metaType(), type) << name;
    }
    EXPECT_EQ(properties.value("PlaybackStatus").toString(), "Playing");
    EXPECT_TRUE(properties.value("CanGoNext").toBool());
    EXPECT_FALSE(properties.value("CanGoPrevious").toBool()) << "on the first track";
}

// The desktop's Play, Stop, Next and Previous send exactly what the window's buttons send.
TEST_F(Mpris, BusControlsSendWhatTheButtonsSend)
{
    c.Timer1->stop(); // no tick between the commands compared
    struct Row {
        const char* method;
        QPushButton* FormControls::*button;
        std::vector<QPushButton* FormControls::*> before; // after a Stop, to start alike
        const char* firstCommand;
    };
    const Row rows[] = {
        {"Play", &FormControls::Command4, {}, "stop cdaudio"},
        {"Stop", &FormControls::Command8, {&FormControls::Command4}, "stop cdaudio"},
        {"Next", &FormControls::Command17, {&FormControls::Command4}, "status cdaudio current track"},
        {"Previous", &FormControls::Command16, {&FormControls::Command4, &FormControls::Command17},
         "status cdaudio current track"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.method);
        const auto prepare = [&] {
            Click(&FormControls::Command8);
            for (auto button : row.before)
                Click(button);
        };
        prepare();
        const QStringList clicked = CommandsOf([&] { Click(row.button); });
        prepare();
        const QStringList called = CommandsOf([&] { client.Call(kPlayer, row.method); });
        ASSERT_FALSE(clicked.isEmpty());
        EXPECT_EQ(clicked.front(), row.firstCommand);
        EXPECT_EQ(called, clicked);
    }
}

// Pause and resume, which the window has no button for.
TEST_F(Mpris, PauseAndResumeFollowThePlaybackStatus)
{
    c.Timer1->stop();
    struct Row {
        const char* method;
        const char* statusBefore;
        const char* firstCommand; // nothing at all when null
        const char* statusAfter;
    };
    const Row rows[] = {
        {"Pause", "Stopped", nullptr, "Stopped"},
        {"PlayPause", "Stopped", "stop cdaudio", "Playing"}, // the Play button's routine
        {"PlayPause", "Playing", "pause cdaudio", "Paused"},
        {"PlayPause", "Paused", "resume cdaudio", "Playing"},
        {"Pause", "Playing", "pause cdaudio", "Paused"},
        {"Pause", "Paused", nullptr, "Paused"},
        {"Play", "Paused", "resume cdaudio", "Playing"},
        {"Play", "Playing", nullptr, "Playing"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " while " + row.statusBefore);
        ASSERT_EQ(Status(), row.statusBefore);
        const QStringList sent = CommandsOf([&] { client.Call(kPlayer, row.method); });
        EXPECT_EQ(sent.value(0), row.firstCommand ? row.firstCommand : "");
        EXPECT_EQ(Status(), row.statusAfter);
    }
}

// PropertiesChanged comes when what it names changes, and only then: five ticks of steady
// play announce nothing.
TEST_F(Mpris, PropertiesChangedOnPlayAndStopOnly)
{
    client.Call(kPlayer, "Play");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.changes.isEmpty(); }, test::kReplyTimeoutMs));
    const QVariantMap played = client.changes.front();
    EXPECT_EQ(played.value("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(AsMap(played.value("Metadata")).value("xesam:title").toString(), "Opening");
    EXPECT_EQ(played.value("CanPause").toBool(), true);
    EXPECT_EQ(played.value("CanSeek").toBool(), true);
    EXPECT_FALSE(played.contains("Volume")) << "the volume did not change";
    QTest::qWait(kTicksMs);
    EXPECT_EQ(client.changes.size(), 1);

    client.Call(kPlayer, "Stop");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.changes.size() == 2; }, test::kReplyTimeoutMs));
    const QVariantMap stopped = client.changes.back();
    EXPECT_EQ(stopped.value("PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(AsMap(stopped.value("Metadata")).value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_EQ(stopped.value("CanPause").toBool(), false);
    QTest::qWait(kTicksMs);
    EXPECT_EQ(client.changes.size(), 2);

    client.Call(test::kProperties, "Set", {QString(kPlayer), QString("Volume"), QVariant::fromValue(QDBusVariant(0.5))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.changes.size() == 3; }, test::kReplyTimeoutMs));
    EXPECT_NEAR(client.changes.back().value("Volume").toDouble(), 0.5, 0.001);
    std::uint32_t word = 0;
    media::CurrentMediaPlatform().GetWaveVolume(media::kWaveMapper, &word);
    EXPECT_EQ(word, 0x80008000u) << "both channels at half";
}

// Every jump of the position is announced with the new position in the track; a
// SetPosition for a track that is no longer current is ignored.
TEST_F(Mpris, SeekedOnEveryJump)
{
    client.Call(kPlayer, "Play");
    const auto jump = [&](const char* method, const QVariantList& arguments) {
        const qsizetype before = client.seeks.size();
        client.Call(kPlayer, method, arguments);
        return QTest::qWaitFor([&] { return client.seeks.size() > before; }, 1000) ? client.seeks.back() : -1;
    };
    const qlonglong next = jump("Next", {});
    EXPECT_GE(next, 0);
    EXPECT_LT(next, kSecondUs / 2) << "at the start of track 2";
    EXPECT_EQ(Metadata().value("xesam:trackNumber").toInt(), 2);

    EXPECT_NEAR(jump("Seek", {qlonglong{kSecondUs}}), kSecondUs, kSecondUs / 2);
    const QVariant track2 = QVariant::fromValue(QDBusObjectPath("/com/vorloproductions/vorloplayer/track/2"));
    EXPECT_NEAR(jump("SetPosition", {track2, qlonglong{3 * kSecondUs}}), 3 * kSecondUs, kSecondUs / 2);

    const QVariant track1 = QVariant::fromValue(QDBusObjectPath("/com/vorloproductions/vorloplayer/track/1"));
    c.Timer1->stop();
    const QStringList stale = CommandsOf([&] { client.Call(kPlayer, "SetPosition", {track1, qlonglong{0}}); });
    EXPECT_TRUE(stale.filter("play cdaudio").isEmpty()) << stale.join(", ").toStdString();
    EXPECT_EQ(Metadata().value("xesam:trackNumber").toInt(), 2);

    EXPECT_GE(jump("Previous", {}), 0) << "Previous jumps too";
    EXPECT_EQ(Metadata().value("xesam:trackNumber").toInt(), 1);
}

// OpenUri makes another disc the one Play opens, and plays it; an address of another kind
// is refused with a reason, and the disc plays on.
TEST_F(Mpris, OpenUriSwitchesDiscs)
{
    client.Call(kPlayer, "Play");
    test::TestDisc other = test::TestDisc::AudioOnly(2, kSectorsPerTrack);
    other.title = "Other Album";
    const QString uri = QUrl::fromLocalFile(QString::fromStdString(other.Write(dir.Path(), "other"))).toString();
    const QStringList sent = CommandsOf([&] { client.Call(kPlayer, "OpenUri", {uri}); });
    EXPECT_EQ(sent.mid(0, 5), (QStringList{"stop cdaudio", "close cdaudio", "open cdaudio",
                                           "set cdaudio time format milliseconds", "play cdaudio"}));
    EXPECT_EQ(Metadata().value("xesam:album").toString(), "Other Album");

    const QDBusMessage refused = client.Call(kPlayer, "OpenUri", {QString("https://example.org/album.cue")});
    EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_FALSE(refused.errorMessage().isEmpty());
    EXPECT_EQ(Status(), "Playing");
}

// A disc image this project did not make: libcdio's own sheet with CD-Text.
TEST_F(Mpris, MetadataOfLibcdiosSheet)
{
    ChooseDisc(QStringLiteral(VORLO_LIBCDIO_DISCS "/cdda.cue"));
    client.Call(kPlayer, "Play");
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Soft");
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"Richard S"});
    EXPECT_EQ(metadata.value("xesam:album").toString(), "Join us now we have the software");
    EXPECT_EQ(client.Get(kPlayer, "CanGoNext").toBool(), false) << "its only track";
}

} // namespace
} // namespace vorlo::app
