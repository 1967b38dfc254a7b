// The window with the recording double: its layout, bindings and dialogs.
#include "RecordingPlatform.h"
#include "WindowTestSupport.h"

#include "app/Form1.h"
#include "app/Lifecycle.h"
#include "app/PositionBarWidget.h"
#include "app/Twips.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <stdexcept>

namespace vorlo::app {
namespace {

// Every test here assumes the offscreen platform's 96 dots per inch.
class WindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_DOUBLE_EQ(ScreenDensity().x, 96.0); }

    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

struct Control {
    const char* name;
    QRect pixels;
    const char* tooltip;
    const char* caption; // of a button; an empty one is a picture
    bool inView;
};

const Control kControls[] = {
    {"Command4", {0, 0, 49, 21}, "Play", "", true},
    {"Command8", {48, 0, 49, 21}, "Stop", "", true},
    {"Command18", {96, 0, 49, 21}, "Eject", "", true},
    {"Command16", {0, 24, 49, 21}, "Go back a track", "", true},
    {"Command17", {48, 24, 49, 21}, "Skip Track", "", true},
    {"Command2", {96, 24, 25, 21}, "About", "?", true},
    {"Command1", {120, 24, 25, 21}, "Exit", "X", true},
    {"ProgressBar4", {0, 48, 144, 17}, "", "", true},
    {"ProgressBar1", {184, 416, 273, 25}, "", "", false},
    {"ProgressBar2", {184, 448, 273, 25}, "", "", false},
    {"ProgressBar3", {184, 480, 273, 25}, "", "", false},
    {"Picture1", {352, 420, 117, 65}, "", "", false},
    {"Picture2", {24, 392, 117, 65}, "", "", false},
};

// The window: a fixed-size tool window with its caption, and every control in its place.
TEST_F(WindowTest, LayoutMatchesTheTable)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("          .:[Vorlo Player]:."));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlags(Qt::WindowCloseButtonHint | Qt::WindowTitleHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    form.show();
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.name);
        const auto* widget = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.pixels);
        EXPECT_EQ(widget->toolTip(), QString::fromLatin1(c.tooltip));
        EXPECT_TRUE(widget->isVisible());
        EXPECT_EQ(form.rect().intersects(widget->geometry()), c.inView);
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), QString::fromLatin1(c.caption));
            EXPECT_EQ(button->icon().isNull(), *c.caption != '\0');
        }
    }
    EXPECT_EQ(form.findChildren<QWidget*>().size(), static_cast<qsizetype>(std::size(kControls)));
}

TEST_F(WindowTest, FocusStartsOnPlayAndTabWalksTheButtonsInOrder)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QStringList order;
    for (QWidget* focus = QApplication::focusWidget(); focus && order.size() < 8; focus = QApplication::focusWidget()) {
        order << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(order, QStringList({"Command4", "Command8", "Command18", "Command16", "Command17", "Command1",
                                  "Command2", "Command4"}));
}

// The window as it is drawn, where fonts do not matter: the black strips between the
// rows, the light grey bar below them, and every button's face clear of its caption.
TEST_F(WindowTest, RendersBlackGapsAndTheGreyBar)
{
    form.show();
    const QImage picture = form.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(144, 65));
    for (int y = 21; y < 65; ++y)
        for (int x = 0; x < 144 && (y < 24 || y > 44); ++x)
            ASSERT_EQ(picture.pixelColor(x, y), y < 48 ? QColor(Qt::black) : QColor(0xE0, 0xE0, 0xE0)) << x << ',' << y;
    for (const QPoint face : {QPoint(4, 10), QPoint(52, 10), QPoint(100, 10), QPoint(4, 34), QPoint(52, 34),
                              QPoint(100, 34), QPoint(124, 34)})
        EXPECT_NE(picture.pixelColor(face), QColor(Qt::black)) << face.x() << ',' << face.y();
}

