// The player against the real media service, playing a generated disc image through the
// null sound device (or, in one test, with no sound server at all), as a person sees it:
// on the X server that scripts/test starts (offscreen when there is none), with the
// service tracing every command to a file.
#include "WindowTestSupport.h"
#include "support/TempFolder.h"
#include "support/TestDisc.h"

#include "app/Form1.h"
#include "app/PositionBarWidget.h"
#include "media/MediaChannel.h"

#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace vorlo::app {
namespace {

constexpr int kTracks = 3;
constexpr int kSectorsPerTrack = 300; // four seconds

// The service's answer to a query, read as the window reads it.
double Ask(std::string_view query)
{
    media::ReplyBuffer buffer;
    media::SendMediaCommand(query, buffer);
    return media::ReplyValue(buffer);
}

// One field of every line of the trace, whose lines are "time command error reply".
QStringList TraceField(const QString& path, int field)
{
    QFile file(path);
    QStringList values;
    if (file.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts))
            values << line.section('\t', field, field);
    return values;
}

// The service reads VORLO_CDROM at every "open cdaudio", and VORLO_MCI_TRACE when it first
// runs, in the test's own process.
class Player : public testing::Test {
protected:
    Player()
    {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    test::TempFolder dir;
    const std::string tracePath = (dir.Path() / "trace.log").string();
    test::ScopedEnv disc{"VORLO_CDROM", test::TestDisc::AudioOnly(kTracks, kSectorsPerTrack).Write(dir.Path(), "e2e")};
    test::ScopedEnv trace{"VORLO_MCI_TRACE", tracePath};
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    const FormControls& c = form->Controls();

    QStringList Traced(int field) const { return TraceField(QString::fromStdString(tracePath), field); }
};

TEST_F(Player, TheFrameEndsUpCentredOnTheScreen)
{
    const auto offCentre = [&] { return form->frameGeometry().center() - form->screen()->geometry().center(); };
    (void)QTest::qWaitFor([&] { return std::abs(offCentre().x()) <= 1 && std::abs(offCentre().y()) <= 1; }, 2000);
    EXPECT_LE(std::abs(offCentre().x()), 1) << offCentre().y();
    EXPECT_LE(std::abs(offCentre().y()), 1);
}

TEST_F(Player, PlayIsTracedAndTheBarShowsTheTracedPosition)
{
    QTest::mouseClick(c.Command4, Qt::LeftButton);
    QTest::qWait(2000);
    c.Timer1->stop();
    QTest::qWait(300); // the last paint reaches the screen, the trace its file
    const QPoint at = c.ProgressBar4->mapTo(form.get(), QPoint(0, 0));
    const QImage bar = form->screen()->grabWindow(form->winId(), at.x(), at.y(), 144, 17).toImage();
    const QStringList commands = Traced(1), replies = Traced(3);

    const qsizetype played = commands.indexOf("play cdaudio");
    ASSERT_GE(played, 4);
    EXPECT_EQ(commands.mid(played - 4, 5), (QStringList{"stop cdaudio", "close cdaudio", "open cdaudio",
                                                        "set cdaudio time format milliseconds", "play cdaudio"}));
    // Every tick since then asks the same; the aliases are never open, so their position
    // is never asked.
    const QStringList tick = {"status sound length", "status movie length", "status midi length",
                              "status cdaudio length", "status cdaudio position"};
    EXPECT_GE(commands.size() - played, 10 * tick.size());
    for (qsizetype i = played + 1; i < commands.size(); ++i)
        ASSERT_EQ(commands[i], tick[(i - played - 1) % tick.size()]) << "trace line " << i;

    const qsizetype last = commands.lastIndexOf("status cdaudio position");
    const double length = replies[last - 1].toDouble(), position = replies[last].toDouble();
    EXPECT_GT(position - replies[played + 5].toDouble(), 1000) << "the disc did not play";
    ASSERT_GT(length, 0);
    EXPECT_NEAR(test::RedWidth(bar), test::ExpectedRed(position, length, bar.width()), 1)
        << "traced position " << position << " of " << length;
}

TEST_F(Player, ClosingTracesTheReleaseCommandsInOrder)
{
    c.Timer1->stop();
    form->close();
    form.reset();
    const QStringList release = {"stop sound",  "stop midi",  "stop movie",  "stop cdaudio",  "stop capture",
                                 "close sound", "close midi", "close movie", "close cdaudio", "close capture",
                                 "stop cdaudio", "close cdaudio"};
    const auto tail = [&] { const QStringList all = Traced(1); return all.mid(all.size() - 12); };
    (void)QTest::qWaitFor([&] { return tail() == release; }, 3000); // the trace reaches its file within 100 ms
    EXPECT_EQ(tail(), release);
}

// Next plays from the start of track 2; Previous goes back to track 1 and empties the bar
// at once, and the next tick paints it again.
TEST_F(Player, NextAndPreviousMoveBetweenTracks)
{
    c.Command4->click();
    QTest::qWait(300);
    const double trackTwo = Ask("status cdaudio position track 2");
    c.Command17->click();
    EXPECT_EQ(Ask("status cdaudio current track"), 2);
    const double position = Ask("status cdaudio position");
    EXPECT_GE(position, trackTwo - 1000.0 / 75);
    EXPECT_LT(position, trackTwo + 500);
    QTest::qWait(300);
    c.Timer1->stop();
    form->RefreshPositionBars();
    ASSERT_GT(test::RedWidth(c.ProgressBar4->Picture()), 144 / kTracks);

    c.Command16->click();
    EXPECT_EQ(test::RedWidth(c.ProgressBar4->Picture()), 0);
    EXPECT_EQ(Ask("status cdaudio current track"), 1);
    form->RefreshPositionBars();
    EXPECT_GT(test::RedWidth(c.ProgressBar4->Picture()), 0);
}

// With no sound server at all, the transport buttons behave and no failure is shown: each
// play they send fails, and the disc stays open at the start of track 1, where the bar
// shows it. (About and Exit do not touch the service; the window tests check their boxes.)
TEST_F(Player, WithoutASoundServerEveryButtonBehavesAndNoFailureIsShown)
{
    test::ScopedEnv realSound("VORLO_AUDIO", std::nullopt);
    test::ScopedEnv noServer("PULSE_SERVER", "unix:" + (dir.Path() / "no-sound-server").string());
    for (QPushButton* button : {c.Command4, c.Command17, c.Command16}) // Play, Next, Previous
        button->click();
    QTest::qWait(300);
    EXPECT_EQ(Ask("status cdaudio current track"), 1);
    EXPECT_EQ(test::RedWidth(c.ProgressBar4->Picture()),
              test::ExpectedRed(2001, Ask("status cdaudio length"), c.ProgressBar4->width()));
    c.Command8->click();  // Stop
    c.Command18->click(); // Eject: the door of an image opens without effect
    QTest::qWait(200);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(form->isVisible());

    const QStringList commands = Traced(1), errors = Traced(2);
    QStringList playErrors;
    for (qsizetype i = 0; i < commands.size(); ++i)
        if (commands[i].startsWith("play cdaudio"))
            playErrors << errors[i];
    EXPECT_EQ(playErrors, QStringList({"262", "262"})) << "Play's and Next's";
}

} // namespace
} // namespace vorlo::app
