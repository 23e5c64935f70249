#include "MessageScreen.h"
#include "../CleanStores.h"
#include "Filesystem.h"
#include "LogCapture.h"
#include "SilentUi.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Ui::MessageType;

MapInfo Map(MapInfo::State state, std::int64_t downloaded, std::int64_t size, MapInfo::Type type = MapInfo::Optional)
{
    MapInfo map;
    map.id = "map-1";
    map.name = L"Europe";
    map.state = state;
    map.type = type;
    map.downloaded = downloaded;
    map.size = size;
    return map;
}

class MessageScreenTest : public ::testing::Test {
protected:
    QString Title() const { return screen.findChild<QLabel*>("labelMessageTitle")->text(); }
    QString Description() const { return screen.findChild<QLabel*>("labelMessageDescription")->text(); }
    QPushButton* Primary() const { return screen.findChild<QPushButton*>("pushButtonPrimary"); }
    QPushButton* Secondary() const { return screen.findChild<QPushButton*>("pushButtonSecondary"); }
    // Whether the button would be shown, and can be pressed, once the page is.
    static bool Offered(const QPushButton* button) { return !button->isHidden() && button->isEnabled(); }
    bool ShowsIcon(const QString& path) const
    {
        return log.Count(Log::Debug, "Loading icon from: " + path.toStdString()) > 0;
    }

    CleanStores stores;
    LogCapture log;
    SilentUi ui;
    Ui::MessageScreen screen {&ui};
};

TEST_F(MessageScreenTest, ShowBuildsOnlyTheKindsThatNeedNoMap)
{
    const struct {
        int type;
        const char* title; // nullptr: the page keeps what it showed
        bool second;
    } cases[] = {{1, "Cancel map update?", true}, {2, "Unsaved changes detected", true},
        {5, "No internet connection", true}, {6, "No USB stick found", false}, {7, "Quit application", true},
        {8, "Map update server not available", true}, {9, "Cancel map update download?", true},
        {10, "Map update subscription expired", false}, {13, "Map update download failed", false},
        {14, "Insufficient memory space available", false}, {4, nullptr, false}, {11, nullptr, false},
        {12, nullptr, false}, {15, nullptr, false}, {16, nullptr, false}, {-1, nullptr, false}};
    MapStorage::Instance().UpdateMap(Map(MapInfo::Available, 0, 1, MapInfo::Installed)); // to restore
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        screen.Show(MessageType::NoUsb);
        screen.Show(static_cast<MessageType>(c.type));
        EXPECT_EQ(Title(), c.title ? c.title : "No USB stick found");
        EXPECT_TRUE(Offered(Primary()));
        if (c.title) {
            EXPECT_EQ(Offered(Secondary()), c.second);
        }
    }
    EXPECT_EQ(log.Count(Log::Info, "Showing Server error message screen"), 1);
    EXPECT_TRUE(ShowsIcon(":/icons/ic_warning_big.png"));
    // With no installed map nothing can be restored.
    MapStorage::Instance().Clear();
    screen.Show(MessageType::SubscriptionExpired);
    EXPECT_FALSE(Offered(Primary()));
}

TEST_F(MessageScreenTest, DownloadPageShowsPercentageAndFrame)
{
    const struct {
        std::int64_t downloaded, size;
        const char* percent;
        const char* frame;
    } cases[] = {
        {123, 1000, "12 %", "3"}, {1000, 1000, "100 %", "32"},
        {0, 0, "0 %", "0"}, // an empty map is not a division by zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, c.downloaded, c.size));
        screen.Show(MessageType::MapDownload);
        EXPECT_EQ(Title(), "Map update");
        EXPECT_EQ(Description(),
            QString("Europe\nDownloading - %1\n%2 of %3")
                .arg(c.percent, FormatSize(static_cast<std::uint64_t>(c.downloaded), 2),
                    FormatSize(static_cast<std::uint64_t>(c.size), 2)));
        EXPECT_TRUE(ShowsIcon(QString(":/icons/ic_progress_72/ic_progress_%1.png").arg(c.frame)));
        EXPECT_TRUE(Offered(Primary()));
        EXPECT_TRUE(Secondary()->isHidden());
    }
}

