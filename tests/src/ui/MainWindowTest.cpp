#include "UiTest.h"

using MainWindowTest = UiTest;

// Retry shows the window again only for the download it resumes.
TEST_F(MainWindowTest, NetworkErrorsOfferRetryOnlyDuringADownload)
{
    SelectStick();
    for (const State state : {State::NoConnection, State::ServerError})
        for (const bool downloading : {true, false}) {
            SCOPED_TRACE(PrintToString(state) + (downloading ? " downloading" : " idle"));
            MapStorage::Instance().Clear();
            Store(Map("a", MapInfo::Optional, downloading ? MapInfo::Downloading : MapInfo::Available));
            window->SetState(State::UsbBlocked);
            window->ShowMapsPage();
            const QString before = Title();
            window->SetState(state);
            EXPECT_EQ(window->isVisible(), downloading);
            EXPECT_EQ(Button("pushButtonMapUpdates")->isEnabled(), downloading);
            EXPECT_EQ(Title() != before, downloading) << "without a download the message before stays";
            EXPECT_EQ(MessageButton(false)->isVisible(), downloading); // Retry and Cancel
            window->ShowSettingsPage(); // the page left open before
            window->Hide();
            const auto reaction = QObject::connect(facade.get(), &Ui::IUi::Retry, window,
                [&] { window->SetState(downloading ? State::MapDownload : State::MapUpdateCheck); });
            window->PopupClicked(Ui::PopupLink::Retry);
            QObject::disconnect(reaction);
            EXPECT_EQ(retries.count(), 1);
            retries.clear();
            EXPECT_EQ(window->isVisible(), downloading);
            EXPECT_EQ(Index("stackedWidgetMainWindow") == 0 && Index("stackedWidgetManageMaps") == 1, downloading);
        }
    // "Retry" that the user tabbed to turns into "Dismiss" under the focus: not the user's aim, nor once the window
    // is shown again (a dialog shown reports a Tab to the button that kept the focus).
    Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
    window->SetState(State::NoConnection);
    window->ShowMapsPage();
    Activate();
    MessageButton(false)->setFocus();
    MessageButton(true)->setFocus(Qt::TabFocusReason); // from "Cancel"
    window->SetState(State::UsbBlocked);
    EXPECT_EQ(qobject_cast<QPushButton*>(QApplication::focusWidget()), nullptr) << "a page without a default";
    QTest::keyClick(MessageButton(true), Qt::Key_Return);
    window->Hide();
    window->Show();
    Activate();
    QTest::keyClick(MessageButton(true), Qt::Key_Return);
    EXPECT_EQ(cancels.count(), 0);
}

// Each link does its own action only: "Dismiss" cancels without opening the guideline, "Manage maps" shows the maps.
TEST_F(MainWindowTest, PopupLinksReachTheirActions)
{
    const UrlCatcher browser;
    window->SetState(State::UsbBlocked);
    window->PopupClicked(Ui::PopupLink::Dismiss);
    EXPECT_EQ(cancels.count(), 1);
    window->PopupClicked(Ui::PopupLink::ShowHelp);
    EXPECT_EQ(browser.urls.size(), 1);
    window->PopupClicked(Ui::PopupLink::Blank);
    window->PopupClicked(Ui::PopupLink::Continue);
    EXPECT_FALSE(window->isVisible());
    window->PopupClicked(Ui::PopupLink::ManageMaps);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Index("stackedWidgetMainWindow"), 0);
    EXPECT_EQ(cancels.count() + retries.count() + browser.urls.size(), 2);
}

// Each offer lists its maps under its titles.
TEST_F(MainWindowTest, OfferStatesListTheirMapsUnderTheirTitles)
{
    SelectStick();
    Store(Map("installed", MapInfo::Installed));
    Store(Map("pending", MapInfo::Mandatory, MapInfo::Pending));
    Store(Map("nam", MapInfo::Optional, MapInfo::Available, "NAM", true));
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    const std::pair<State, QStringList> cases[]
        = {{State::UpToDate, {"Available maps", "No maps available", "Optional map updates", "Map installed"}},
            {State::PendingUpdate, {"Pending map updates", "Map pending"}},
            {State::RootUpdate, {"Available maps", "Map eur", "Map nam"}}};
    for (const auto& [state, expected] : cases) {
        window->SetState(state);
        QStringList rows;
        for (int row = 0; row < Child<QTableWidget>(window, "tableWidgetMapUpdates")->rowCount(); ++row) {
            const auto* name = Child<QLabel>(Row(row), "labelMapTitle");
            rows << (name ? name : Child<QLabel>(Row(row), "labelTitle"))->text();
        }
        EXPECT_EQ(rows, expected) << PrintToString(state);
        EXPECT_EQ(Index("stackedWidgetManageMaps"), 0);
    }
}

