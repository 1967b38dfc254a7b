#include "app/CommandLine.h"
#include "app/DiscArgument.h"
#include "app/Form1.h"
#include "app/Mpris.h"
#include "resources/ProgramIdentity.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    vorlo::app::AnswerHelpOrVersion(argc, argv);
    QApplication application(argc, argv);
    vorlo::identity::ApplyToApplication();
    // The disc named on the command line, if any, is the one Play opens; a player that
    // already runs takes it over instead, and this one ends.
    const auto disc = vorlo::app::ReadCommandLineOrExit(QApplication::arguments());
    if (const auto status = vorlo::app::HandOverToRunningPlayer(disc))
        return *status;
    if (disc)
        vorlo::app::ChooseDisc(*disc);
    vorlo::app::Form1 form;
    const vorlo::app::MprisService mpris(form);
    form.show();
    return application.exec();
}
