// The player as a person sees it: on the X server that scripts/test starts (offscreen
// when there is none), with the media service tracing every command to a file.
#include "ServiceDisc.h"

#include "app/Form1.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorlo::app {
namespace {

struct TraceLine {
    QString command;
    int error;
    QString reply;
};

// The trace: one tab-separated line per command, "time command error reply".
std::vector<TraceLine> ReadTrace(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<TraceLine> lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 4)
            lines.push_back({QString::fromLatin1(fields[1]), fields[2].toInt(), QString::fromLatin1(fields[3])});
    }
    return lines;
}

QStringList Commands(const std::vector<TraceLine>& lines, std::size_t from, std::size_t to)
{
    QStringList commands;
    for (std::size_t i = from; i < to; ++i)
        commands << lines[i].command;
    return commands;
}

// The bar as the screen shows it.
QImage OnScreen(const QWidget& bar)
{
    const QPoint at = bar.mapTo(bar.window(), QPoint(0, 0));
    return bar.screen()->grabWindow(bar.window()->winId(), at.x(), at.y(), bar.width(), bar.height()).toImage();
}

TEST(PlayerOnScreen, PlayTracesItsCommandsAndTheBarFollowsTheTracedPosition)
{
    test::ServiceDisc disc;
    const QString tracePath = disc.Path("trace.log");
    setenv("VORLO_MCI_TRACE", tracePath.toLocal8Bit().constData(), 1);
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    QTest::mouseClick(form.Controls().Command4, Qt::LeftButton);
    QTest::qWait(2000);
    form.Controls().Timer1->stop();
    QTest::qWait(300); // the last paint reaches the screen, the trace reaches its file
    const QImage bar = OnScreen(*form.Controls().ProgressBar4);
    const std::vector<TraceLine> trace = ReadTrace(tracePath);

    const QStringList play = {"stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds",
                              "play cdaudio"};
    const auto played = std::find_if(trace.begin(), trace.end(), [](const auto& l) { return l.command == "play cdaudio"; });
    ASSERT_NE(played, trace.end());
    const std::size_t playAt = played - trace.begin();
    ASSERT_GE(playAt, 4u);
    EXPECT_EQ(Commands(trace, playAt - 4, playAt + 1), play);

    // Every tick after Play asks in the same order; while the disc plays, only its
    // position is asked besides the four lengths.
    const QStringList playingTick = {"status sound length", "status movie length", "status midi length",
                                     "status cdaudio length", "status cdaudio position"};
    int playingTicks = 0;
    double length = 0;
    double position = 0;
    double firstPosition = -1;
    for (std::size_t i = playAt + 1; i < trace.size();) {
        const bool discAnswers = i + 3 < trace.size() && trace[i + 3].error == 0;
        const qsizetype size = discAnswers ? playingTick.size() : playingTick.size() - 1;
        ASSERT_LE(i + size, trace.size());
        ASSERT_EQ(Commands(trace, i, i + size), playingTick.mid(0, size));
        if (discAnswers) {
            ++playingTicks;
            length = trace[i + 3].reply.toDouble();
            position = trace[i + 4].reply.toDouble();
            if (firstPosition < 0)
                firstPosition = position;
        }
        i += size;
    }
    EXPECT_GE(playingTicks, 10);
    EXPECT_GT(position - firstPosition, 1000) << "the disc did not play";

    ASSERT_GT(length, 0);
    EXPECT_NEAR(test::RedWidth(bar), test::ExpectedRed(position, length, bar.width()), 1)
        << "traced position " << position << " of " << length;
}

} // namespace
} // namespace vorlo::app

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    const char* display = std::getenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", display && *display ? "xcb" : "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
