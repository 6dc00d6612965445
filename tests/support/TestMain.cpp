#ifdef NEBULO_TEST_WIDGETS
#include <QApplication>
using TTestApplication = QApplication;
#else
#include <QGuiApplication>
using TTestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

// Every test program's main: a widget application object for the programs
// that show widgets, a plain Gui one for the others.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Unit tests never need a display, also when CTest lists them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TTestApplication Application(argc, argv);
    return RUN_ALL_TESTS();
}
