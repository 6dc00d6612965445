#include "tools/BlurTool.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    // Qt's picture readers for formats other than BMP come as plugins.
    QCoreApplication Application(argc, argv);
    return nebulo::RunBlurTool(QCoreApplication::arguments(), std::cin, std::cout, std::cerr);
}
