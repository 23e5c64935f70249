#include "DesktopRoad.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "UrlCatcher.h"

#include "../src/sm/ShortRetryClient.h"

#include "MainWindow.h"
#include "MapStorage.h"
#include "Popup.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QtTest/QTest>

#include <algorithm>

namespace {

// The threads of the program's own (Qt names a thread after its class).
int ProgramThreads()
{
    int count = 0;
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        count += TestFiles::Read("/proc/self/task/" + task + "/comm").trimmed() == "QThread";
    return count;
}

// The main window's pages: the maps (their list or a message) and the prompts.
constexpr const char* MapsPage = "pageManageMaps";
constexpr const char* PromptPage = "pageMessage";

class RoadOnDesktop : public DesktopRoad {
protected:
    void SetUp() override
    {
        DesktopRoad::SetUp();
        threadsBefore = ProgramThreads();
        if (IsSkipped() || HasFatalFailure())
            return;
        Start(MakeCollaborators());
        ASSERT_TRUE(WaitShown("RootUpdate"));
    }

    QString PopupText(const char* name) const { return Find<QLabel>(Popup(), name)->text(); }
    QString PopupLinkText() const { return Find<QPushButton>(Popup(), "pushButtonContentLink")->text(); }

    // Inserts the demo stick and follows the popup's link to the mandatory
    // update's confirmation.
    void ReachMandatoryOffer()
    {
        InsertStick();
        ASSERT_TRUE(WaitShown("MandatoryUpdate"));
        // Verified, then a related check of the head unit's installed map.
        const std::vector<std::string> journey = Journey();
        EXPECT_EQ((std::vector<std::string> {"UsbCheck", "MapUpdateCheck", "MandatoryUpdate"}),
            std::vector<std::string>(journey.end() - 3, journey.end()));
        ASSERT_EQ(1, Requests("/package/allrelated").size());
        EXPECT_TRUE(Requests("/package/allrelated")[0].startsWith("id=EU1_2025_05&"));
        EXPECT_EQ("Map update required", PopupText("labelContentTitle"));
        EXPECT_EQ("Update map", PopupLinkText());
        Screenshot("mandatory-popup");
        ClickPopupLink();
        ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == MapsPage; }, 5000));
        EXPECT_EQ("Confirm mandatory map update", MessageTitle());
        EXPECT_EQ("Continue", MessageButton(true)->text());
        EXPECT_FALSE(MessageButton(false)->isVisible()) << "a mandatory update can only be confirmed";
        Screenshot("mandatory-page");
    }

    // Continues the mandatory update with its archive held back after the
    // first bytes, until those are on the stick.
    void StartHeldDownload()
    {
        service.SetFault(
            {{"path", QString("/files/") + Mandatory}, {"kind", "stall"}, {"bytes", 4000000}, {"seconds", 15}});
        Click(MessageButton(true));
        ASSERT_TRUE(WaitShown("MapDownload"));
        ASSERT_TRUE(QTest::qWaitFor([] { return MapStorage::Instance().GetDownloadingMap().downloaded > 0; }, WaitMs));
        ASSERT_TRUE(QTest::qWaitFor([this] { return MessageTitle() == "Map update"; }, 5000));
    }

    void RunToPending()
    {
        ASSERT_TRUE(WaitShown("PendingUpdate"));
        ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == MapsPage && !MessagePage(); }, 5000));
        EXPECT_EQ("Map updates ready to be installed on your vehicle's navigation system",
            Find<QLabel>(Window(), "labelNotificationTitle")->text());
        EXPECT_EQ(MapInfo::Pending, MapStorage::Instance().FindMap(Mandatory).state);
        EXPECT_TRUE(StickHoldsArchive(Mandatory));
        EXPECT_TRUE(QFile::exists(StickRoot() + "/VexmarNDSFull/" + Mandatory + ".meta.xml"));
    }

    int threadsBefore = 0;

    QPushButton* MapRowButton(const char* name) const
    {
        auto* table = Find<QTableWidget>(Window(), "tableWidgetMapUpdates");
        for (int row = 0; row < table->rowCount(); ++row)
            if (QWidget* cell = table->cellWidget(row, 0))
                if (auto* button = Find<QPushButton>(cell, name); button && button->isVisible())
                    return button;
        return nullptr;
    }
};

// Map downloads give up after a retry window of a moment.
class ShortRetryRoad : public RoadOnDesktop {
protected:
    Collaborators MakeCollaborators() override
    {
        Collaborators collaborators = RoadOnDesktop::MakeCollaborators();
        collaborators.makeMapUpdateManager = ShortRetryManager;
        return collaborators;
    }
};

} // namespace

