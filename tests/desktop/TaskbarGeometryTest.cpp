#include "DesktopTest.h"
#include "Taskbar.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>

// The desktop the other desktop tests rely on, and what the taskbar layer
// makes of it: the panel's strut reaches Qt as the screen's available area,
// the panel at the bottom is found with its full strip, and a tray inside it
// reports where a docked icon sits.
TEST(TaskbarGeometryTest, FindsThePanelOfTheDesktopAndTheIconInsideIt)
{
    REQUIRE_DESKTOP();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_LT(screen->availableGeometry().height(), screen->geometry().height()) << "the panel reserved no strip";
    int edge = TaskbarEdge::Unknown;
    const QRect panel = GetTaskbarGeometry(edge);
    EXPECT_EQ(edge, TaskbarEdge::Bottom);
    EXPECT_EQ(panel.width(), screen->geometry().width());
    EXPECT_EQ(panel.bottom(), screen->geometry().bottom());
    EXPECT_EQ(panel.top(), screen->availableGeometry().bottom() + 1);

    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon icon {QIcon(pixmap)};
    icon.show();
    // The icon docks a little after it is shown; its first geometry may be the undocked one.
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.contains(icon.geometry().center()); }, 5000))
        << "icon at " << icon.geometry().x() << "," << icon.geometry().y();
    int trayEdge = TaskbarEdge::Unknown;
    EXPECT_EQ(GetTaskbarGeometry(trayEdge, icon.geometry()), panel);
    EXPECT_EQ(trayEdge, TaskbarEdge::Bottom);
}
