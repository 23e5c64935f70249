// Shared main of every test program: each process gets fresh HOME and XDG
// folders before Qt is set up, so no test touches the real user's files.
#include "TestHome.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    ::setenv("QT_NO_GLIB", "1", 1); // the program's own event dispatcher
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
