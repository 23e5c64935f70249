// Main of the test programs that need a real desktop: before Qt is set up it
// starts a private X desktop with a window manager and a tray host, so that Qt
// runs on xcb with the XEmbed tray. Where no desktop can be made the tests are
// skipped with the reason (DesktopTest.h).
#include "RunTests.h"
#include "TestHome.h"
#include "XDesktop.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool OnlyListing(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return true;
    }
    return false;
}

// Now and then a desktop does not come up while many start at once; a fresh
// one is tried before the tests are skipped for want of it.
std::unique_ptr<XDesktop> StartDesktop(QString& error)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto desktop = std::make_unique<XDesktop>();
        if (desktop->Start(XDesktop::EdgeFromEnvironment()))
            return desktop;
        error = desktop->Error();
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    // Without a session bus Qt uses the XEmbed tray, which reports the icon's real geometry.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");

    std::unique_ptr<XDesktop> desktop;
    QString error;
    if (OnlyListing(argc, argv)) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else if ((desktop = StartDesktop(error))) {
        ::setenv("DISPLAY", desktop->Display().toLocal8Bit().constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("TESSALY_NO_DESKTOP", error.toLocal8Bit().constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    return RunTests(argc, argv);
}
