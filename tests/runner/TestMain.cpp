// Shared main of every test program: each process gets fresh HOME and XDG
// folders before Qt is set up, so no test touches the real user's files.
#include "RunTests.h"
#include "TestHome.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    return RunTests(argc, argv);
}
