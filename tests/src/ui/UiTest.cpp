#include "Ui.h"
#include "CleanStores.h"
#include "LogCapture.h"
#include "MainWindow.h"
#include "Popup.h"
#include "QtPrinters.h"
#include "SelectedStick.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Ui::State;

class UiTest : public ::testing::Test {
protected:
    UiTest()
    {
        facade = std::make_unique<Ui::Ui>();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<Ui::MainWindow*>(widget))
                window = found;
        }
        popup = window->findChild<Ui::Popup*>();
        tray = facade->findChild<Ui::TrayIcon*>();
        icon = tray->findChild<QSystemTrayIcon*>();
    }
    QString PopupText() { return popup->findChild<QLabel*>("labelContentText")->text(); }
    int PageIndex() { return window->findChild<QStackedWidget*>("stackedWidgetMainWindow")->currentIndex(); }
    void ClickTray() { emit icon->activated(QSystemTrayIcon::Trigger); }

    // Whether each step, a function and the start of its message, first
    // appears in the records in the order given.
    static bool InOrder(const LogCapture& log, const std::vector<std::pair<std::string, std::string>>& steps)
    {
        const auto records = log.Records();
        int last = -1;
        for (const auto& [function, message] : steps) {
            const auto found = std::find_if(records.begin(), records.end(), [&](const LogCapture::Record& record) {
                return record.function == function && record.message.rfind(message, 0) == 0;
            });
            const int at = found == records.end() ? -1 : static_cast<int>(found - records.begin());
            if (at <= last)
                return false;
            last = at;
        }
        return true;
    }

    CleanStores stores;
    std::unique_ptr<Ui::Ui> facade;
    Ui::MainWindow* window = nullptr;
    Ui::Popup* popup = nullptr;
    Ui::TrayIcon* tray = nullptr;
    QSystemTrayIcon* icon = nullptr;
};

// A state given again is logged once, yet the window, the tray icon and the
// popup each apply it again, in that order, and the popup is placed again.
TEST_F(UiTest, SameStateIsAppliedAgainByAllThreeInOrder)
{
    SelectStick();
    MapInfo map;
    map.id = "first";
    map.type = MapInfo::Optional;
    map.state = MapInfo::Available;
    map.root = true;
    MapStorage::Instance().UpdateMap(map);
    facade->SetState(State::RootUpdate);
    facade->SetState(State::OptionalUpdate);
    popup->hide();
    icon->setToolTip("stale");
    LogCapture log;
    facade->SetState(State::OptionalUpdate);
    EXPECT_EQ(log.Count(Log::Info, "Changing state from: "), 0);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(icon->toolTip(), "Tessaly\r\nMap updates available");
    EXPECT_TRUE(InOrder(log,
        {{"Ui::MainWindow::SetOptionalMap", "Setting optional map: "},
            {"Ui::Popup::setVisible", "Setting popup visibility to: true"},
            {"Ui::Popup::SetGeometry", "Updating popup geometry from: "}}));

    LogCapture change;
    facade->SetState(State::UpToDate);
    EXPECT_EQ(change.Count(Log::Info, "Changing state from: OptionalUpdate to: UpToDate"), 1);
    EXPECT_TRUE(InOrder(change,
        {{"Ui::MainWindow::SetState", "Changing state from: "}, {"Ui::TrayIcon::SetState", "Changing state from: "},
            {"Ui::Popup::SetState", "Changing state from: "}}));
}

// "Continue" on the removed-stick message lets the popup catch up with the
// state reached meanwhile, before the window hears of the link.
TEST_F(UiTest, ContinueLinkReappliesTheCurrentStateFirst)
{
    facade->SetState(State::UsbRemoved);
    facade->SetState(State::MapUpdateCheck);
    ASSERT_TRUE(PopupText().startsWith("The USB stick has been removed"));
    LogCapture log;
    QTest::mouseClick(popup->findChild<QPushButton*>("pushButtonContentLink"), Qt::LeftButton);
    EXPECT_EQ(PopupText(), "Checking for map updates. Please do not disconnect the USB stick.");
    EXPECT_TRUE(InOrder(log,
        {{"Ui::Popup::SetState", "Changing state from: RootUpdate to: MapUpdateCheck"},
            {"Ui::MainWindow::PopupClicked", "Popup link: Continue clicked"}}));
    EXPECT_EQ(log.Count(Log::Info, "Changing state from: "), 0);
}

