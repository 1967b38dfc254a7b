// The widget tests need one QApplication for the whole run, made before any test. They
// run offscreen; a test program built with VORLO_ON_SCREEN uses the X server that
// scripts/test starts instead, when DISPLAY names one.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
#ifdef VORLO_ON_SCREEN
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    // CTest sets the offscreen platform; a test program started by hand may not.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
