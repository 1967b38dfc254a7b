// The window against the real media service, playing a generated disc image through the
// null sound device.
#include "ServiceDisc.h"

#include "app/Form1.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vorlo::app {
namespace {

using test::Ask;

constexpr int kBarPixels = 144;

class EndToEnd : public testing::Test {
protected:
    // A tick of our own between two readings of the position, so the red width the tick
    // paints can be bracketed.
    void TickAndExpectRedToMatchThePosition()
    {
        const double length = Ask("status cdaudio length");
        ASSERT_GT(length, 0);
        const double before = Ask("status cdaudio position");
        form.RefreshPositionBars();
        const double after = Ask("status cdaudio position");
        const int red = test::RedWidth(bar.Picture());
        EXPECT_GE(red, test::ExpectedRed(before, length, kBarPixels) - 1);
        EXPECT_LE(red, test::ExpectedRed(after, length, kBarPixels) + 1);
    }

    void PlayAndWait(int ms)
    {
        form.Controls().Command4->click();
        QTest::qWait(ms);
    }

    test::ServiceDisc disc;
    Form1 form;
    const SurfaceWidget& bar = *form.Controls().ProgressBar4;
};

TEST_F(EndToEnd, PlayFillsTheBarToThePlayedFraction)
{
    const double start = Ask("status cdaudio position track 1");
    PlayAndWait(1000);
    form.Controls().Timer1->stop();
    ASSERT_GT(Ask("status cdaudio position"), start + 500) << "the disc is not playing";
    ASSERT_GT(test::RedWidth(bar.Picture()), 0) << "the timer painted nothing";
    TickAndExpectRedToMatchThePosition();
}

TEST_F(EndToEnd, NextPlaysFromTheStartOfTheNextTrack)
{
    PlayAndWait(300);
    const double trackTwo = Ask("status cdaudio position track 2");
    form.Controls().Command17->click();
    EXPECT_EQ(Ask("status cdaudio current track"), 2);
    const double position = Ask("status cdaudio position");
    EXPECT_GE(position, trackTwo - 1000.0 / 75);
    EXPECT_LT(position, trackTwo + 500);
}

TEST_F(EndToEnd, PreviousEmptiesTheBarAndTheNextTickPaintsItAgain)
{
    PlayAndWait(300);
    form.Controls().Command17->click();
    QTest::qWait(300);
    form.Controls().Timer1->stop();
    form.RefreshPositionBars();
    ASSERT_GT(test::RedWidth(bar.Picture()), kBarPixels / test::ServiceDisc::kTracks);

    form.Controls().Command16->click();
    EXPECT_EQ(test::RedWidth(bar.Picture()), 0);
    EXPECT_EQ(Ask("status cdaudio current track"), 1);
    TickAndExpectRedToMatchThePosition();
}

} // namespace
} // namespace vorlo::app
