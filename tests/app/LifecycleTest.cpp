#include "RecordingPlatform.h"

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Lifecycle.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace vorlo::app {
namespace {

using Log = std::vector<std::string>;

const Log kReleaseAll{"stop sound",  "stop midi",  "stop movie",  "stop cdaudio",  "stop capture",
                      "close sound", "close midi", "close movie", "close cdaudio", "close capture"};
const Log kReleaseDisc{"stop cdaudio", "close cdaudio"};

// Waits for the next modal message box, hands it to inspect, then presses the answer.
void AnswerNextBox(QMessageBox::StandardButton answer, std::function<void(const QMessageBox&)> inspect = {})
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        if (inspect)
            inspect(*box);
        if (QAbstractButton* button = box->button(answer))
            button->click();
        else
            box->reject();
    });
    poll->start(10);
}

// The window under test, with its display timer stopped so that every command in the log
// was caused by the test itself.
struct QuietForm {
    test::RecordingPlatform platform;
    media::ScopedMediaPlatform bound{platform};
    std::unique_ptr<Form1> form = std::make_unique<Form1>();

    QuietForm()
    {
        form->Controls().Timer1->stop();
        form->show();
        platform.ClearLog();
    }
};

struct Slack {
    double screen;
    double window;
    std::int32_t edge;
};

TEST(CentredEdge, RoundsTheSlackThenHalvesTowardZero)
{
    const Slack cases[] = {
        {19200, 2250, 8475},     // 1280 px screen, 150 px window: even slack
        {2161, 2160, 0},         // one twip of slack
        {2163, 2160, 1},         // odd slack halves toward zero
        {2157, 2160, -1},        // ...on both sides of zero
        {1500, 2250, -375},      // a screen narrower than the window: no clamping
        {2163.7, 2160, 2},       // 3.7 rounds to 4 before halving
        {2162.5, 2160, 1},       // a half goes to the even neighbour
        {2147483647.4, 0, 1073741823},
    };
    for (const Slack& c : cases)
        EXPECT_EQ(CentredEdge(c.screen, c.window), c.edge) << c.screen << " - " << c.window;
}

TEST(CentredEdge, SlackBeyondThirtyTwoBitsIsAnOverflow)
{
    for (const double screen : {2147483648.0, -2147483649.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(CentredEdge(screen, 0), std::overflow_error) << screen;
}

// The window is centred before it is shown; the frame the window system adds afterwards
// must end up centred too.
TEST(Lifecycle, TheFrameEndsUpCentredOnTheScreen)
{
    QuietForm quiet;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quiet.form.get()));
    const QPoint screenCentre = quiet.form->screen()->geometry().center();
    const auto offCentre = [&] { return quiet.form->frameGeometry().center() - screenCentre; };
    (void)QTest::qWaitFor([&] { return offCentre().manhattanLength() <= 2; }, 2000);
    EXPECT_LE(std::abs(offCentre().x()), 1);
    EXPECT_LE(std::abs(offCentre().y()), 1);
}

TEST(Lifecycle, ExitAnsweredNoChangesNothing)
{
    QuietForm quiet;
    bool asked = false;
    AnswerNextBox(QMessageBox::No, [&](const QMessageBox& box) {
        asked = true;
        EXPECT_EQ(box.windowTitle(), "Exit?");
        EXPECT_EQ(box.text(), "Are you sure you want to Exit?");
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    });
    quiet.form->Controls().Command1->click();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(quiet.platform.Log().empty());
    EXPECT_TRUE(quiet.form->isVisible());
}

TEST(Lifecycle, AboutNamesTheProductAndItsMaker)
{
    QuietForm quiet;
    bool shown = false;
    AnswerNextBox(QMessageBox::Ok, [&](const QMessageBox& box) {
        shown = true;
        EXPECT_EQ(box.windowTitle(), "About Vorlo Player");
        EXPECT_TRUE(box.text().contains("Vorlo Player") && box.text().contains("Vorlo Productions")) << box.text().toStdString();
        EXPECT_FALSE(box.text().contains('\n'));
        EXPECT_EQ(box.buttons().size(), 1);
    });
    quiet.form->Controls().Command2->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(quiet.platform.Log().empty());
}

