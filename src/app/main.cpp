#include "app/Form1.h"
#include "resources/ProgramIdentity.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    vorlo::identity::ApplyToApplication();
    vorlo::app::Form1 form;
    form.show();
    return application.exec();
}
