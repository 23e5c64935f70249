// Main of every test program: fresh HOME and XDG folders before Qt is set up. The desktop programs' main first starts
// a private X desktop (window manager, tray host) for Qt on xcb; where none can be made, the tests skip with the
// reason.
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

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    std::unique_ptr<XDesktop> desktop;
    const auto listing = [](const char* arg) { return std::strcmp(arg, "--gtest_list_tests") == 0; };
    if (TESSALY_DESKTOP_MAIN && std::none_of(argv + 1, argv + argc, listing)) {
        // Without a session bus Qt uses the XEmbed tray, which reports the icon's real geometry. Now and then a
        // desktop does not come up while many start at once; a fresh one is tried before the tests skip. Started on
        // the main thread, which lives as long as the process, so the desktop ends with it even when it is killed.
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        QString error;
        for (int attempt = 0; attempt < 2 && !desktop; ++attempt)
            if (!(desktop = std::make_unique<XDesktop>())->Start(XDesktop::EdgeFromEnvironment()))
                error = desktop->Error(), desktop.reset();
        ::setenv(desktop ? "DISPLAY" : "TESSALY_NO_DESKTOP",
            (desktop ? desktop->Display() : error).toLocal8Bit().constData(), 1);
    }
    ::setenv("QT_QPA_PLATFORM", desktop ? "xcb" : "offscreen", TESSALY_DESKTOP_MAIN); // others: the user may override
    ::setenv("QT_NO_GLIB", "1", 1); // the program's own event dispatcher
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
