// The window on an X server whose desktop announces a density other than 96 dots per inch
// through the Xft.dpi resource (tests/app/desktop/with-x-server sets it; the test names it
// in VORLO_TEST_XFT_DPI): the geometry in twips stays, and the pixels scale with it.
#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/PositionBarWidget.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vorlo::app {
namespace {

// The client area at each announced density: 144 x 65 px at 96, scaled.
struct Scaled {
    int dpi;
    QSize client;
};
const Scaled kDensities[] = {{144, {216, 98}}, {192, {288, 130}}};

constexpr int kWaitMs = 5000;

std::optional<QSize> ExpectedClientArea()
{
    const int dpi = qEnvironmentVariableIntValue("VORLO_TEST_XFT_DPI");
    for (const Scaled& density : kDensities)
        if (density.dpi == dpi)
            return density.client;
    return std::nullopt;
}

// A window's size as the X server holds it, in device pixels.
QSize XWindowSize(WId window)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    if (!xwininfo.waitForFinished(kWaitMs) || xwininfo.exitCode() != 0)
        return {};
    const QString info = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto field = [&](const char* name) {
        return QRegularExpression(QStringLiteral("%1:\\s+(\\d+)").arg(QLatin1String(name))).match(info).captured(1).toInt();
    };
    return {field("Width"), field("Height")};
}

class DensityTest : public testing::Test {
protected:
    void SetUp() override
    {
        expected = ExpectedClientArea();
        ASSERT_TRUE(expected) << "VORLO_TEST_XFT_DPI names no density this test knows";
        form.Controls().Timer1->stop();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    std::optional<QSize> expected;
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

TEST_F(DensityTest, ClientAreaScalesWithTheDensity)
{
    const QSize size = XWindowSize(form.winId());
    EXPECT_NEAR(size.width(), expected->width(), 1) << size.height();
    EXPECT_NEAR(size.height(), expected->height(), 1) << size.width();
}

// Half played: on the screen, the bar's middle row is dark red from the left edge to the
// middle and light grey from there to the right edge of the window.
TEST_F(DensityTest, DiscBarSpansTheWidthAndFillsFromTheLeftEdge)
{
    platform.ReplyTo("status cdaudio length", "1000");
    platform.ReplyTo("status cdaudio position", "500");
    form.RefreshPositionBars();
    QTest::qWait(200); // the paint reaches the screen
    const QImage window = form.screen()->grabWindow(form.winId()).toImage();
    ASSERT_NEAR(window.width(), expected->width(), 1);

    const QRect bar = form.Controls().ProgressBar4->geometry();
    const double scale = static_cast<double>(window.width()) / form.width();
    const int row = static_cast<int>((bar.top() + bar.height() / 2.0) * scale);
    const QColor red(0x80, 0, 0), grey(0xE0, 0xE0, 0xE0);
    int redWidth = 0;
    while (redWidth < window.width() && window.pixelColor(redWidth, row) == red)
        ++redWidth;
    EXPECT_NEAR(redWidth, window.width() / 2, 1);
    for (int x = redWidth; x < window.width(); ++x)
        ASSERT_EQ(window.pixelColor(x, row), grey) << "column " << x << " of " << window.width();
}

} // namespace
} // namespace vorlo::app
