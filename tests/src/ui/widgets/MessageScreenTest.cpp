#include "../UiTest.h"

#include "Filesystem.h"
#include "MessageScreen.h"

using Ui::MessageType;

namespace {

MapInfo Europe(MapInfo::State state, std::int64_t downloaded, std::int64_t size, MapInfo::Type type = MapInfo::Optional)
{
    MapInfo map = Map("map-1", type, state);
    map.name = L"Europe";
    map.downloaded = downloaded;
    map.size = size;
    return map;
}

class MessageScreenTest : public ::testing::Test {
protected:
    QString Title() const { return Child<QLabel>(&screen, "labelMessageTitle")->text(); }
    QString Description() const { return Child<QLabel>(&screen, "labelMessageDescription")->text(); }
    QPushButton* Button(bool first) const
    {
        return Child<QPushButton>(&screen, first ? "pushButtonPrimary" : "pushButtonSecondary");
    }
    // Whether the button would be shown, and can be pressed, once the page is.
    bool Offered(bool first) const { return !Button(first)->isHidden() && Button(first)->isEnabled(); }
    bool ShowsIcon(const QString& path) const
    {
        return log.Count(Log::Debug, "Loading icon from: " + path.toStdString()) > 0;
    }

    CleanStores stores;
    LogCapture log;
    SilentUi ui;
    Ui::MessageScreen screen {&ui};
};

} // namespace

// The two progress pages re-read their map every 500 ms until it leaves the
// catalogue; an empty map is not a division by zero; a map that is not valid
// changes nothing, and the refresh runs on.
TEST_F(MessageScreenTest, ProgressPagesFollowTheirMapUntilItLeaves)
{
    const auto shows = [this](const char* percent, std::int64_t part, std::int64_t whole) {
        return Description().contains(
            QString(" - %1 %\n%2 of %3").arg(percent, FormatSize(part, 2), FormatSize(whole, 2)));
    };
    Store(Europe(MapInfo::Downloading, 0, 0));
    screen.Show(MessageType::MapDownload);
    EXPECT_TRUE(shows("0", 0, 0));
    Store(Europe(MapInfo::Downloading, 123, 1000));
    screen.Show(MessageType::MapDownload);
    EXPECT_EQ(Title(), "Map update");
    EXPECT_TRUE(Description().startsWith("Europe\nDownloading"));
    EXPECT_TRUE(shows("12", 123, 1000));
    EXPECT_TRUE(ShowsIcon(":/icons/ic_progress_72/ic_progress_3.png"));
    EXPECT_TRUE(Offered(true));
    EXPECT_TRUE(Button(false)->isHidden());
    Click(Button(true));
    screen.Init(MessageType::UsbTooSmall, MapInfo());
    EXPECT_EQ(log.Count(Log::Warning, "Map info is not valid"), 1);
    EXPECT_TRUE(shows("12", 123, 1000));
    EXPECT_FALSE(Button(true)->isEnabled()); // the buttons stay as the click left them
    Store(Europe(MapInfo::Downloading, 200, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(shows("20", 200, 1000), 5000);
    MapStorage::Instance().RemoveMap("map-1");
    QTest::qWait(700); // the refresh finds nothing and stops
    Store(Europe(MapInfo::Downloading, 900, 1000));
    QTest::qWait(1200);
    EXPECT_TRUE(shows("20", 200, 1000));

    Store(Europe(MapInfo::Deleting, 1000, 1000)); // the deletion counts down
    screen.Show(MessageType::MapDelete);
    EXPECT_TRUE(Description().startsWith("Europe\nCancelling download"));
    EXPECT_TRUE(shows("0", 0, 1000));
    EXPECT_TRUE(ShowsIcon(":/icons/ic_delete_72/ic_delete_32.png"));
    EXPECT_TRUE(Button(true)->isHidden() && Button(false)->isHidden());
    Store(Europe(MapInfo::Deleting, 250, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(shows("75", 750, 1000), 5000);
    EXPECT_TRUE(ShowsIcon(":/icons/ic_delete_72/ic_delete_8.png"));
}

// Names come from the service: markup and markers stay literal.
TEST_F(MessageScreenTest, ServerTextIsShownLiterally)
{
    MapInfo map = Europe(MapInfo::Downloading, 123, 1000);
    map.name = L"<b>Europe</b> %2";
    Store(map);
    screen.Show(MessageType::MapDownload);
    EXPECT_TRUE(Description().startsWith("<b>Europe</b> %2\nDownloading - 12 %"));
    EXPECT_EQ(Child<QLabel>(&screen, "labelMessageDescription")->textFormat(), Qt::PlainText);
}
