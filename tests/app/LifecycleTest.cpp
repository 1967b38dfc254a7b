#include "WindowTestSupport.h"
#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/Lifecycle.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <stdexcept>

namespace vorlo::app {
namespace {

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

// The window under test, with its display timer stopped so that every command in the log
// was caused by the test itself.
class Lifecycle : public testing::Test {
protected:
    Lifecycle()
    {
        form.Controls().Timer1->stop();
        form.show();
    }

    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

TEST_F(Lifecycle, ExitAnsweredNoChangesNothing)
{
    test::BoxAnswerer answer(QMessageBox::No);
    form.Controls().Command1->click();
    EXPECT_EQ(answer.Boxes(), QStringList{"Exit?|Are you sure you want to Exit?|0|" +
                                          QString::number((QMessageBox::Yes | QMessageBox::No).toInt())});
    EXPECT_TRUE(platform.Log().empty());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Lifecycle, AboutNamesTheProductAndItsMakerOnOneLine)
{
    test::BoxAnswerer answer(QMessageBox::Ok);
    form.Controls().Command2->click();
    ASSERT_EQ(answer.Boxes().size(), 1);
    const QStringList box = answer.Boxes().front().split('|');
    EXPECT_EQ(box[0], "About Vorlo Player");
    EXPECT_TRUE(box[1].contains("Vorlo Productions") && !box[1].contains('\n')) << box[1].toStdString();
    EXPECT_EQ(box[3], QString::number(QMessageBox::Ok));
    EXPECT_TRUE(platform.Log().empty());
}

// Fails the process with code 3 the moment it is asked to stop or close anything.
class NoReleasePlatform final : public media::MediaPlatform {
public:
    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t) override
    {
        if (command.starts_with("stop ") || command.starts_with("close "))
            std::_Exit(3);
        reply[0] = '\0';
        return 263;
    }
    std::uint32_t GetDeviceId(std::string_view) override { return 0; }
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uintptr_t, void*) override { return 257; }
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
