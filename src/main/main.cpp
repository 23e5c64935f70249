#include "Config.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    QApplication::setQuitOnLastWindowClosed(false);
    Config::Instance();
    return 0;
}
