#include "../UiTest.h"
#include "Filesystem.h"

using Ui::MessageType;

class MessageScreenTest : public ::testing::Test {
protected:
    QString Title() const { return Child<QLabel>(&screen, "labelMessageTitle")->text(); }
    QString Description() const { return Child<QLabel>(&screen, "labelMessageDescription")->text(); }
    // Whether the button would be shown, and can be pressed, once the page is.
    bool Offered(const char* button) const
    {
        return !Child(&screen, button)->isHidden() && Child(&screen, button)->isEnabled();
    }
    QString Icon() const // the picture loaded last
    {
        const std::string loading = "Loading icon from: ";
        QString last;
        for (const auto& record : log.Records())
            if (record.message.rfind(loading, 0) == 0)
                last = QString::fromStdString(record.message.substr(loading.size()));
        return last;
    }

    CleanStores stores;
    LogCapture log;
    SilentUi ui;
    Ui::MessageScreen screen {&ui};
};

// Kinds that need a map (or none) leave the page as it was; the others are built under the warning picture.
TEST_F(MessageScreenTest, ShowBuildsOnlyTheKindsThatNeedNoMap)
{
    const std::tuple<int, const char*, bool> cases[]
        = {{1, "Cancel map update?", true}, {2, "Unsaved changes detected", true}, {5, "No internet connection", true},
            {6, "No USB stick found", false}, {7, "Quit application", true},
            {8, "Map update server not available", true}, {9, "Cancel map update download?", true},
            {10, "Map update subscription expired", false}, {13, "Map update download failed", false},
            {14, "Insufficient memory space available", false}, {4, nullptr, false}, {11, nullptr, false},
            {12, nullptr, false}, {15, nullptr, false}, {16, nullptr, false}, {-1, nullptr, false}};
    Store(Map("map-1", MapInfo::Installed)); // to restore
    for (const auto& [kind, title, second] : cases) {
        SCOPED_TRACE(kind);
        screen.Show(MessageType::NoUsb);
        screen.Show(static_cast<MessageType>(kind));
        EXPECT_EQ(Title(), title ? title : "No USB stick found");
        EXPECT_EQ(Icon(), ":/icons/ic_warning_big.png");
        EXPECT_TRUE(Offered("pushButtonPrimary"));
        EXPECT_EQ(Offered("pushButtonSecondary"), second);
    }
    EXPECT_EQ(log.Count(Log::Info, "Showing Server error message screen"), 1);
}

// An empty map is no division by zero.
TEST_F(MessageScreenTest, DownloadPageShowsPercentageAndFrame)
{
    const std::tuple<std::int64_t, std::int64_t, const char*, const char*> cases[]
        = {{123, 1000, "12 %", "3"}, {1000, 1000, "100 %", "32"}, {0, 0, "0 %", "0"}};
    for (const auto& [downloaded, size, percent, frame] : cases) {
        SCOPED_TRACE(percent);
        MapInfo map = Map("map-1", MapInfo::Optional, MapInfo::Downloading);
        map.downloaded = downloaded, map.size = size;
        Store(map);
        screen.Show(MessageType::MapDownload);
        EXPECT_EQ(Title(), "Map update");
        EXPECT_EQ(Description(),
            QString("Map map-1\nDownloading - %1\n%2 of %3")
                .arg(percent, FormatSize(std::uint64_t(downloaded), 2), FormatSize(std::uint64_t(size), 2)));
        EXPECT_EQ(Icon(), QString(":/icons/ic_progress_72/ic_progress_%1.png").arg(frame));
        EXPECT_TRUE(Offered("pushButtonPrimary"));
        EXPECT_TRUE(Child(&screen, "pushButtonSecondary")->isHidden());
    }
}

// The page re-reads the map as the deletion goes on; its picture empties as the percentage fills.
TEST_F(MessageScreenTest, DeletionPageCountsDownAsTheDownloadIsRemoved)
{
    MapInfo map = Map("map-1", MapInfo::Optional, MapInfo::Deleting);
    map.downloaded = map.size = 1000;
    Store(map);
    screen.Show(MessageType::MapDelete);
    EXPECT_EQ(
        Description(), "Map map-1\nCancelling download - 0 %\n" + FormatSize(0, 2) + " of " + FormatSize(1000, 2));
    EXPECT_EQ(Icon(), ":/icons/ic_delete_72/ic_delete_32.png");
    EXPECT_TRUE(Child(&screen, "pushButtonPrimary")->isHidden() && Child(&screen, "pushButtonSecondary")->isHidden());
    for (const auto& [left, percent, frame] : {std::tuple {250, "75 %", "8"}, std::tuple {0, "100 %", "0"}}) {
        map.downloaded = left;
        Store(map);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Description().contains(percent); }, 20000)) << percent;
        EXPECT_EQ(Icon(), QString(":/icons/ic_delete_72/ic_delete_%1.png").arg(frame));
    }
}

// Names come from the service: markup and markers stay literal; a name of megabytes is shown up to a bound.
TEST_F(MessageScreenTest, ServerTextIsShownLiterally)
{
    MapInfo map = Map("map-1", MapInfo::Optional, MapInfo::Downloading);
    map.name = L"<b>Europe</b> %2" + std::wstring(4 << 20, L'w');
    Store(map);
    screen.Show(MessageType::MapDownload);
    EXPECT_TRUE(Description().startsWith("<b>Europe</b> %2www"));
    EXPECT_LT(Description().size(), 400);
    EXPECT_EQ(Child<QLabel>(&screen, "labelMessageDescription")->textFormat(), Qt::PlainText);
}

// Kinds that need a map, or no kind, leave the page as it is on Show; a new language builds it anew from its map.
TEST_F(MessageScreenTest, MapPagesAreBuiltFromTheMapGiven)
{
    MapInfo map = Map("map-1", MapInfo::Installed);
    map.size = 3 * 1024 * 1024;
    screen.Init(MessageType::MapUpdate, map);
    EXPECT_TRUE(Description().contains("3.00 MB"));
    map.type = MapInfo::Optional, map.size = 2048;
    screen.Init(MessageType::UsbTooSmall, map);
    MarkingTranslator translator; // the page is built anew from its map in the new language
    QCoreApplication::installTranslator(&translator);
    emit ui.UpdateLocale();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(Title(), "[de] Insufficient memory space available");
    for (MessageType kind : {MessageType::HeadUnitFull, MessageType::None})
        screen.Show(kind);
    EXPECT_TRUE(Description().contains("at least 2.00 "));
    screen.Show(MessageType::SubscriptionExpired); // nothing installed: nothing to restore
    EXPECT_TRUE(Child(&screen, "pushButtonPrimary")->isHidden());
}
