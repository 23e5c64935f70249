#include "RunTests.h"
#include "TestHome.h"
#include "XDesktop.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

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

// A private X desktop with a window manager and a tray host, so that Qt runs on xcb with the XEmbed tray. Where
// none can be made, the tests are skipped with the reason (DesktopTest.h).
std::unique_ptr<XDesktop> PrepareDesktop(int argc, char** argv)
{
    // Without a session bus Qt uses the XEmbed tray, which reports the icon's real geometry.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    QString error;
    std::unique_ptr<XDesktop> desktop;
    if (std::any_of(
            argv + 1, argv + argc, [](const char* arg) { return std::strcmp(arg, "--gtest_list_tests") == 0; })) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else if ((desktop = StartDesktop(error))) {
        ::setenv("DISPLAY", desktop->Display().toLocal8Bit().constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("TESSALY_NO_DESKTOP", error.toLocal8Bit().constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    return desktop;
}

} // namespace

int RunTests(int argc, char** argv, bool desktop)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::unique_ptr<XDesktop> xDesktop = desktop ? PrepareDesktop(argc, argv) : nullptr;
    ::setenv("QT_NO_GLIB", "1", 1); // the program's own event dispatcher
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
