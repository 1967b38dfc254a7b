// The player on a machine with no sound server at all: the window starts, the bars and
// every button behave, Play's failure is seen by no one, and nothing crashes.
#include "ServiceDisc.h"

#include "app/BgrColour.h"
#include "app/Form1.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorlo::app {
namespace {

constexpr int kBarPixels = 144;
constexpr int kTick = 100;

// No window other than the player's is on show.
bool OnlyThePlayerIsShown(const QWidget& form)
{
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget != &form && widget->isVisible())
            return false;
    return QApplication::activeModalWidget() == nullptr;
}

std::string Reply(std::string_view query)
{
    media::ReplyBuffer buffer;
    media::SendMediaCommand(query, buffer);
    return std::string(buffer.Reply());
}

bool Background(const SurfaceWidget& surface)
{
    const QImage& bar = surface.Picture();
    const QColor back = ToQColor(surface.BackColor());
    for (int x = 0; x < bar.width(); ++x)
        if (bar.pixelColor(x, bar.height() / 2) != back)
            return false;
    return true;
}

TEST(NoSoundServer, TheWindowRunsAndEveryButtonBehaves)
{
    unsetenv("VORLO_AUDIO");
    setenv("PULSE_SERVER", "unix:/nonexistent/vorlo-no-sound-server", 1);
    test::ServiceDisc disc;
    const QString trace = disc.Path("trace.log");
    setenv("VORLO_MCI_TRACE", trace.toLocal8Bit().constData(), 1);

    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const FormControls& c = form.Controls();

    c.Command4->click();
    EXPECT_TRUE(OnlyThePlayerIsShown(form)) << "Play's failure was shown";
    EXPECT_EQ(Reply("status cdaudio mode"), "stopped");
    QTest::qWait(3 * kTick);
    // The disc is open, so the bar shows where it stands: at the start of track 1.
    const double length = test::Ask("status cdaudio length");
    ASSERT_GT(length, 0);
    EXPECT_EQ(test::RedWidth(c.ProgressBar4->Picture()), test::ExpectedRed(2001, length, kBarPixels));
    for (const SurfaceWidget* bar : {c.ProgressBar1, c.ProgressBar2, c.ProgressBar3})
        EXPECT_TRUE(Background(*bar));

    // Next's play fails too, so the disc stays on track 1, where Previous has no track to
    // go back to; the bar goes on showing the start.
    c.Command17->click();
    EXPECT_EQ(test::Ask("status cdaudio current track"), 1);
    c.Command16->click();
    QTest::qWait(2 * kTick);
    EXPECT_EQ(test::RedWidth(c.ProgressBar4->Picture()), test::ExpectedRed(2001, length, kBarPixels));

    c.Command8->click();   // Stop
    c.Command18->click();  // Eject: stops, opens, opens the door of an image (nothing), stops
    QTest::qWait(2 * kTick);
    EXPECT_TRUE(OnlyThePlayerIsShown(form));
    for (const auto& [button, answer] : {std::pair(c.Command2, QMessageBox::Ok), std::pair(c.Command1, QMessageBox::No)}) {
        test::BoxAnswerer answerer(answer);
        button->click();
        EXPECT_EQ(answerer.Boxes().size(), 1) << button->toolTip().toStdString() << " showed no box";
    }
    EXPECT_TRUE(form.isVisible());

    // Every play the buttons sent failed for want of a server; nothing else did.
    const QStringList commands = test::TraceField(trace, 1), errors = test::TraceField(trace, 2);
    int plays = 0;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        if (commands[i].startsWith("play cdaudio")) {
            ++plays;
            EXPECT_EQ(errors[i], "262") << commands[i].toStdString();
        }
    }
    EXPECT_EQ(plays, 2);
}

} // namespace
} // namespace vorlo::app
