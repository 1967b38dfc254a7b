#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/SurfaceWidget.h"
#include "app/Twips.h"

#include <QApplication>
#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    bool inView;
};

const Control kControls[] = {
    {"Command4", {0, 0, 49, 21}, "Play", true},
    {"Command8", {48, 0, 49, 21}, "Stop", true},
    {"Command18", {96, 0, 49, 21}, "Eject", true},
    {"Command16", {0, 24, 49, 21}, "Go back a track", true},
    {"Command17", {48, 24, 49, 21}, "Skip Track", true},
    {"Command2", {96, 24, 25, 21}, "About", true},
    {"Command1", {120, 24, 25, 21}, "Exit", true},
    {"ProgressBar4", {0, 48, 144, 17}, "", true},
    {"ProgressBar1", {184, 416, 273, 25}, "", false},
    {"ProgressBar2", {184, 448, 273, 25}, "", false},
    {"ProgressBar3", {184, 480, 273, 25}, "", false},
    {"Picture1", {352, 420, 117, 65}, "", false},
    {"Picture2", {24, 392, 117, 65}, "", false},
};

TEST_F(LayoutTest, EveryControlHasItsRectangleTooltipAndVisibility)
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
    }
    EXPECT_EQ(form.findChildren<QWidget*>().size(), static_cast<qsizetype>(std::size(kControls)));
}

TEST_F(LayoutTest, WindowIsAFixedBlackToolWindowWithItsCaption)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("          .:[Vorlo Player]:."));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form.minimumSize(), QSize(144, 65));
    EXPECT_EQ(form.maximumSize(), QSize(144, 65));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));

    const QTimer* timer = form.Controls().Timer1;
    EXPECT_EQ(timer->objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(LayoutTest, TabWalksTheButtonsInOrderAndFocusStartsOnPlay)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), form.Controls().Command4);

    QStringList order;
    QWidget* w = form.Controls().Command4;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != form.Controls().Command4);
    EXPECT_EQ(order, QStringList({"Command4", "Command8", "Command18", "Command16", "Command17", "Command1",
                                  "Command2"}));
}

TEST_F(LayoutTest, CaptionsArePicturesOrHeavyText)
{
    const FormControls& c = form.Controls();
    for (const QPushButton* button : {c.Command4, c.Command8, c.Command18, c.Command16, c.Command17}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_FALSE(button->icon().isNull());
    }
    EXPECT_EQ(c.Command2->text(), QStringLiteral("?"));
    EXPECT_EQ(c.Command1->text(), QStringLiteral("X"));
    for (const QPushButton* button : {c.Command2, c.Command1}) {
        const QFontInfo used(button->font());
        EXPECT_TRUE(used.family() == QStringLiteral("Arial Black") || used.weight() >= QFont::Bold)
            << used.family().toStdString() << " weight " << used.weight();
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 9.75);
    }
}

TEST_F(LayoutTest, TheDiscBarReportsTwipsAndItsColours)
{
    const SurfaceWidget& bar = *form.Controls().ProgressBar4;
    EXPECT_EQ(bar.Width(), 2160.0f);
    EXPECT_EQ(bar.Height(), 255.0f);
    EXPECT_EQ(bar.BackColor(), 0x00E0E0E0u);
    EXPECT_EQ(bar.ForeColor(), 0x00C00000u);
}

TEST(Twips, PixelsScaleWithTheDensity)
{
    EXPECT_EQ(TwipsToPixels(2160, 120), 180);
    // Edges, not sizes, are converted, so overlapping neighbours stay overlapping.
    EXPECT_EQ(TwipsToPixels(QRect(720, 0, 735, 315), {144, 144}), QRect(72, 0, 74, 32));
}

// The window as it is drawn, where fonts do not matter: the black strips between the
// rows and the light grey bar below them.
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
    // Every button's face is drawn where it stands, clear of its caption.
    for (const QPoint face : {QPoint(4, 10), QPoint(52, 10), QPoint(100, 10), QPoint(4, 34), QPoint(52, 34),
                              QPoint(100, 34), QPoint(124, 34)})
        EXPECT_NE(picture.pixelColor(face), QColor(Qt::black)) << face.x() << ',' << face.y();
}

} // namespace
} // namespace vorlo::app
