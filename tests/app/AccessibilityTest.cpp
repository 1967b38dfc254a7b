// What the window offers beyond the mouse: the keyboard presses of its buttons, and what
// the accessibility layer is told of the disc bar (the whole tree, over the real bus, is
// desktop/accessibility_test.py).
#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/PositionBarWidget.h"
#include "app/ProgressAnnouncement.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

namespace vorlo::app {
namespace {

using namespace std::chrono_literals;

struct Offer {
    int percent;
    std::chrono::milliseconds at;
    bool announced;
};

struct Announcements {
    const char* name;
    std::vector<Offer> offers;
};

const Announcements kAnnouncements[] = {
    {"TheStartingZeroIsKnown", {{0, 0ms, false}, {0, 5000ms, false}}},
    {"AFirstChangeAtOnce", {{3, 0ms, true}}},
    {"NoRepeatOfTheSameValue", {{3, 0ms, true}, {3, 2000ms, false}}},
    {"ChangesWithinASecondWait", {{3, 0ms, true}, {4, 600ms, false}, {5, 999ms, false}, {5, 1000ms, true}}},
    {"AHeldBackChangeComesOnTheNextOffer", {{3, 0ms, true}, {4, 500ms, false}, {4, 1100ms, true}}},
    {"BackToTheAnnouncedValueIsNoChange", {{3, 0ms, true}, {4, 500ms, false}, {3, 1200ms, false}}},
    {"ADropIsAChange", {{60, 0ms, true}, {0, 1000ms, true}}},
};

TEST(PercentAnnouncer, AnnouncesRealChangesAtMostOnceASecond)
{
    for (const Announcements& row : kAnnouncements) {
        SCOPED_TRACE(row.name);
        PercentAnnouncer announcer;
        const PercentAnnouncer::Clock::time_point start{};
        for (const Offer& offer : row.offers)
            EXPECT_EQ(announcer.Offer(offer.percent, start + offer.at), offer.announced)
                << offer.percent << " at " << offer.at.count() << " ms";
    }
}

TEST(WholePercentPlayed, RoundsDownWithinZeroToHundred)
{
    const struct {
        std::optional<float> ratio;
        int percent;
    } cases[] = {
        {std::nullopt, 0},  {0.0f, 0},   {0.5f, 50},   {29000.0f / 100000.0f, 29}, {0.999f, 99}, {1.0f, 100},
        {5.0f, 100},        {-0.5f, 0},  {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholePercentPlayed(c.ratio), c.percent) << (c.ratio ? *c.ratio : -1.0f);
}

class KeyboardTest : public testing::Test {
protected:
    KeyboardTest()
    {
        form.Controls().Timer1->stop();
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // What a button sends when pressed with `key` while it has the focus.
    std::vector<std::string> Pressed(QPushButton* button, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        button->setFocus();
        platform.ClearLog();
        QTest::keyClick(button, key, modifiers);
        return platform.Log();
    }

    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

TEST_F(KeyboardTest, SpaceReturnAndKeypadEnterPressTheFocusedButton)
{
    platform.ReplyTo("status cdaudio current track", "2");
    const FormControls& c = form.Controls();
    for (QPushButton* button : {c.Command4, c.Command8, c.Command18, c.Command16, c.Command17}) {
        SCOPED_TRACE(button->toolTip().toStdString());
        platform.ClearLog();
        button->click();
        const std::vector<std::string> clicked = platform.Log();
        ASSERT_FALSE(clicked.empty());
        EXPECT_EQ(Pressed(button, Qt::Key_Space), clicked);
        EXPECT_EQ(Pressed(button, Qt::Key_Return), clicked);
        EXPECT_EQ(Pressed(button, Qt::Key_Enter, Qt::KeypadModifier), clicked);
    }
}

// No button is a default button, and a held Enter is one press.
TEST_F(KeyboardTest, EnterWithNothingFocusedOrHeldDownPressesNothingMore)
{
    const FormControls& c = form.Controls();
    c.Command4->setFocus();
    platform.ClearLog();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(c.Command4, &repeat);
    EXPECT_TRUE(platform.Log().empty()) << "a held key's repeat";

    QApplication::focusWidget()->clearFocus();
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&form, key);
    EXPECT_TRUE(platform.Log().empty());
}

// The disc bar's value follows what the display reads, in whole percent.
TEST(DiscBarAccessibility, IsAProgressBarWhoseValueIsThePartPlayed)
{
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
    form.Controls().Timer1->stop();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.Controls().ProgressBar4);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    EXPECT_EQ(bar->text(QAccessible::Name), "Disc position");
    QAccessibleValueInterface* value = bar->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue(), 0);
    EXPECT_EQ(value->maximumValue(), 100);

    const struct {
        const char* length;
        const char* position;
        int percent;
    } ticks[] = {{"3000000", "1500000", 50}, {"1000", "5000", 100}, {"100000", "29000", 29}, {"", "", 0}};
    for (const auto& tick : ticks) {
        platform.ReplyTo("status cdaudio length", tick.length);
        platform.ReplyTo("status cdaudio position", tick.position);
        form.RefreshPositionBars();
        EXPECT_EQ(value->currentValue(), tick.percent) << tick.length << ' ' << tick.position;
    }
}

} // namespace
} // namespace vorlo::app