// A second start of the program: a minimized window is restored, a maximized
// one left as it is; otherwise, and for any hidden window whatever its
// flags, the popup comes up.
TEST_F(UiTest, ActivateRestoresAMinimizedWindowOrShowsThePopup)
{
    const struct {
        const char* name;
        bool shown;
        Qt::WindowStates windowState;
        bool popupShows;
        bool restored;
    } cases[] = {
        {"minimized", true, Qt::WindowMinimized, false, true},
        {"maximized", true, Qt::WindowMaximized, false, false},
        {"normal", true, Qt::WindowNoState, true, false},
        {"hidden", false, Qt::WindowNoState, true, false},
        {"minimized, then hidden by a check", false, Qt::WindowMinimized, true, false},
        {"maximized, then hidden by a check", false, Qt::WindowMaximized, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        popup->hide();
        window->setWindowState(Qt::WindowNoState);
        window->show();
        window->setWindowState(c.windowState);
        window->setVisible(c.shown);
        ASSERT_EQ(window->windowState(), c.windowState);
        facade->Activate();
        EXPECT_EQ(popup->isVisible(), c.popupShows);
        if (c.restored) {
            EXPECT_FALSE(window->windowState().testFlag(Qt::WindowMinimized));
        }
        if (c.windowState == Qt::WindowMaximized && c.shown) {
            EXPECT_EQ(window->windowState(), Qt::WindowMaximized);
        }
    }
}

TEST_F(UiTest, TrayClickTogglesThePopupAndMenuOpensTheWindow)
{
    LogCapture log;
    ClickTray();
    EXPECT_TRUE(popup->isVisible());
    ClickTray();
    EXPECT_FALSE(popup->isVisible());
    ClickTray();
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(log.Count(Log::Info, "Showing popup dialog"), 2);
    EXPECT_EQ(log.Count(Log::Info, "Hiding popup dialog"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: "), 2);

    emit icon->activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(popup->isVisible());

    facade->SetState(State::UpToDate);
    icon->contextMenu()->actions().at(1)->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(PageIndex(), static_cast<int>(Ui::MainWindow::Page::Settings));
    window->hide();
    icon->contextMenu()->actions().at(0)->trigger();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(UiTest, SticksLanguageAndQuitReachTheirParts)
{
    facade->SetState(State::UpToDate);
    ASSERT_FALSE(popup->findChild<QWidget*>("widgetStatus")->isVisibleTo(popup));
    SelectStick();
    LogCapture log;
    facade->UpdateUsbs();
    EXPECT_TRUE(popup->findChild<QWidget*>("widgetStatus")->isVisibleTo(popup));
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: "), 1);

    emit facade->UpdateLocale();
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: "), 2);

    facade->ConfirmQuit();
    EXPECT_EQ(PageIndex(), static_cast<int>(Ui::MainWindow::Page::Message));
}

// The tray icon goes first, then the popup, then the window; nothing of them
// is left behind, and a fade under way dies with the popup.
TEST_F(UiTest, DestructionRemovesTrayIconThenPopupThenWindow)
{
    facade->SetState(State::UpToDate);
    popup->OnFadeTimeout();
    std::vector<std::string> order;
    QObject::connect(tray, &QObject::destroyed, [&] { order.push_back("tray"); });
    QObject::connect(popup, &QObject::destroyed, [&] { order.push_back("popup"); });
    QObject::connect(window, &QObject::destroyed, [&] { order.push_back("window"); });
    QPointer<QSystemTrayIcon> trayIcon = icon;
    facade.reset();
    EXPECT_EQ(order, std::vector<std::string>({"tray", "popup", "window"}));
    EXPECT_TRUE(trayIcon.isNull());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    QTest::qWait(100); // no timer of theirs fires any more
}