// The catalogue is a hash table: its order is no stable tie-break.
TEST_F(MainWindowTest, RootMapsOfOneRegionKeepTheirOrder)
{
    for (const char* id : {"m4", "m1", "m3", "m2"})
        Store(Map(id, MapInfo::Optional, MapInfo::Available, "EUR", true));
    Store(Map("n1", MapInfo::Optional, MapInfo::Available, "NAM", true));
    Store(Map("other", MapInfo::Optional, MapInfo::Available, "AAA", false));
    for (int round = 0; round < 5; ++round) {
        window->SetState(State::RootUpdate);
        QStringList rows;
        for (int row = 1; row <= 5; ++row)
            rows << Child<QLabel>(Row(row), "labelMapTitle")->text();
        EXPECT_EQ(rows, QStringList({"Map m1", "Map m2", "Map m3", "Map m4", "Map n1"}));
        window->SetState(State::UsbCheck);
        Store(Map("x" + std::to_string(round))); // the table grows
    }
}

// A state whose map the catalogue lacks must not rewire the message on show: its button would ask for a map
// without an id. With its map, the mandatory offer downloads the map shown even if the catalogue changed since,
// and the stick too small for the map being downloaded leaves the list for its page.
TEST_F(MainWindowTest, StateWithoutItsMapKeepsThePreviousMessageAndActions)
{
    SelectStick();
    for (State state : {State::MandatoryUpdate, State::UsbTooSmall}) {
        SCOPED_TRACE(PrintToString(state));
        window->SetState(State::UsbFull);
        window->SetState(state);
        EXPECT_EQ(Title(), "Insufficient memory space available");
        Click(MessageButton(true));
        EXPECT_TRUE(downloads.empty());
        EXPECT_EQ(cancels.count(), 1);
        cancels.clear();
    }
    Store(Map("old", MapInfo::Mandatory));
    window->SetState(State::MandatoryUpdate);
    EXPECT_FALSE(MessageButton(false)->isVisible());
    MapStorage::Instance().Clear();
    Click(MessageButton(true));
    EXPECT_EQ(downloads, std::vector<MapInfo::Id> {"old"});
    Store(Map("big", MapInfo::Optional, MapInfo::Downloading));
    window->SetState(State::UpToDate); // the maps list
    window->SetState(State::UsbTooSmall); // with its map: its page in place of the list
    EXPECT_EQ(Index("stackedWidgetManageMaps"), 1);
    EXPECT_TRUE(
        Child<QLabel>(Child(window, "widgetMapsMessage"), "labelMessageDescription")->text().contains("3.73 GB"));
}

// The machine starts the download inside the emit, which rewires the page under the running handler;
// "Continue" downloads the map the prompt was built for even if the catalogue changed since; stopping it asks first.
TEST_F(MainWindowTest, UpdatePromptDownloadsTheRowsMap)
{
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    QObject::connect(facade.get(), &Ui::IUi::DownloadMap, window, [this](const MapInfo::Id& id) {
        Store(Map(id, MapInfo::Optional, MapInfo::Downloading, "EUR", true));
        window->SetState(State::MapDownload);
    });
    window->SetState(State::RootUpdate);
    window->ShowMapsPage();
    const auto download = [&] { Click(Child(Row(1), "pushButtonMapAction")); };
    download(); // no stick known at all
    EXPECT_EQ(Title(), "No USB stick found");
    PressReturn(); // "Dismiss"
    SelectStick();
    download();
    PressReturn(); // "Cancel"
    EXPECT_EQ(Index("stackedWidgetManageMaps"), 0);
    download();
    MapStorage::Instance().Clear();
    Click(MessageButton(true)); // "Continue"
    EXPECT_EQ(downloads, std::vector<MapInfo::Id> {"eur"});
    EXPECT_EQ(Title(), "Map update");
    Click(MessageButton(true)); // the download page's "Cancel" asks first
    EXPECT_EQ(Title(), "Cancel map update download?");
    EXPECT_EQ(window->focusWidget(), MessageButton(false)) << "shown with the focus on No";
    PressReturn(); // "No": the download's page again
    EXPECT_EQ(Title(), "Map update");
    QObject::connect(facade.get(), &Ui::IUi::CancelDownload, window, [this] {
        Store(Map("eur", MapInfo::Optional, MapInfo::Deleting, "EUR", true));
        window->SetState(State::CancelDownload);
    });
    Click(MessageButton(true)); // "Cancel" again
    Click(MessageButton(true)); // "Yes": the machine starts cancelling inside the emit
    EXPECT_EQ(cancels.count(), 1);
    EXPECT_EQ(Title(), "Deleting downloaded map update.");
}

