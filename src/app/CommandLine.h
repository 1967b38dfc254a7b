#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The player's command line: vorlo-player [--help] [--version] [DISC]. UI thread only.
namespace vorlo::app {

// The exit status of a command line the player refuses.
inline constexpr int kBadArgumentStatus = 2;

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Run;
    std::optional<QString> disc; // Run: the absolute path of the disc named, if one was
    QString why;                 // Refuse: one line saying what is wrong
};

// Reads the arguments (the program's name first, Qt's own options already taken out).
// DISC is what ResolveDisc takes. Needs the application's name and version set; touches
// nothing but the file system.
CommandLine ParseCommandLine(const QStringList& arguments);

// Parses as above and acts on what is not a run: prints the help or the version on
// standard output and ends the process with status 0, or prints "vorlo-player: REASON"
// on standard error and ends it with kBadArgumentStatus. Returns the disc to play, if any.
std::optional<QString> ReadCommandLineOrExit(const QStringList& arguments);

// Answers --help, --version and a disc argument that cannot be played, and exits, before
// any window system is touched, so that they work in a terminal without a display;
// returns for every other command line.
void AnswerHelpOrVersion(int argc, char* argv[]);

} // namespace vorlo::app
