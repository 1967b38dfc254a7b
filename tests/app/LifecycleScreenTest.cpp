// The window's placement on a real X server: scripts/test runs one at 1280 x 1024 and
// 96 dots per inch and exports DISPLAY. Without a display the test is skipped.
#include "RecordingPlatform.h"

#include "app/Form1.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorlo::app {
namespace {

TEST(LifecycleOnX11, TheWindowsFrameIsCentred)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "no X display";
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound(platform);
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect screen = form.screen()->geometry();
    const QPoint offCentre = form.frameGeometry().center() - screen.center();
    EXPECT_LE(std::abs(offCentre.x()), 1) << screen.width() << " x " << screen.height();
    EXPECT_LE(std::abs(offCentre.y()), 1) << screen.width() << " x " << screen.height();
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