TEST(Lifecycle, ClosingReleasesEveryAliasThenTheDisc)
{
    QuietForm quiet;
    quiet.form->close();
    EXPECT_EQ(quiet.platform.Log(), kReleaseAll);
    quiet.form.reset();
    Log expected = kReleaseAll;
    expected.insert(expected.end(), kReleaseDisc.begin(), kReleaseDisc.end());
    EXPECT_EQ(quiet.platform.Log(), expected);
    for (const std::uint32_t capacity : quiet.platform.Capacities())
        EXPECT_EQ(capacity, 128u);
}

// Each command that the media service's trace file records (its second field).
Log TracedCommands(const std::string& path)
{
    std::ifstream in(path);
    Log commands;
    for (std::string line; std::getline(in, line);) {
        const auto start = line.find('\t') + 1;
        commands.push_back(line.substr(start, line.find('\t', start) - start));
    }
    return commands;
}

// The same through the media service itself, as its trace shows it. The service reads
// VORLO_MCI_TRACE when it first runs, which is in this test: every other test here binds
// a double.
TEST(Lifecycle, ClosingTracesTheReleaseCommandsInOrder)
{
    const std::string path = testing::TempDir() + "vorlo-close-" + std::to_string(::getpid()) + ".trace";
    std::remove(path.c_str());
    ::setenv("VORLO_MCI_TRACE", path.c_str(), 1);
    {
        Form1 form;
        form.Controls().Timer1->stop();
        form.show();
        form.close();
    }
    Log expected = kReleaseAll;
    expected.insert(expected.end(), kReleaseDisc.begin(), kReleaseDisc.end());
    // The trace reaches its file within about 100 ms.
    (void)QTest::qWaitFor([&] { return TracedCommands(path).size() >= expected.size(); }, 3000);
    EXPECT_EQ(TracedCommands(path), expected);
    std::remove(path.c_str());
}

// A platform that writes each call to a file the moment it is made, so the log outlives
// a process that ends without unwinding.
class FileLogPlatform final : public media::MediaPlatform {
public:
    explicit FileLogPlatform(const std::string& path) : fd_(::open(path.c_str(), O_WRONLY | O_APPEND)) {}
    ~FileLogPlatform() override { ::close(fd_); }

    std::uint32_t SendString(std::string_view command, char* reply, std::uint32_t) override
    {
        Write(command);
        reply[0] = '\0';
        return test::RecordingPlatform::kNotOpen;
    }
    std::uint32_t GetDeviceId(std::string_view name) override
    {
        Write("deviceid " + std::string(name));
        return 0;
    }
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uintptr_t, void*) override
    {
        Write("command");
        return 257;
    }

private:
    void Write(std::string_view line)
    {
        const std::string text = std::string(line) + '\n';
        ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    int fd_;
};

// The child that runs the death test is this program started again, so it finds the log
// through the environment.
std::string ExitLogPath()
{
    constexpr const char* kVariable = "VORLO_TEST_EXIT_LOG";
    if (const char* path = std::getenv(kVariable))
        return path;
    const std::string path = testing::TempDir() + "vorlo-exit-" + std::to_string(::getpid()) + ".log";
    ::setenv(kVariable, path.c_str(), 1);
    return path;
}

TEST(LifecycleDeathTest, ExitAnsweredYesEndsAtOnceWithoutReleasing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = ExitLogPath();
    std::ofstream(path, std::ios::trunc) << "started\n";
    EXPECT_EXIT(
        {
            FileLogPlatform platform(path);
            media::ScopedMediaPlatform bound(platform);
            Form1 form;
            form.show();
            AnswerNextBox(QMessageBox::Yes);
            form.Controls().Command1->click();
        },
        testing::ExitedWithCode(0), "");

    std::ifstream in(path);
    Log log;
    for (std::string line; std::getline(in, line);)
        log.push_back(line);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "started");
    for (const std::string& line : log)
        EXPECT_TRUE(line.rfind("stop ", 0) != 0 && line.rfind("close ", 0) != 0) << line;
    std::remove(path.c_str());
}

} // namespace
} // namespace vorlo::app

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
