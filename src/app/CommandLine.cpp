#include "app/CommandLine.h"

#include "app/DiscArgument.h"
#include "resources/Identity.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vorlo::app {
namespace {

constexpr const char* kDiscName = "DISC";

void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QString::fromUtf8(identity::kFileDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QString::fromLatin1(kDiscName),
        QStringLiteral("The disc to play: a disc image (.cue, .toc, .nrg), a CD drive (/dev/sr0), or a "
                       "file:// or cdda:// address. Without it, the one VORLO_CDROM names, or the "
                       "default CD drive."),
        QStringLiteral("[%1]").arg(QString::fromLatin1(kDiscName)));
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    Describe(parser);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.why = parser.errorText();
        return line;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        line.action = CommandLine::Action::ShowHelp;
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.action = CommandLine::Action::ShowVersion;
        return line;
    }
    const QStringList discs = parser.positionalArguments();
    if (discs.size() > 1) {
        line.action = CommandLine::Action::Refuse;
        line.why = QStringLiteral("one disc at a time, not %1").arg(discs.size());
        return line;
    }
    if (discs.size() == 1) {
        line.disc = ResolveDisc(discs.front(), line.why);
        if (!line.disc)
            line.action = CommandLine::Action::Refuse;
    }
    return line;
}

std::optional<QString> ReadCommandLineOrExit(const QStringList& arguments)
{
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::Run: return line.disc;
    case CommandLine::Action::ShowHelp: {
        QCommandLineParser parser;
        Describe(parser);
        parser.showHelp(EXIT_SUCCESS);
    }
    case CommandLine::Action::ShowVersion: {
        QCommandLineParser parser;
        Describe(parser);
        parser.showVersion();
    }
    case CommandLine::Action::Refuse: break;
    }
    std::fprintf(stderr, "%s: %s\n", identity::kExecutableName, qPrintable(line.why.simplified()));
    std::exit(kBadArgumentStatus);
}

void AnswerHelpOrVersion(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Action action = ParseCommandLine(arguments).action;
    // A refusal is answered here only for a disc argument: an option unknown here may be
    // one of the window system's (-session, -platform), which QApplication takes first.
    const bool options = std::any_of(arguments.begin() + 1, arguments.end(),
                                     [](const QString& argument) { return argument.startsWith(u'-'); });
    if (action == CommandLine::Action::Run || (action == CommandLine::Action::Refuse && options))
        return;
    const QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QString::fromUtf8(identity::kProductName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(identity::kDisplayVersion));
    ReadCommandLineOrExit(QCoreApplication::arguments());
}

} // namespace vorlo::app
