#include "DesktopTest.h"
#include "Taskbar.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>

// On a real desktop the panel's strut reaches Qt as the screen's available
// area: the panel at the bottom is found with its full strip, and the docked
// tray icon lies inside it.
TEST(TaskbarGeometryTest, FindsThePanelOfTheDesktop)
{
    REQUIRE_DESKTOP();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    int edge = TaskbarEdge::Unknown;
    const QRect panel = GetTaskbarGeometry(edge);
    EXPECT_EQ(edge, TaskbarEdge::Bottom);
    EXPECT_EQ(panel.width(), screen->geometry().width());
    EXPECT_EQ(panel.bottom(), screen->geometry().bottom());
    EXPECT_EQ(panel.top(), screen->availableGeometry().bottom() + 1);

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon icon {QIcon(pixmap)};
    icon.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.contains(icon.geometry().center()); }, 5000));
    int trayEdge = TaskbarEdge::Unknown;
    EXPECT_EQ(GetTaskbarGeometry(trayEdge, icon.geometry()), panel);
    EXPECT_EQ(trayEdge, TaskbarEdge::Bottom);
}