TEST(Twips, PixelsScaleWithTheDensity)
{
    EXPECT_EQ(TwipsToPixels(2160, 120), 180);
    // Edges, not sizes, are converted, so overlapping neighbours stay overlapping.
    EXPECT_EQ(TwipsToPixels(QRect(720, 0, 735, 315), {144, 144}), QRect(72, 0, 74, 32));
}

// A click sends what a direct call of the button's operation sends. On track 2, previous
// and next ask for different tracks.
TEST_F(WindowTest, EachTransportButtonRunsItsOperation)
{
    platform.ReplyTo("status cdaudio current track", "2");
    const std::pair<const char*, void (Form1::*)()> bindings[] = {
        {"Command4", &Form1::PlayDisc}, {"Command8", &Form1::StopDisc}, {"Command18", &Form1::EjectDisc},
        {"Command16", &Form1::PreviousTrack}, {"Command17", &Form1::NextTrack}};
    for (const auto& [button, operation] : bindings) {
        platform.ClearLog();
        (form.*operation)();
        const std::vector<std::string> direct = platform.Log();
        platform.ClearLog();
        form.findChild<QPushButton*>(button)->click();
        EXPECT_EQ(platform.Log(), direct) << button;
    }
}

struct Slack {
    double screen;
    double window;
    std::optional<std::int32_t> edge; // nothing: an overflow
};

TEST(CentredEdge, RoundsTheSlackThenHalvesTowardZero)
{
    const Slack cases[] = {
        {19200, 2250, 8475},     // 1280 px screen, 150 px window: even slack
        {2161, 2160, 0},         // one twip of slack
        {2157, 2160, -1},        // odd slack halves toward zero, below zero too
        {1500, 2250, -375},      // a screen narrower than the window: no clamping
        {2162.5, 2160, 1},       // a half goes to the even neighbour
        {2147483648.0, 0, {}},   // beyond 32 bits
        {std::numeric_limits<double>::quiet_NaN(), 0, {}},
    };
    for (const Slack& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen << " - " << c.window);
        if (c.edge)
            EXPECT_EQ(CentredEdge(c.screen, c.window), *c.edge);
        else
            EXPECT_THROW(CentredEdge(c.screen, c.window), std::overflow_error);
    }
}

// The dialogs run with the display timer stopped, so that no tick sends a command.
TEST_F(WindowTest, ExitAnsweredNoChangesNothing)
{
    form.Controls().Timer1->stop();
    form.show();
    test::BoxAnswerer answer(QMessageBox::No);
    form.Controls().Command1->click();
    EXPECT_EQ(answer.Boxes(), QStringList{"Exit?|Are you sure you want to Exit?|0|" +
                                          QString::number((QMessageBox::Yes | QMessageBox::No).toInt())});
    EXPECT_TRUE(platform.Log().empty());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(WindowTest, AboutNamesTheProductAndItsMakerOnOneLine)
{
    form.Controls().Timer1->stop();
    test::BoxAnswerer answer(QMessageBox::Ok);
    form.Controls().Command2->click();
    ASSERT_EQ(answer.Boxes().size(), 1);
    const QStringList box = answer.Boxes().front().split('|');
    EXPECT_EQ(box[0], "About Vorlo Player");
    EXPECT_TRUE(box[1].contains("Vorlo Productions") && !box[1].contains('\n')) << box[1].toStdString();
    EXPECT_EQ(box[3], QString::number(QMessageBox::Ok));
}

// Fails the process with code 3 the moment it is asked to stop or close anything.
class NoReleasePlatform final : public test::RecordingPlatform {
    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t capacity) override
    {
        if (command.starts_with("stop ") || command.starts_with("close "))
            std::_Exit(3);
        return RecordingPlatform::SendString(command, reply, capacity);
    }
};

TEST(LifecycleDeathTest, ExitAnsweredYesEndsAtOnceWithoutReleasing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NoReleasePlatform platform;
            media::ScopedMediaPlatform bound(platform);
            Form1 form;
            form.show();
            test::BoxAnswerer answer(QMessageBox::Yes);
            form.Controls().Command1->click();
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace vorlo::app
