#include "RecordingPlatform.h"

#include "app/Form1.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlo::app {
namespace {

using Log = std::vector<std::string>;

struct Binding {
    const char* button;
    Log log;
};

// Each transport button runs its operation: the first commands it sends tell which.
TEST(Bindings, EachTransportButtonRunsItsOperation)
{
    const Binding bindings[] = {
        {"Command4", {"stop cdaudio", "close cdaudio", "open cdaudio", "set cdaudio time format milliseconds",
                      "play cdaudio"}},
        {"Command8", {"stop cdaudio", "close cdaudio"}},
        {"Command18", {"stop cdaudio", "close cdaudio", "open cdaudio", "deviceid cdaudio", "command 0 2061 256",
                       "stop cdaudio", "close cdaudio"}},
        {"Command16", {"status cdaudio current track"}},
        {"Command17", {"status cdaudio current track"}},
    };
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound(platform);
    Form1 form;
    for (const Binding& b : bindings) {
        platform.ClearLog();
        form.findChild<QPushButton*>(QString::fromLatin1(b.button))->click();
        EXPECT_EQ(platform.Log(), b.log) << b.button;
    }
}

TEST(Bindings, TheTimerRefreshesThePositionBars)
{
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound(platform);
    Form1 form;
    platform.ClearLog();
    const auto ticked = [&] {
        const Log& log = platform.Log();
        return std::find(log.begin(), log.end(), "status cdaudio length") != log.end();
    };
    EXPECT_TRUE(QTest::qWaitFor(ticked, 5000));
}

// The window is a tool window, which Qt need not count as the last window: closing it
// must still end the program.
TEST(Bindings, ClosingTheWindowEndsTheEventLoop)
{
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound(platform);
    Form1 form;
    form.show();
    QTimer::singleShot(0, &form, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace vorlo::app
