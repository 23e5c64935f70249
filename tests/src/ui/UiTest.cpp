#include "UiTest.h"

// Each state entered from an offer on show: what the window, the popup and the tray icon make of it. The same state
// again never hides the window; Unknown shows nothing; no text makes Qt warn about a missing place marker.
TEST_F(UiTest, EveryStateReachesWindowPopupAndTray)
{
    SelectStick();
    const std::set<State> hides = {State::MapUpdateCheck, State::MetadataCorrupt, State::NoSubscription,
        State::UsbRemoved, State::NoConnection, State::ServerError};
    const std::set<State> settingsOff
        = {State::CancelDownload, State::MapDownload, State::MapUpdateCheck, State::UsbCheck};
    const std::set<State> banner = {State::CancelDownload, State::MapDownload, State::PendingUpdate};
    QSignalSpy links(popup, &Ui::Popup::LinkClicked);
    QtMessages argWarnings("QString::arg");
    std::set<qint64> trayPictures;
    EXPECT_FALSE(icon->isVisible()) << "the icon waits for the first state";
    const int count = static_cast<int>(State::UsbTooSmall) + 1, unknownValue = static_cast<int>(State::Unknown);
    for (int step = 0; step < count; ++step) {
        const State state = static_cast<State>((unknownValue + step) % count); // Unknown first, before any other
        const bool unknown = state == State::Unknown;
        SCOPED_TRACE(PrintToString(state));
        if (!unknown) {
            facade->SetState(State::OptionalUpdate);
            window->ShowMapsPage();
        }
        facade->SetState(state);
        if (!unknown) {
            EXPECT_EQ(window->isVisible(), hides.count(state) == 0);
            EXPECT_EQ(Child(window, "pushButtonMapUpdates")->isEnabled(), hides.count(state) == 0);
            EXPECT_EQ(Child(window, "pushButtonSettings")->isEnabled(), settingsOff.count(state) == 0);
            EXPECT_EQ(Child(window, "widgetNotificationBanner")->isVisibleTo(window), banner.count(state) == 1);
            window->ShowMapsPage(); // the user opens the window again
            facade->SetState(state);
            EXPECT_TRUE(window->isVisible()) << "the same state again must not hide the window";
        }
        const QStringList tip = icon->toolTip().split("\r\n");
        ASSERT_EQ(tip.size(), 2);
        EXPECT_EQ(tip[1].isEmpty(), unknown);
        EXPECT_EQ(icon->icon().pixmap(32).isNull(), unknown);
        if (!unknown)
            trayPictures.insert(icon->icon().cacheKey());
        EXPECT_EQ(Entry(0)->isEnabled() || Entry(1)->isEnabled(), state != State::MapUpdateCheck);
        const auto shows = [&](const char* name) { return Child(popup, name)->isVisibleTo(popup); };
        const auto* picture = Child<QLabel>(popup, "labelContentIcon");
        EXPECT_TRUE(!shows("labelContentIcon") || !picture->pixmap(Qt::ReturnByValue).isNull()
            || (picture->movie() && picture->movie()->isValid()));
        auto* link = Child<QPushButton>(popup, "pushButtonContentLink");
        const bool hasLink = shows("pushButtonContentLink");
        EXPECT_EQ(hasLink, link->property("LinkId").toInt() != static_cast<int>(Ui::PopupLink::Blank));
        EXPECT_EQ(unknown, !shows("labelContentTitle") && !shows("labelContentText") && !hasLink);
        if (hasLink) {
            links.clear();
            Click(link);
            ASSERT_EQ(links.count(), 1);
            EXPECT_TRUE(state != State::UsbTooSmall // "Manage maps" here dismisses the download
                || links.at(0).at(0).value<Ui::PopupLink>() == Ui::PopupLink::Dismiss);
        }
    }
    EXPECT_EQ(argWarnings.found, QStringList());
    EXPECT_EQ(trayPictures.size(), 4u) << "the default, attention, progress and finished pictures";
    EXPECT_EQ(PrintToString(State::UsbTooSmall) + PrintToString(Ui::PopupLink::Retry), "UsbTooSmallRetry");
    // Values read from elsewhere may lie outside the enumerations: they print as nothing, not past the names.
    EXPECT_EQ(PrintToString(static_cast<State>(-1)) + PrintToString(static_cast<State>(count))
            + PrintToString(static_cast<Ui::PopupLink>(6)),
        "");
}

