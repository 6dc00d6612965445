#include "app/Blur1.h"
#include "toolkit/widgets/Application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    nebulo::TGuardedApplication Qt(argc, argv);
    using namespace nebulo;
    Application().Initialize();
    Application().CreateForm(Form1);
    return Application().Run();
}