// The first check finds the root maps; discovery starts only after it.
TEST_F(RoadOnDesktop, StartOffersTheRootMapsFromTheTray)
{
    EXPECT_EQ(1, Requests("/package/allroots").size());
    EXPECT_EQ(1, log.Count(Log::Info, "Starting USB discovery"));
    EXPECT_TRUE(Tray()->isVisible());
    EXPECT_FALSE(Window()->isVisible()) << "the program runs in the tray";

    // A click on the tray icon shows the popup beside it.
    if (Popup()->isVisible())
        ClickTray();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Popup()->isVisible(); }, 5000));
    ClickTray();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Popup()->isVisible(); }, 5000));
    EXPECT_EQ("Manage maps", PopupText("labelContentTitle"));
    EXPECT_EQ("Open application", PopupLinkText());
    Screenshot("root-popup");

    ClickPopupLink();
    ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == MapsPage; }, 5000));
    auto* table = Find<QTableWidget>(Window(), "tableWidgetMapUpdates");
    ASSERT_TRUE(table->isVisible());
    QStringList titles;
    for (QLabel* label : table->findChildren<QLabel*>("labelMapTitle"))
        titles << label->text();
    titles.sort();
    EXPECT_EQ((QStringList {"Europe 2025.11", "North America 2025.05"}), titles) << "the newest of each root";
    Screenshot("root-maps");
    ExpectTabsInReadingOrder();
}

// Verification, related check, the mandatory update from the popup's link,
// a download whose connection the service drops three times, resumed each
// time behind what is on the stick, verified and completed.
TEST_F(RoadOnDesktop, MandatoryUpdateDownloadsOntoTheStickThroughDroppedConnections)
{
    ReachMandatoryOffer();
    service.SetFault(
        {{"path", QString("/files/") + Mandatory}, {"kind", "drop_after"}, {"bytes", 6000000}, {"times", 3}});
    service.SetFault({{"path", QString("/files/") + Mandatory}, {"kind", "stall"}, {"bytes", 2000000}, {"seconds", 3}});
    Click(MessageButton(true));
    ASSERT_TRUE(WaitShown("MapDownload"));
    // The progress refreshes twice a second; the service holds the last part back.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            return MessageTitle() == "Map update"
                && !Find<QLabel>(MessagePage(), "labelMessageDescription")->text().contains("Downloading - 0 %");
        },
        WaitMs));
    EXPECT_EQ("Accessing information on the USB stick", Find<QLabel>(Window(), "labelNotificationTitle")->text());
    Screenshot("download-progress");

    RunToPending();
    EXPECT_EQ((QStringList {"", "bytes=6000000-", "bytes=12000000-", "bytes=18000000-", "bytes=20000000-"}),
        service.ArchiveRanges());
    EXPECT_EQ(1, log.Count(Log::Info, "Changing state from: MapDownload to: PendingUpdate"));
    EXPECT_TRUE(Faults().isEmpty()) << "a dropped connection is resumed, not a fault: "
                                    << Faults().join("\n").toStdString();
    EXPECT_EQ("Pending map updates", PopupText("labelContentTitle"));
    Screenshot("pending");
}

// Cancelling the pending map deletes it from the stick and offers it again.
TEST_F(RoadOnDesktop, CancelOfThePendingMapRemovesItAndOffersItAgain)
{
    ReachMandatoryOffer();
    Click(MessageButton(true));
    RunToPending();

    Click(MapRowButton("pushButtonDiscard"));
    EXPECT_EQ("Cancel map update?", MessageTitle());
    Screenshot("discard-prompt");
    Type({"Return"}); // "No"
    ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == MapsPage && !MessagePage(); }, 5000));
    Click(MapRowButton("pushButtonDiscard"));
    Click(MessageButton(true));
    // The deletion of a few files may end before a look at the screen.
    ASSERT_TRUE(WaitShown("MandatoryUpdate"));
    const std::vector<std::string> journey = Journey();
    EXPECT_EQ("CancelDownload", *(std::find(journey.begin(), journey.end(), "PendingUpdate") + 1));
    EXPECT_EQ(1, log.Count(Log::Debug, std::string("Setting deleting map: ") + Mandatory));
    EXPECT_FALSE(QDir(StickRoot() + "/VexmarNDSFull").exists());
    EXPECT_EQ(MapInfo::Available, MapStorage::Instance().FindMap(Mandatory).state);
    ASSERT_TRUE(QTest::qWaitFor([this] { return MessageTitle() == "Confirm mandatory map update"; }, 5000));
    EXPECT_TRUE(MessageButton(true)->isEnabled());
    EXPECT_TRUE(Faults().isEmpty()) << Faults().join("\n").toStdString();
}

