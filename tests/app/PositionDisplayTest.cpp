#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/SurfaceWidget.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vorlo::app {
namespace {

const QColor kRed(0x80, 0, 0);
const QColor kGrey(0xE0, 0xE0, 0xE0);

// The width in pixels of the red run that starts the bar, or nothing when the bar is not
// a red run followed by grey over its whole height.
std::optional<int> RedWidth(const QImage& bar)
{
    int red = 0;
    while (red < bar.width() && bar.pixelColor(red, 0) == kRed)
        ++red;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            if (bar.pixelColor(x, y) != (x < red ? kRed : kGrey))
                return std::nullopt;
    return red;
}

// A disc reply for one tick; nothing scripted means the query fails with an empty reply.
struct Tick {
    std::optional<std::string> length;
    std::optional<std::string> position;
};

struct Display {
    const char* name;
    std::vector<Tick> ticks;
    int redPixels; // of 144, after the last tick
};

class DisplayTest : public testing::TestWithParam<Display> {
protected:
    void Script(const char* command, const std::optional<std::string>& reply)
    {
        if (reply)
            platform.ReplyTo(command, *reply);
        else
            platform.Forget(command);
    }

    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    Form1 form;
};

TEST_P(DisplayTest, PaintsTheDiscBar)
{
    for (const Tick& tick : GetParam().ticks) {
        Script("status cdaudio length", tick.length);
        Script("status cdaudio position", tick.position);
        form.RefreshPositionBars();
    }
    EXPECT_EQ(RedWidth(form.Controls().ProgressBar4->Picture()), GetParam().redPixels);
}

const Tick kHalf{"3000000", "1500000"};

INSTANTIATE_TEST_SUITE_P(Table, DisplayTest, testing::Values(
    Display{"NothingOpen", {{}}, 0},
    Display{"HalfTheLength", {kHalf}, 72},
    Display{"RatioAboveOneFillsTheBar", {{"1000", "5000"}}, 144},
    Display{"BackwardsKeepsTheRedExtent", {{"1000", "750"}, {"1000", "250"}}, 108},
    Display{"FailedPositionQueryKeepsTheRedExtent", {kHalf, {"3000000", {}}}, 72},
    Display{"LengthZeroGivesTheBackground", {kHalf, {"0", "10"}}, 0},
    Display{"DeviceClosedGivesTheBackground", {kHalf, {}}, 0},
    Display{"ColonReplyReadsAsItsFirstField", {kHalf, {"00:04:10", "00:02:05"}}, 0},
    Display{"NegativeRatioPaintsNothing", {kHalf, {"-1000", "500"}}, 72},
    // Faults in single precision: the row gets its background fill instead.
    Display{"LengthBeyondSingleRange", {kHalf, {"1E39", "1"}}, 0},
    Display{"LengthThatRoundsToZero", {kHalf, {"1E-50", "1"}}, 0},
    Display{"RatioBeyondSingleRange", {kHalf, {"1E-30", "1E10"}}, 0},
    Display{"InfiniteRatio", {kHalf, {"1", "1E400"}}, 0},
    Display{"WidthTimesRatioBeyondSingleRange", {kHalf, {"1", "1E36"}}, 0}),
    [](const testing::TestParamInfo<Display>& info) { return std::string(info.param.name); });

class TickTest : public DisplayTest {};

TEST_F(TickTest, AsksInOrderThroughOneBufferAndSkipsPositionsOfSilentAliases)
{
    platform.ReplyTo("status cdaudio length", "3000000");
    platform.ReplyTo("status cdaudio position", "1500000");
    form.RefreshPositionBars();
    EXPECT_EQ(platform.Log(), (std::vector<std::string>{"status sound length", "status movie length",
                                                        "status midi length", "status cdaudio length",
                                                        "status cdaudio position"}));
}

TEST_F(TickTest, EveryTickGivesTheSilentAliasesTheirBackground)
{
    const FormControls& c = form.Controls();
    for (SurfaceWidget* bar : {c.ProgressBar1, c.ProgressBar2, c.ProgressBar3})
        bar->FillRectangle(0, 0, 1e9f, 1e9f, 0x00000080);
    form.RefreshPositionBars();
    for (SurfaceWidget* bar : {c.ProgressBar1, c.ProgressBar2, c.ProgressBar3}) {
        const QImage& picture = bar->Picture();
        EXPECT_EQ(picture.size(), QSize(273, 25));
        for (QPoint p : {QPoint(0, 0), QPoint(272, 24), QPoint(136, 12)})
            EXPECT_EQ(picture.pixelColor(p), ToQColor(bar->BackColor())) << bar->objectName().toStdString();
    }
}

TEST_F(TickTest, AFaultInOneRowLeavesTheNextRowsPainting)
{
    platform.ReplyTo("status sound length", "1E-50");
    platform.ReplyTo("status movie length", "1");
    platform.ReplyTo("status movie position", "1E400");
    platform.ReplyTo("status cdaudio length", "3000000");
    platform.ReplyTo("status cdaudio position", "1500000");
    form.RefreshPositionBars();
    EXPECT_EQ(RedWidth(form.Controls().ProgressBar4->Picture()), 72);
}

// Fills are clipped at the surface's edges, take their corners in either order, and
// survive any coordinate.
TEST(SurfaceWidget, FillsClipAndAcceptAnyCorners)
{
    SurfaceWidget surface(nullptr, {0, 0, 2160, 255}, 0x00E0E0E0);
    surface.FillRectangle(150, 255, 0, -1e30f, 0x00000080);
    EXPECT_EQ(RedWidth(surface.Picture()), 10);
    surface.FillRectangle(std::nanf(""), 0, std::numeric_limits<float>::infinity(), 255, 0x00000080);
    EXPECT_EQ(RedWidth(surface.Picture()), 144);
    surface.FillRectangle(-1e9f, -1e9f, -15, 1e9f, 0x00E0E0E0);
    EXPECT_EQ(RedWidth(surface.Picture()), 144);
}

} // namespace
} // namespace vorlo::app
