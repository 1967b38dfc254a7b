#include "app/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    vorlo::app::Form1 form;
    form.show();
    return application.exec();
}
