// Main of every test program: each process gets fresh HOME and XDG folders before Qt is set up, so no test touches
// the real user's files. The desktop programs' main (TESSALY_DESKTOP_MAIN) first starts a private X desktop with a
// window manager and a tray host, so that Qt runs on xcb with the XEmbed tray; where none can be made, the tests
// skip with the reason (DesktopTest.h).
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

// Now and then a desktop does not come up while many start at once; a fresh one is tried before the tests skip.
std::unique_ptr<XDesktop> StartDesktop()
{
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto desktop = std::make_unique<XDesktop>();
        if (desktop->Start(XDesktop::EdgeFromEnvironment())) {
            ::setenv("DISPLAY", desktop->Display().toLocal8Bit().constData(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            return desktop;
        }
        error = desktop->Error();
    }
    ::setenv("TESSALY_NO_DESKTOP", error.toLocal8Bit().constData(), 1);
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    TestHome::PointAt(root.path());
    std::unique_ptr<XDesktop> desktop;
    if (TESSALY_DESKTOP_MAIN) {
        // Without a session bus Qt uses the XEmbed tray, which reports the icon's real geometry.
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        const auto listing = [](const char* arg) { return std::strcmp(arg, "--gtest_list_tests") == 0; };
        if (std::none_of(argv + 1, argv + argc, listing))
            desktop = StartDesktop();
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", TESSALY_DESKTOP_MAIN && !desktop);
    ::setenv("QT_NO_GLIB", "1", 1); // the program's own event dispatcher
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
