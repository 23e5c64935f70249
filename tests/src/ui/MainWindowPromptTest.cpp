#include "MainWindowFixture.h"

#include "UrlCatcher.h"

#include <QCheckBox>
#include <QCursor>

using Ui::State;

TEST_F(MainWindowTest, OnlyTheMessageOnShowActsAndOnlyOnce)
{
    InsertStick();
    Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
    window.SetState(State::UsbBlocked); // message A: "Dismiss" cancels
    window.SetState(State::NoConnection); // message B: "Retry" retries
    window.ShowMapsPage();
    DoubleClick(MapsMessageButton(true));
    EXPECT_EQ(retries.count(), 1);
    EXPECT_EQ(cancels.count(), 0);
}

TEST_F(MainWindowTest, StopDownloadAsksAndNoPutsBackTheStatesPage)
{
    InsertStick();
    Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
    QObject::connect(&ui, &Ui::IUi::CancelDownload, &window, [this] {
        Store(Map("a", MapInfo::Optional, MapInfo::Deleting));
        window.SetState(State::CancelDownload);
    });
    window.SetState(State::NoConnection);
    window.ShowMapsPage();

    Click(MapsMessageButton(false)); // "Cancel"
    EXPECT_EQ(MapsMessageTitle(), "Cancel map update download?");
    PressReturn(); // "No"
    EXPECT_EQ(MapsMessageTitle(), "No internet connection");
    EXPECT_EQ(cancels.count(), 0);

    Click(MapsMessageButton(false));
    Click(MapsMessageButton(true)); // "Yes": the machine starts cancelling inside the emit
    EXPECT_EQ(cancels.count(), 1);
    EXPECT_EQ(MapsMessageTitle(), "Deleting downloaded map update.");
    EXPECT_FALSE(Button("pushButtonSettings")->isEnabled());
}

TEST_F(MainWindowTest, UpdatePromptDownloadsTheRowsMapAndCancelReturnsToTheList)
{
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    // The machine starts the download inside the emit, which rewires the page
    // under the handler that is running.
    QObject::connect(&ui, &Ui::IUi::DownloadMap, &window, [this](const MapInfo::Id& id) {
        Store(Map(id, MapInfo::Optional, MapInfo::Downloading, "EUR", true));
        window.SetState(State::MapDownload);
    });
    window.SetState(State::RootUpdate);
    window.ShowMapsPage();
    auto* table = Child<QTableWidget>("tableWidgetMapUpdates");
    const auto download = [&] { Click(table->cellWidget(1, 0)->findChild<QPushButton*>("pushButtonMapAction")); };

    download(); // no stick known at all
    EXPECT_EQ(MapsMessageTitle(), "No USB stick found");
    PressReturn(); // "Dismiss"
    EXPECT_EQ(ScreenIndex(), 0);

    InsertStick();
    download();
    EXPECT_EQ(MapsMessageTitle(), "Confirm optional map update");
    EXPECT_TRUE(window.isVisible());
    PressReturn(); // "Cancel"
    EXPECT_EQ(ScreenIndex(), 0);

    download();
    MapStorage::Instance().Clear();
    Click(MapsMessageButton(true)); // "Continue"
    EXPECT_EQ(downloads, std::vector<MapInfo::Id> {"eur"});
    EXPECT_EQ(MapsMessageTitle(), "Map update");
    Click(MapsMessageButton(true)); // the download page's "Cancel"
    EXPECT_EQ(MapsMessageTitle(), "Cancel map update download?");
}

TEST_F(MainWindowTest, DiscardingAPendingMapAsksFirst)
{
    InsertStick();
    Store(Map("p", MapInfo::Optional, MapInfo::Pending));
    window.SetState(State::PendingUpdate);
    auto* discard
        = Child<QTableWidget>("tableWidgetMapUpdates")->cellWidget(1, 0)->findChild<QPushButton*>("pushButtonDiscard");
    Click(discard);
    EXPECT_EQ(MapsMessageTitle(), "Cancel map update?");
    PressReturn(); // "No"
    EXPECT_EQ(ScreenIndex(), 0);
    Click(discard);
    Click(MapsMessageButton(true)); // "Yes"
    EXPECT_EQ(cancels.count(), 1);
}

