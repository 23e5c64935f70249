#include "DesktopTest.h"
#include "KeyboardWitness.h"
#include "MapStorage.h"
#include "Popup.h"
#include "Resources.h"
#include "SelectedStick.h"
#include "Taskbar.h"
#include "TrayIcon.h"
#include "Ui.h"

#include <QMenu>
#include <QScreen>

using Ui::State;

// The facade on a real desktop: a window manager whose panel (the tray host) reserves a strip on one edge of the
// screen (Qt's available area) and docks the tray icon inside.
class PopupDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DESKTOP();
        TearDown();
        SelectStick(); // the popup shows its status strip
        Fonts::Load();
        facade = std::make_unique<Ui::Ui>();
        tray = facade->findChild<Ui::TrayIcon*>();
        for (QWidget* widget : QApplication::topLevelWidgets())
            popup = popup ? popup : qobject_cast<Ui::Popup*>(widget);
        ASSERT_NE(popup, nullptr);
    }
    void TearDown() override { facade.reset(), MapStorage::Instance().Clear(), UsbStorage::Instance().Clear(); }

    // Waits for the popup to be mapped and moved by the window manager, after the icon has docked in the panel (before
    // that it reads as a window of its own at the screen's origin) when asked.
    void Show(State state, bool docked = true)
    {
        facade->SetState(state);
        int edge = TaskbarEdge::Unknown;
        const QRect panel = GetTaskbarGeometry(edge);
        QRect icon;
        ASSERT_TRUE(!docked
            || QTest::qWaitFor(
                [&] { return (icon = tray->GetGeometry()).topLeft() != QPoint(0, 0) && panel.contains(icon.center()); },
                5000))
            << "icon at " << icon.x() << "," << icon.y();
        if (docked)
            facade->UpdateUsbs(); // places the popup by the docked icon
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible() && popup->windowHandle()->isExposed(); }, 5000));
        QTest::qWait(300);
    }
    QPoint IconCentre() const { return tray->GetGeometry().center(); }
    static void Screenshot(const QString& name) // when TESSALY_PICTURES names a folder
    {
        const QString folder = qEnvironmentVariable("TESSALY_PICTURES");
        EXPECT_TRUE(
            folder.isEmpty() || QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name + ".png"));
    }

    std::unique_ptr<Ui::Ui> facade;
    Ui::TrayIcon* tray = nullptr;
    Ui::Popup* popup = nullptr;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
};

// Run once per panel edge (TESSALY_DESKTOP_EDGE): the edge found is the panel's, the popup inside the available area.
class PopupOnEdgeTest : public PopupDesktopTest { };

TEST_F(PopupOnEdgeTest, SitsAgainstThePanelBesideTheIcon)
{
    Show(State::UpToDate);
    const struct {
        int edge;
        int (QRect::*side)() const;
        const char* name;
    } edges[] = {{TaskbarEdge::Bottom, &QRect::bottom, "bottom"}, {TaskbarEdge::Top, &QRect::top, "top"},
        {TaskbarEdge::Left, &QRect::left, "left"}, {TaskbarEdge::Right, &QRect::right, "right"}};
    const auto panel = XDesktop::EdgeFromEnvironment();
    const auto& expected = edges[static_cast<int>(panel)];
    int edge = TaskbarEdge::Unknown;
    GetTaskbarGeometry(edge);
    const QRect placed = popup->frameGeometry(), icon = tray->GetGeometry();
    EXPECT_TRUE(area.contains(placed)) << "popup at " << placed.x() << "," << placed.y();
    EXPECT_EQ(edge, expected.edge);
    EXPECT_EQ((placed.*expected.side)(), (area.*expected.side)());
    const bool overIcon = placed.left() <= icon.center().x() && icon.center().x() <= placed.right() + 1;
    EXPECT_TRUE(panel == XDesktop::Edge::Bottom || panel == XDesktop::Edge::Top
            ? overIcon || placed.right() == area.right()
            : placed.bottom() == icon.bottom() || placed.bottom() == area.bottom());
    Screenshot(QString("desktop-popup-%1").arg(expected.name));
}

// The first state comes before the icon has docked: its popup already sits at the panel's tray end.
TEST_F(PopupDesktopTest, FirstPopupSitsAgainstThePanelIconClicksToggleItAndRightClickOpensTheMenu)
{
    Show(State::UpToDate, false);
    EXPECT_EQ(popup->frameGeometry().bottomRight(), area.bottomRight());
    Show(State::OptionalUpdate);
    ASSERT_TRUE(XDesktop::Click(IconCentre()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup->isVisible(); }, 3000));
    QTest::qWait(QApplication::doubleClickInterval() + 200); // not a double click
    const QRect before = popup->frameGeometry();
    ASSERT_TRUE(XDesktop::Click(IconCentre()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 3000));
    EXPECT_EQ(popup->frameGeometry(), before);

    QTest::qWait(QApplication::doubleClickInterval() + 200);
    QMenu* menu = tray->findChild<QSystemTrayIcon*>()->contextMenu();
    ASSERT_TRUE(XDesktop::Click(IconCentre(), 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 3000));
    EXPECT_TRUE(popup->isVisible());
    QTest::qWait(300);
    Screenshot("desktop-tray-menu");
    menu->hide();
}

// A state change brings the popup up above the window the user is typing in, which keeps the keys: Return, Space
// and typing never reach the popup's link (here "Dismiss", which would cancel a download). With the pointer over it
// the popup is kept above other windows; leaving lets it go back among them.
TEST_F(PopupDesktopTest, ComesUpAboveTheActiveWindowWhichKeepsTheKeysAndStaysOnTopWhileHovered)
{
    KeyboardWitness typing;
    ASSERT_TRUE(typing.Start());
    QSignalSpy links(popup, &Ui::Popup::LinkClicked);
    Show(State::UsbBlocked);
    const QList<unsigned long> stack = XDesktop::Stacking();
    EXPECT_GT(stack.indexOf(popup->winId()), stack.indexOf(typing.Window()));
    const QStringList keys {"Return", "space", "t", "y", "p", "e"};
    ASSERT_TRUE(XDesktop::Press(keys));
    EXPECT_TRUE(QTest::qWaitFor([&] { return typing.Keys() == keys; }, 5000)) << typing.Keys().join(' ').toStdString();
    EXPECT_TRUE(typing.Active() && links.isEmpty());

    const auto above
        = [this] { return XDesktop::WindowProperty(popup->winId(), "_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE"); };
    EXPECT_FALSE(above());
    ASSERT_TRUE(XDesktop::MovePointer(popup->frameGeometry().center()));
    EXPECT_TRUE(QTest::qWaitFor(above, 3000));
    EXPECT_TRUE(popup->isVisible() && popup->windowOpacity() == 1.0);
    ASSERT_TRUE(XDesktop::MovePointer(area.center() - QPoint(300, 200)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !above(); }, 3000));
    EXPECT_TRUE(popup->isVisible()); // another 5000 ms before it fades
}
