#include "DesktopTest.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

// The desktop the other desktop tests rely on: a panel that reserves a strip of
// the screen, and a tray inside it that reports where an icon sits.
TEST(TrayHostTest, IconSitsInsideThePanelStrip)
{
    REQUIRE_DESKTOP();
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect full = screen->geometry();
    const QRect available = screen->availableGeometry();
    ASSERT_LT(available.height(), full.height()) << "the panel reserved no strip";

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon icon {QIcon(pixmap)};
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    icon.show();
    const QRect strip(full.left(), available.bottom() + 1, full.width(), full.bottom() - available.bottom());
    // The icon docks a little after it is shown; its first geometry may be the undocked one.
    EXPECT_TRUE(QTest::qWaitFor([&] { return strip.contains(icon.geometry().center()); }, 5000))
        << "icon at " << icon.geometry().x() << "," << icon.geometry().y();
}
