// What the command line takes as the disc, and what it refuses with a reason.
#include "support/TempFolder.h"

#include "app/CommandLine.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace vorlo::app {
namespace {

using Action = CommandLine::Action;

class CommandLineTest : public testing::Test {
protected:
    CommandLineTest()
    {
        QDir(Here()).mkdir("folder");
        for (const auto& [name, content] : {std::pair{"album.cue", "FILE"}, {"my album.toc", "CD_DA"},
                                            {"live:1999.NRG", "x"}, {"empty.cue", ""}, {"notes.txt", "x"}}) {
            QFile file(Here() + "/" + name);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QDir::setCurrent(Here());
    }
    ~CommandLineTest() override { QDir::setCurrent(previous_); }

    QString Here() const { return QString::fromStdString(dir_.Path().string()); }

private:
    test::TempFolder dir_;
    QString previous_ = QDir::currentPath();
};

TEST_F(CommandLineTest, TakesOneDiscByPathOrAddress)
{
    struct Row {
        const char* name;
        QStringList arguments;
        Action action;
        QString disc; // the path taken; for a refusal, a part of the reason
    };
    const QString here = Here();
    const Row rows[] = {
        {"no disc", {}, Action::Run, {}},
        {"a relative image", {"album.cue"}, Action::Run, here + "/album.cue"},
        {"an absolute image", {here + "/folder/../album.cue"}, Action::Run, here + "/album.cue"},
        {"a colon in a file name", {"live:1999.NRG"}, Action::Run, here + "/live:1999.NRG"},
        {"a file address", {"file://" + here + "/my%20album.toc"}, Action::Run, here + "/my album.toc"},
        {"a device node", {"/dev/null"}, Action::Run, "/dev/null"},
        {"a drive as desktops name it", {"cdda://null"}, Action::Run, "/dev/null"},
        {"a drive's node as an address", {"cdda:///dev/null"}, Action::Run, "/dev/null"},
        {"help", {"--help"}, Action::ShowHelp, {}},
        {"version", {"--version"}, Action::ShowVersion, {}},
        {"a missing image", {"/nonexistent.cue"}, Action::Refuse, "/nonexistent.cue"},
        {"a missing drive", {"cdda://sr99"}, Action::Refuse, "/dev/sr99"},
        {"a drive name that is a path", {"cdda://../etc"}, Action::Refuse, "no CD drive"},
        {"another scheme", {"https://example.org/album.cue"}, Action::Refuse, "https://example.org/album.cue"},
        {"a folder", {"folder"}, Action::Refuse, "folder"},
        {"an empty image", {"empty.cue"}, Action::Refuse, "empty"},
        {"not an image", {"notes.txt"}, Action::Refuse, "not a disc image"},
        {"an empty argument", {""}, Action::Refuse, "empty"},
        {"two discs", {"album.cue", "album.cue"}, Action::Refuse, "one disc"},
        {"an unknown option", {"--shuffle"}, Action::Refuse, "shuffle"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CommandLine line = ParseCommandLine(QStringList{"vorlo-player"} + row.arguments);
        EXPECT_EQ(line.action, row.action) << line.why.toStdString();
        if (row.action == Action::Refuse) {
            EXPECT_TRUE(line.why.contains(row.disc)) << line.why.toStdString();
            EXPECT_FALSE(line.why.contains('\n')) << "one line";
        } else {
            EXPECT_EQ(line.disc.value_or(QString()), row.disc);
        }
    }
}

} // namespace
} // namespace vorlo::app