TEST_F(UiTest, LanguageChangeTranslatesEverythingAnewAlsoWhileHeld)
{
    MarkingTranslator translator;
    const auto changeLanguage = [&] {
        QCoreApplication::installTranslator(&translator);
        emit facade->UpdateLocale();
        QCoreApplication::removeTranslator(&translator);
    };
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    facade->SetState(State::RootUpdate);
    changeLanguage();
    EXPECT_EQ(Child<QLabel>(Row(0), "labelTitle")->text(), "[de] Available maps");
    EXPECT_EQ(Button("pushButtonMapUpdates")->text(), "[DE] MAP UPDATES");
    facade->SetState(State::UsbRemoved);
    popup->hide();
    changeLanguage();
    EXPECT_EQ(Entry(0)->text() + Entry(2)->text(), "[de] Open application[de] Quit");
    EXPECT_EQ(Child<QPushButton>(popup, "pushButtonContentLink")->text(), "[de] Continue");
    EXPECT_EQ(Child<QLabel>(popup, "labelStatusText")->text(), "[de] Error");
    EXPECT_TRUE(icon->toolTip().section("\r\n", 1).startsWith("[de] "));
    popup->OnFadeTimeout(); // a fade step under way
    EXPECT_TRUE(popup->isVisible());
}

// "Open application" is decided afresh at every SetState.
TEST_F(UiTest, NetworkErrorsOfferTheWindowExactlyWhileADownloadIsHeld)
{
    for (State state : {State::NoConnection, State::ServerError}) {
        SCOPED_TRACE(PrintToString(state));
        for (const bool held : {false, true, false}) {
            MapStorage::Instance().Clear();
            if (held)
                Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
            EXPECT_FALSE(Entry(0)->isEnabled() && held) << "nothing changes until the state is set again";
            facade->SetState(state);
            EXPECT_EQ(Entry(0)->isEnabled(), held);
        }
        EXPECT_TRUE(Entry(1)->isEnabled());
    }
}

// A second start: a shown maximized window is left as it is; a hidden one brings the popup, whatever its flags.
TEST_F(UiTest, ActivateRestoresAMinimizedWindowOrShowsThePopup)
{
    for (bool shown : {true, false}) {
        for (Qt::WindowState windowState : {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowNoState}) {
            SCOPED_TRACE(std::to_string(shown) + " " + std::to_string(windowState));
            popup->hide();
            window->setWindowState(Qt::WindowNoState);
            window->show();
            window->setWindowState(windowState);
            window->setVisible(shown);
            facade->Activate();
            EXPECT_EQ(popup->isVisible(), !shown || windowState == Qt::WindowNoState);
            EXPECT_EQ(window->windowState() & ~Qt::WindowActive,
                shown && windowState == Qt::WindowMinimized ? Qt::WindowNoState : windowState);
        }
    }
}

// A click on the tray icon toggles the popup, a right click leaves it; the menu opens the window on its pages.
TEST_F(UiTest, TrayClickTogglesThePopupAndMenuOpensTheWindow)
{
    for (const bool shown : {true, false, true}) {
        emit icon->activated(QSystemTrayIcon::Trigger);
        EXPECT_EQ(popup->isVisible(), shown);
    }
    emit icon->activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(popup->isVisible());
    facade->SetState(State::UpToDate);
    Entry(1)->trigger(); // "Settings"
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Index("stackedWidgetMainWindow"), static_cast<int>(Ui::MainWindow::Page::Settings));
    window->hide();
    Entry(0)->trigger(); // "Open application"
    EXPECT_TRUE(window->isVisible());
}

// A stick change reaches the popup's strip and places the popup again, as a new language does; asked to quit, the
// window shows its question.
TEST_F(UiTest, SticksLanguageAndQuitReachTheirParts)
{
    facade->SetState(State::UpToDate);
    ASSERT_FALSE(Child(popup, "widgetStatus")->isVisibleTo(popup));
    SelectStick();
    const LogCapture log;
    facade->UpdateUsbs();
    EXPECT_TRUE(Child(popup, "widgetStatus")->isVisibleTo(popup));
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: "), 1);
    emit facade->UpdateLocale();
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: "), 2);
    facade->ConfirmQuit();
    EXPECT_EQ(Index("stackedWidgetMainWindow"), static_cast<int>(Ui::MainWindow::Page::Message));
}
