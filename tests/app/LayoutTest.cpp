#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/SurfaceWidget.h"
#include "app/Twips.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace vorlo::app {
namespace {

// Every test here assumes the offscreen platform's 96 dots per inch.
class LayoutTest : public testing::Test {
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

TEST_F(LayoutTest, EveryControlHasItsRectangleTooltipCaptionAndVisibility)
{
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

TEST_F(LayoutTest, WindowIsAFixedSizeToolWindowWithItsCaption)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("          .:[Vorlo Player]:."));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlags(Qt::WindowCloseButtonHint | Qt::WindowTitleHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

TEST_F(LayoutTest, FocusStartsOnPlayAndTabWalksTheButtonsInOrder)
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
TEST_F(LayoutTest, RendersBlackGapsAndTheGreyBar)
{
    form.show();
    const QImage picture = form.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(144, 65));
    for (int y : {21, 22, 23, 45, 46, 47})
        for (int x = 0; x < 144; ++x)
            ASSERT_EQ(picture.pixelColor(x, y), QColor(Qt::black)) << x << ',' << y;
    for (int y = 48; y < 65; ++y)
        for (int x = 0; x < 144; ++x)
            ASSERT_EQ(picture.pixelColor(x, y), QColor(0xE0, 0xE0, 0xE0)) << x << ',' << y;
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
TEST_F(LayoutTest, EachTransportButtonRunsItsOperation)
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

} // namespace
} // namespace vorlo::app
