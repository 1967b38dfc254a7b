#include "WindowTestSupport.h"
#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/PositionBarWidget.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

namespace vorlo::app {
namespace {

// The disc's replies to one tick: its length, then its position. An empty reply is no
// answer.
using Tick = std::pair<const char*, const char*>;

struct Display {
    const char* name;
    std::vector<Tick> ticks;
    int redPixels; // of 144, after the last tick
};

// gtest names a row in its messages by this, not by its bytes.
void PrintTo(const Display& row, std::ostream* os) { *os << row.name; }

class DisplayTest : public testing::TestWithParam<Display> {
protected:
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

TEST_P(DisplayTest, PaintsTheDiscBar)
{
    for (const auto& [length, position] : GetParam().ticks) {
        platform.ReplyTo("status cdaudio length", length);
        platform.ReplyTo("status cdaudio position", position);
        form.RefreshPositionBars();
    }
    EXPECT_EQ(test::RedWidth(form.Controls().ProgressBar4->Picture()), GetParam().redPixels);
}

const Tick kHalf{"3000000", "1500000"};

INSTANTIATE_TEST_SUITE_P(Table, DisplayTest, testing::Values(
    Display{"HalfTheLength", {kHalf}, 72},
    Display{"RatioAboveOneFillsTheBar", {{"1000", "5000"}}, 144},
    Display{"BackwardsKeepsTheRedExtent", {{"1000", "750"}, {"1000", "250"}}, 108},
    Display{"LengthZeroGivesTheBackground", {kHalf, {"0", "10"}}, 0},
    Display{"ColonReplyReadsAsItsFirstField", {kHalf, {"00:04:10", "00:02:05"}}, 0},
    // Faults in single precision: the row gets its background fill instead.
    Display{"LengthBeyondSingleRange", {kHalf, {"1E39", "1"}}, 0},
    Display{"LengthThatRoundsToZero", {kHalf, {"1E-50", "1"}}, 0},
    Display{"RatioBeyondSingleRange", {kHalf, {"1E-30", "1E10"}}, 0},
    Display{"InfiniteRatio", {kHalf, {"1", "1E400"}}, 0},
    Display{"WidthTimesRatioBeyondSingleRange", {kHalf, {"1", "1E36"}}, 0}),
    [](const testing::TestParamInfo<Display>& info) { return std::string(info.param.name); });

class TickTest : public DisplayTest {};

TEST_F(TickTest, EveryTickGivesTheSilentAliasesTheirBackground)
{
    const FormControls& c = form.Controls();
    for (SurfaceWidget* bar : {c.ProgressBar1, c.ProgressBar2, c.ProgressBar3})
        bar->FillRectangle(0, 0, 1e9f, 1e9f, 0x00000080);
    form.RefreshPositionBars();
    for (SurfaceWidget* bar : {c.ProgressBar1, c.ProgressBar2, c.ProgressBar3}) {
        QImage background(bar->Picture().size(), bar->Picture().format());
        background.fill(ToQColor(bar->BackColor()));
        EXPECT_TRUE(bar->Picture() == background) << bar->objectName().toStdString();
    }
}

TEST_F(TickTest, AFaultInOneRowLeavesTheNextRowsPainting)
{
    platform.ReplyTo("status sound length", "1E-50");
    platform.ReplyTo("status movie length", "1");
    platform.ReplyTo("status movie position", "1E400");
    platform.ReplyTo("status cdaudio length", kHalf.first);
    platform.ReplyTo("status cdaudio position", kHalf.second);
    form.RefreshPositionBars();
    EXPECT_EQ(test::RedWidth(form.Controls().ProgressBar4->Picture()), 72);
}

// Fills are clipped at the surface's edges, take their corners in either order, and
// survive any coordinate.
TEST(SurfaceWidget, FillsClipAndAcceptAnyCorners)
{
    SurfaceWidget surface(nullptr, {0, 0, 2160, 255}, 0x00E0E0E0);
    surface.FillRectangle(150, 255, 0, -1e30f, 0x00000080);
    EXPECT_EQ(test::RedWidth(surface.Picture()), 10);
    surface.FillRectangle(std::nanf(""), 0, std::numeric_limits<float>::infinity(), 255, 0x00000080);
    EXPECT_EQ(test::RedWidth(surface.Picture()), 144);
    surface.FillRectangle(-1e9f, -1e9f, -15, 1e9f, 0x00E0E0E0);
    EXPECT_EQ(test::RedWidth(surface.Picture()), 144);
}

} // namespace
} // namespace vorlo::app