// "No" puts back the state's page and header buttons, and hides a window hidden before.
TEST_F(MainWindowTest, QuitYesQuitsOnceAndNoGoesBack)
{
    SelectStick();
    Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
    window->SetState(State::MapDownload);
    for (bool shownBefore : {true, false}) {
        SCOPED_TRACE(shownBefore ? "window shown" : "window hidden");
        shownBefore ? window->ShowMapsPage() : window->Hide();
        window->ShowQuitApplicationMessage();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Title("widgetMessage"), "Quit application");
        EXPECT_FALSE(Button("pushButtonMapUpdates")->isEnabled());
        PressReturn(); // "No"
        EXPECT_EQ(window->isVisible(), shownBefore);
        EXPECT_EQ(Index("stackedWidgetMainWindow"), 0);
        EXPECT_TRUE(Button("pushButtonMapUpdates")->isEnabled());
        EXPECT_FALSE(Button("pushButtonSettings")->isEnabled()) << "the download's record holds";
    }
    QSignalSpy forcedQuits(facade.get(), &Ui::IUi::ForcedQuit);
    const UrlCatcher browser;
    window->ShowMapsPage();
    window->ShowQuitApplicationMessage();
    Activate();
    EXPECT_EQ(QApplication::focusWidget(), MessageButton(true, "widgetMessage")) << "shown with the focus on No";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // "No", disabled under the focus
    EXPECT_EQ(qobject_cast<QPushButton*>(QApplication::focusWidget()), nullptr)
        << "the maps page again, with the focus the program passed on still on a button";
    QTest::keyClick(Button("pushButtonHelp"), Qt::Key_Return); // where the disabled "No" passed the focus on
    EXPECT_TRUE(browser.urls.empty()) << "the program's move of the focus taken as the user's";
    window->ShowQuitApplicationMessage();
    Click(Button("pushButtonHelp")); // the user's own choice takes the Return
    QTest::keyClick(Button("pushButtonHelp"), Qt::Key_Return);
    EXPECT_EQ(browser.urls.size(), 2);
    EXPECT_EQ(Title("widgetMessage"), "Quit application");
    Click(MessageButton(false, "widgetMessage")); // "Yes", twice before anything repaints
    Click(MessageButton(false, "widgetMessage"));
    EXPECT_EQ(forcedQuits.count(), 1);
}

// "No" stays on the changed page; "Yes" goes where the user was heading: the maps, the settings again after the
// page's own Cancel, or away for a window asked while hidden. Leaving a save that could not be written (a folder in
// the file's way) takes its choice back out of effect.
TEST_F(MainWindowTest, DiscardingSettingsGoesWhereTheUserWasHeading)
{
    window->SetState(State::UpToDate);
    window->ShowSettingsPage();
    const QString file = Config::Instance().dataDir + "/settings.json";
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file + "/in the way"));
    const bool autostart = Settings::Instance().GetRunAtStartup();
    Child<QAbstractButton>(window, "checkBoxAutoStart")->toggle();
    Click(Child<QPushButton>(Child(window, "widgetSettings"), "pushButtonSaveSettings"));
    Click(Button("pushButtonMapUpdates"));
    EXPECT_EQ(Title("widgetMessage"), "Unsaved changes detected");
    PressReturn(); // "No, go back"
    EXPECT_EQ(Index("stackedWidgetMainWindow"), 1);
    Click(Button("pushButtonMapUpdates"));
    Click(MessageButton(true, "widgetMessage")); // "Yes, discard"
    EXPECT_EQ(Index("stackedWidgetMainWindow"), 0);
    EXPECT_EQ(Settings::Instance().GetRunAtStartup(), autostart);
    QDir(file).removeRecursively();
    window->ShowSettingsPage(); // the page's own Cancel, after the maps were shown: back to the settings
    Child<QAbstractButton>(window, "checkBoxAutoStart")->toggle();
    Click(Child<QPushButton>(Child(window, "widgetSettings"), "pushButtonCancel"));
    Click(MessageButton(true, "widgetMessage"));
    EXPECT_EQ(Index("stackedWidgetMainWindow"), 1);
    EXPECT_TRUE(Button("pushButtonSettings")->isChecked());
    Ui::MainWindow fresh(facade.get()); // asked while hidden, with no page before: the window goes away
    fresh.ShowDiscardSettingsMessage(false);
    EXPECT_TRUE(fresh.isVisible());
    Click(Child<QPushButton>(Child(&fresh, "widgetMessage"), "pushButtonPrimary"));
    EXPECT_FALSE(fresh.isVisible());
}

// The next page lays the reused button out elsewhere: moved away from the still pointer, it loses its hover colour.
TEST_F(MainWindowTest, AButtonMovedAwayFromTheStillPointerLosesItsHoverLook)
{
    Store(Map("a", MapInfo::Mandatory, MapInfo::Pending));
    window->SetState(State::PendingUpdate);
    window->ShowDiscardUpdateMessage();
    PressReturn(); // "No"
    EXPECT_EQ(Index("stackedWidgetManageMaps"), 0);
    window->ShowDiscardUpdateMessage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QPushButton* button = MessageButton(true); // "Yes"
    const auto colour = [button] { return QColor(button->grab().toImage().pixel(3, button->height() / 2)).name(); };
    const QString normal = colour();
    QCursor::setPos(button->mapToGlobal(QPoint(3, button->height() - 3)));
    ASSERT_TRUE(QTest::qWaitFor([button] { return button->underMouse(); }));
    Store(Map("a", MapInfo::Mandatory));
    window->SetState(State::MandatoryUpdate); // "Continue" without the banner above
    ASSERT_TRUE(QTest::qWaitFor([button] { return !button->rect().contains(button->mapFromGlobal(QCursor::pos())); }));
    EXPECT_EQ(colour(), normal);
}
