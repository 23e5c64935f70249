#include "MainWindowFixture.h"
#include "MarkingTranslator.h"

#include <QTranslator>

#include <set>

using testing::PrintToString;
using Ui::State;

// Entering each state from an offer shown to the user: what the header, the
// banner and the window's visibility become, and what repeating it changes.
TEST_F(MainWindowTest, EveryStateSetsHeaderBannerAndVisibility)
{
    InsertStick();
    const std::set<State> hides = {State::MapUpdateCheck, State::MetadataCorrupt, State::NoSubscription,
        State::UsbRemoved, State::NoConnection, State::ServerError};
    const std::set<State> settingsOff
        = {State::CancelDownload, State::MapDownload, State::MapUpdateCheck, State::UsbCheck};
    const std::set<State> banner = {State::CancelDownload, State::MapDownload, State::PendingUpdate};
    for (State state : AllStates()) {
        SCOPED_TRACE(PrintToString(state));
        window.SetState(State::OptionalUpdate);
        window.ShowMapsPage();
        window.SetState(state);
        EXPECT_EQ(window.isVisible(), hides.count(state) == 0);
        EXPECT_EQ(Button("pushButtonMapUpdates")->isEnabled(), hides.count(state) == 0);
        EXPECT_EQ(Button("pushButtonSettings")->isEnabled(), settingsOff.count(state) == 0);
        EXPECT_EQ(Child<QWidget>("widgetNotificationBanner")->isVisibleTo(&window), banner.count(state) == 1);

        window.ShowMapsPage(); // the user opens the window again
        window.SetState(state);
        EXPECT_TRUE(window.isVisible()) << "the same state again must not hide the window";
    }
}

TEST_F(MainWindowTest, NetworkErrorsOfferRetryOnlyDuringADownload)
{
    InsertStick();
    const struct {
        State state;
        bool downloading;
        const char* title;
    } cases[] = {
        {State::NoConnection, true, "No internet connection"},
        {State::NoConnection, false, nullptr},
        {State::ServerError, true, "Map update server not available"},
        {State::ServerError, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(PrintToString(c.state) + (c.downloading ? " downloading" : " idle"));
        MapStorage::Instance().Clear();
        Store(Map("a", MapInfo::Optional, c.downloading ? MapInfo::Downloading : MapInfo::Available));
        window.SetState(State::UsbBlocked);
        window.ShowMapsPage();
        window.SetState(c.state);
        EXPECT_EQ(window.isVisible(), c.downloading);
        EXPECT_EQ(Button("pushButtonMapUpdates")->isEnabled(), c.downloading);
        if (c.downloading) {
            EXPECT_EQ(MapsMessageTitle(), c.title);
            EXPECT_EQ(MapsMessageButton(true)->text(), "Retry");
            EXPECT_EQ(MapsMessageButton(false)->text(), "Cancel");
        } else {
            EXPECT_EQ(MapsMessageTitle(), "Map update download failed") << "the message before stays";
        }
    }
}

TEST_F(MainWindowTest, OfferStatesListTheirMapsUnderTheirTitles)
{
    InsertStick();
    Store(Map("installed", MapInfo::Installed, MapInfo::Available));
    Store(Map("pending", MapInfo::Mandatory, MapInfo::Pending));
    Store(Map("nam", MapInfo::Optional, MapInfo::Available, "NAM", true));
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    const struct {
        State state;
        QStringList rows;
    } cases[] = {
        {State::UpToDate, {"Available maps", "No maps available", "Optional map updates", "Map installed"}},
        {State::PendingUpdate, {"Pending map updates", "Map pending"}},
        {State::RootUpdate, {"Available maps", "Map eur", "Map nam"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(PrintToString(c.state));
        window.SetState(c.state);
        EXPECT_EQ(RowTexts(), c.rows);
        EXPECT_EQ(ScreenIndex(), 0);
    }
}

TEST_F(MainWindowTest, RootMapsOfOneRegionKeepTheirOrder)
{
    for (const char* id : {"m4", "m1", "m3", "m2"})
        Store(Map(id, MapInfo::Optional, MapInfo::Available, "EUR", true));
    Store(Map("n1", MapInfo::Optional, MapInfo::Available, "NAM", true));
    Store(Map("other", MapInfo::Optional, MapInfo::Available, "AAA", false));
    const QStringList expected = {"Available maps", "Map m1", "Map m2", "Map m3", "Map m4", "Map n1"};
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        window.SetState(State::RootUpdate);
        EXPECT_EQ(RowTexts(), expected);
        window.SetState(State::UsbCheck);
        Store(Map("x" + std::to_string(round), MapInfo::Optional, MapInfo::Available, "EUR", false)); // the table grows
    }
}

TEST_F(MainWindowTest, LanguageChangeBuildsListAndHeaderAnew)
{
    Store(Map("eur", MapInfo::Optional, MapInfo::Available, "EUR", true));
    window.SetState(State::RootUpdate);
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    emit ui.UpdateLocale();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(RowTexts().value(0), "[de] Available maps");
    EXPECT_EQ(Button("pushButtonMapUpdates")->text(), "[DE] MAP UPDATES");
}

// A state whose map the catalogue lacks must not rewire the message on show:
// its button would ask for a map without an id. With its map, the mandatory
// offer downloads the map shown even if the catalogue changed since.
TEST_F(MainWindowTest, StateWithoutItsMapKeepsThePreviousMessageAndActions)
{
    InsertStick();
    for (State state : {State::MandatoryUpdate, State::UsbTooSmall}) {
        SCOPED_TRACE(PrintToString(state));
        window.SetState(State::UsbFull);
        window.SetState(state);
        EXPECT_EQ(MapsMessageTitle(), "Insufficient memory space available");
        Click(MapsMessageButton(true));
        EXPECT_TRUE(downloads.empty());
        EXPECT_EQ(cancels.count(), 1);
        cancels.clear();
    }
    Store(Map("old", MapInfo::Mandatory, MapInfo::Available));
    window.SetState(State::MandatoryUpdate);
    EXPECT_EQ(MapsMessageTitle(), "Confirm mandatory map update");
    EXPECT_FALSE(MapsMessageButton(false)->isVisible());
    MapStorage::Instance().Clear();
    Click(MapsMessageButton(true));
    EXPECT_EQ(downloads, std::vector<MapInfo::Id> {"old"});
}