TEST_F(MessageScreenTest, DeletionPageCountsDownAsTheDownloadIsRemoved)
{
    MapStorage::Instance().UpdateMap(Map(MapInfo::Deleting, 1000, 1000));
    screen.Show(MessageType::MapDelete);
    EXPECT_EQ(Description(), "Europe\nCancelling download - 0 %\n" + FormatSize(0, 2) + " of " + FormatSize(1000, 2));
    EXPECT_TRUE(ShowsIcon(":/icons/ic_delete_72/ic_delete_32.png"));
    EXPECT_TRUE(Primary()->isHidden());
    EXPECT_TRUE(Secondary()->isHidden());

    MapStorage::Instance().UpdateMap(Map(MapInfo::Deleting, 250, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(Description().contains("75 %"), 2000);
    EXPECT_TRUE(ShowsIcon(":/icons/ic_delete_72/ic_delete_8.png"));
    MapStorage::Instance().UpdateMap(Map(MapInfo::Deleting, 0, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(Description().contains("100 %"), 2000);
    EXPECT_TRUE(ShowsIcon(":/icons/ic_delete_72/ic_delete_0.png"));
}

TEST_F(MessageScreenTest, ProgressRefreshStopsWhenTheMapLeavesTheCatalogue)
{
    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, 100, 1000));
    screen.Show(MessageType::MapDownload);
    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, 200, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(Description().contains("20 %"), 2000);

    MapStorage::Instance().RemoveMap("map-1");
    QTest::qWait(700); // the refresh finds nothing and stops
    EXPECT_TRUE(Description().contains("20 %"));
    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, 900, 1000));
    QTest::qWait(1200);
    EXPECT_TRUE(Description().contains("20 %"));
}

TEST_F(MessageScreenTest, MapUpdateTextsFollowTheMapType)
{
    const struct {
        MapInfo::Type type;
        const char* title;
        bool cancel;
    } cases[] = {
        {MapInfo::Installed, "Confirm map download", true}, {MapInfo::Optional, "Confirm optional map update", true},
        {MapInfo::Mandatory, "Confirm mandatory map update", false}, // can only be confirmed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        screen.Init(MessageType::MapUpdate, Map(MapInfo::Available, 0, 3 * 1024 * 1024, c.type));
        EXPECT_EQ(Title(), c.title);
        EXPECT_TRUE(Description().contains("3.00 MB"));
        EXPECT_EQ(Offered(Secondary()), c.cancel);
    }
    screen.Init(MessageType::UsbTooSmall, Map(MapInfo::Available, 0, 2048));
    EXPECT_TRUE(Description().contains("at least 2.00 KB of free memory space"));
}

TEST_F(MessageScreenTest, InvalidMapChangesNothing)
{
    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, 100, 1000));
    screen.Show(MessageType::MapDownload);
    QTest::mouseClick(Primary(), Qt::LeftButton);
    const QString description = Description();

    screen.Init(MessageType::UsbTooSmall, MapInfo());
    EXPECT_EQ(log.Count(Log::Warning, "Map info is not valid"), 1);
    EXPECT_EQ(Description(), description);
    EXPECT_FALSE(Primary()->isEnabled()); // the buttons stay as the click left them
    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, 500, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(Description().contains("50 %"), 2000); // and the refresh runs on
}

TEST_F(MessageScreenTest, ServerTextIsShownLiterally)
{
    MapInfo map = Map(MapInfo::Downloading, 123, 1000);
    map.name = L"<b>Europe</b> %2";
    MapStorage::Instance().UpdateMap(map);
    screen.Show(MessageType::MapDownload);
    EXPECT_TRUE(Description().startsWith("<b>Europe</b> %2\nDownloading - 12 %"));
    EXPECT_EQ(screen.findChild<QLabel*>("labelMessageDescription")->textFormat(), Qt::PlainText);
}

TEST_F(MessageScreenTest, ButtonClickDisablesBothButtonsAndEmitsOnce)
{
    QSignalSpy first(&screen, &Ui::MessageScreen::FirstButtonClicked);
    QSignalSpy second(&screen, &Ui::MessageScreen::SecondButtonClicked);
    screen.Show(MessageType::QuitApplication);
    QTest::mouseClick(Secondary(), Qt::LeftButton);
    QTest::mouseClick(Secondary(), Qt::LeftButton);
    QTest::mouseClick(Primary(), Qt::LeftButton);
    EXPECT_EQ(second.count(), 1);
    EXPECT_EQ(first.count(), 0);
    EXPECT_FALSE(Primary()->isEnabled());

    screen.Show(MessageType::StopDownload); // the next message offers its buttons again
    QTest::mouseClick(Primary(), Qt::LeftButton);
    EXPECT_EQ(first.count(), 1);
}

TEST_F(MessageScreenTest, LanguageChangeRebuildsTheMessageOnShow)
{
    emit ui.UpdateLocale(); // nothing on show yet: nothing to build
    EXPECT_EQ(Title(), "Message title");

    screen.Init(MessageType::MapUpdate, Map(MapInfo::Available, 0, 1000, MapInfo::Mandatory));
    QTest::mouseClick(Primary(), Qt::LeftButton);
    emit ui.UpdateLocale();
    EXPECT_EQ(Title(), "Confirm mandatory map update");
    EXPECT_TRUE(Offered(Primary()));
    EXPECT_TRUE(Secondary()->isHidden());
}

} // namespace