// Pulled in the middle of a download: the removed-stick popup waits for
// "Continue", a new check finds no stick, the roots are offered again.
TEST_F(RoadOnDesktop, StickPulledMidDownloadIsShownAndTheRootsOfferedAgain)
{
    ReachMandatoryOffer();
    StartHeldDownload();
    RemoveStick();
    ASSERT_TRUE(WaitShown("RootUpdate"));
    const std::vector<std::string> journey = Journey();
    EXPECT_EQ((std::vector<std::string> {"MapDownload", "UsbRemoved", "MapUpdateCheck", "RootUpdate"}),
        std::vector<std::string>(journey.end() - 4, journey.end()));
    // The popup holds the removed-stick message until it is dismissed.
    EXPECT_TRUE(Popup()->isVisible());
    EXPECT_EQ("Continue", PopupLinkText());
    EXPECT_EQ("Error", PopupText("labelStatusText"));
    Screenshot("stick-removed");
    ClickPopupLink();
    EXPECT_EQ("Manage maps", PopupText("labelContentTitle"));
}

// A stick whose checksum list does not match its files is not trusted.
TEST_F(RoadOnDesktop, StickWithACorruptChecksumListIsRefused)
{
    QFile list(StickRoot() + "/VexmarNDSUpdate/CHECKSUMS.MD5");
    ASSERT_TRUE(list.open(QIODevice::ReadWrite));
    QByteArray lines = list.readAll();
    lines[0] = lines[0] == '0' ? '1' : '0';
    list.seek(0);
    list.write(lines);
    list.close();
    InsertStick();
    ASSERT_TRUE(WaitShown("MetadataCorrupt"));
    EXPECT_TRUE(PopupText("labelContentText").startsWith("Something has gone wrong."));
    EXPECT_EQ("Error", PopupText("labelStatusText"));
    EXPECT_FALSE(QDir(StickRoot() + "/VexmarNDSFull").exists());
    Screenshot("corrupt-stick");
}

// Quitting while a download runs asks first: "No" returns to the download,
// which goes on; "Yes" ends the program, every thread joined.
TEST_F(RoadOnDesktop, QuitWhileDownloadingAsksFirst)
{
    ReachMandatoryOffer();
    StartHeldDownload();
    Click(MessageButton(true)); // the download page's "Cancel"
    ASSERT_EQ("Cancel map update download?", MessageTitle());
    Type({"Return"}); // "No"
    EXPECT_TRUE(QTest::qWaitFor([this] { return MessageTitle() == "Map update"; }, 5000));
    ChooseTrayMenu("Quit");
    ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == PromptPage; }, 5000));
    EXPECT_EQ("Quit application", MessageTitle());
    EXPECT_EQ("No", MessageButton(true)->text());
    EXPECT_EQ("Yes", MessageButton(false)->text());
    Screenshot("quit-prompt");
    // Return answers "No", wherever the focus is (here the header's help button).
    ExpectTabsInReadingOrder();
    Screenshot("quit-prompt-focus");
    UrlCatcher browser;
    Type({"Tab", "Return"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == MapsPage; }, 5000));
    EXPECT_TRUE(browser.urls.isEmpty());
    EXPECT_FALSE(quitAsked);
    EXPECT_EQ("Map update", MessageTitle());
    EXPECT_EQ("MapDownload", Shown());

    ChooseTrayMenu("Quit");
    ASSERT_TRUE(QTest::qWaitFor([this] { return MessageTitle() == "Quit application"; }, 5000));
    Click(MessageButton(false));
    EXPECT_TRUE(quitAsked);
    EXPECT_GT(ProgramThreads(), threadsBefore);
    machine.reset();
    EXPECT_EQ(1, log.Count(Log::Info, "Stopping USB discovery"));
    // The discovery thread ends shortly after its last discovery has stopped.
    EXPECT_TRUE(QTest::qWaitFor([this] { return ProgramThreads() == threadsBefore; }, 10000)) << ProgramThreads();
}

// The service stays unreachable for longer than the retry window: the
// connection-lost page; "Retry" resumes behind what is on the stick.
TEST_F(ShortRetryRoad, RetryAfterTheRetryWindowResumesTheDownload)
{
    ReachMandatoryOffer();
    const QString archive = QString("/files/") + Mandatory;
    service.SetFault({{"path", archive}, {"kind", "drop_after"}, {"bytes", 5000000}});
    service.SetFault({{"path", archive}, {"kind", "drop_after"}, {"bytes", 0}, {"times", -1}});
    Click(MessageButton(true));
    ASSERT_TRUE(WaitShown("NoConnection"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return MessageTitle() == "No internet connection"; }, 5000));
    EXPECT_EQ("Retry", MessageButton(true)->text());
    EXPECT_EQ("Cancel", MessageButton(false)->text());
    EXPECT_EQ(MapInfo::Downloading, MapStorage::Instance().FindMap(Mandatory).state);
    Screenshot("no-connection");

    service.ClearFaults();
    Click(MessageButton(true));
    RunToPending();
    const QStringList ranges = service.ArchiveRanges();
    ASSERT_GE(ranges.size(), 3);
    EXPECT_EQ("bytes=5000000-", ranges.back());
}