TEST_F(MainWindowTest, RetryShowsTheWindowOnlyForADownload)
{
    InsertStick();
    const struct {
        const char* name;
        bool downloading;
        State next;
        bool shown;
    } cases[] = {
        {"to the download", true, State::MapDownload, true},
        {"to a new check", false, State::MapUpdateCheck, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MapStorage::Instance().Clear();
        Store(Map("a", MapInfo::Optional, c.downloading ? MapInfo::Downloading : MapInfo::Available));
        window.SetState(State::UsbCheck);
        window.SetState(State::NoConnection);
        window.Hide();
        const auto reaction = QObject::connect(&ui, &Ui::IUi::Retry, &window, [&] { window.SetState(c.next); });
        window.PopupClicked(Ui::PopupLink::Retry);
        QObject::disconnect(reaction);
        EXPECT_EQ(window.isVisible(), c.shown);
        if (c.shown) {
            EXPECT_EQ(MapsMessageTitle(), "Map update");
        }
        EXPECT_EQ(retries.count(), 1);
        retries.clear();
    }
}

TEST_F(MainWindowTest, QuitYesQuitsOnceAndNoGoesBack)
{
    InsertStick();
    Store(Map("a", MapInfo::Optional, MapInfo::Downloading));
    window.SetState(State::MapDownload);
    for (bool shownBefore : {true, false}) {
        SCOPED_TRACE(shownBefore ? "window shown" : "window hidden");
        if (shownBefore)
            window.ShowMapsPage();
        else
            window.Hide();
        window.ShowQuitApplicationMessage();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(PageMessageTitle(), "Quit application");
        EXPECT_FALSE(Button("pushButtonMapUpdates")->isEnabled());
        PressReturn(); // "No"
        EXPECT_EQ(window.isVisible(), shownBefore);
        EXPECT_EQ(PageIndex(), 0);
        EXPECT_TRUE(Button("pushButtonMapUpdates")->isEnabled());
        EXPECT_FALSE(Button("pushButtonSettings")->isEnabled()) << "the download's record holds";
    }
    window.ShowQuitApplicationMessage();
    DoubleClick(PageMessageButton(false)); // "Yes"
    EXPECT_EQ(forcedQuits.count(), 1);
}

TEST_F(MainWindowTest, DiscardingSettingsGoesWhereTheUserWasHeading)
{
    window.SetState(State::UpToDate);
    auto* autoStart = Child<QCheckBox>("checkBoxAutoStart");
    const auto change = [&] { autoStart->toggle(); };

    // Leaving the changed page for the maps.
    window.ShowSettingsPage();
    change();
    Click(Button("pushButtonMapUpdates"));
    EXPECT_EQ(PageMessageTitle(), "Unsaved changes detected");
    PressReturn(); // "No, go back"
    EXPECT_EQ(PageIndex(), 1);
    Click(Button("pushButtonMapUpdates"));
    Click(PageMessageButton(true)); // "Yes, discard"
    EXPECT_EQ(PageIndex(), 0);
    EXPECT_TRUE(window.isVisible());

    // The page's own Cancel, after the maps were shown: back to the settings.
    window.ShowSettingsPage();
    change();
    Click(Child<QWidget>("widgetSettings")->findChild<QPushButton*>("pushButtonCancel"));
    Click(PageMessageButton(true));
    EXPECT_EQ(PageIndex(), 1);
    EXPECT_TRUE(Button("pushButtonSettings")->isChecked());

    // Asked while hidden, with no page or screen before: the window goes away.
    Ui::MainWindow fresh(&ui);
    fresh.ShowDiscardSettingsMessage(false);
    EXPECT_TRUE(fresh.isVisible());
    Click(fresh.findChild<QWidget*>("widgetMessage")->findChild<QPushButton*>("pushButtonPrimary"));
    EXPECT_FALSE(fresh.isVisible());
}

TEST_F(MainWindowTest, PopupLinksReachTheirActions)
{
    UrlCatcher browser;
    window.SetState(State::UsbBlocked);
    window.PopupClicked(Ui::PopupLink::Dismiss);
    EXPECT_EQ(cancels.count(), 1);
    Click(Button("pushButtonHelp"));
    EXPECT_EQ(browser.urls.size(), 1);
    window.PopupClicked(Ui::PopupLink::Blank);
    window.PopupClicked(Ui::PopupLink::Continue);
    EXPECT_FALSE(window.isVisible());
    window.PopupClicked(Ui::PopupLink::ManageMaps);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PageIndex(), 0);
}

// The next page lays the reused button out elsewhere: moved away from the
// still pointer, it is drawn in its normal colour, not the hover one.
TEST_F(MainWindowTest, AButtonMovedAwayFromTheStillPointerLosesItsHoverLook)
{
    InsertStick();
    Store(Map("a", MapInfo::Mandatory, MapInfo::Pending));
    window.SetState(State::PendingUpdate);
    window.ShowDiscardUpdateMessage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QPushButton* button = MapsMessageButton(true); // "Yes"
    const auto onScreen = [button] { return QRect(button->mapToGlobal(QPoint()), button->size()); };
    const QColor normal(button->grab().toImage().pixel(3, button->height() / 2));
    QCursor::setPos(onScreen().bottomLeft() + QPoint(3, -3));
    ASSERT_TRUE(QTest::qWaitFor([button] { return button->underMouse(); }));
    const QRect before = onScreen();
    Store(Map("a", MapInfo::Mandatory, MapInfo::Available));
    window.SetState(State::MandatoryUpdate); // "Continue" without the banner above
    ASSERT_TRUE(QTest::qWaitFor([&] { return onScreen() != before; }));
    ASSERT_FALSE(onScreen().contains(QCursor::pos()));
    EXPECT_EQ(QColor(button->grab().toImage().pixel(3, button->height() / 2)), normal);
}
