#include "../UiTest.h"

using Ui::MessageType;

class MessageScreenTest : public ::testing::Test {
protected:
    QString Description() const { return Child<QLabel>(&screen, "labelMessageDescription")->text(); }

    CleanStores stores;
    SilentUi ui;
    Ui::MessageScreen screen {&ui};
};

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

// Kinds that need a map, or no kind, leave the page as it is on Show.
TEST_F(MessageScreenTest, MapPagesAreBuiltFromTheMapGiven)
{
    MapInfo map = Map("map-1", MapInfo::Installed);
    map.size = 3 * 1024 * 1024;
    screen.Init(MessageType::MapUpdate, map);
    EXPECT_TRUE(Description().contains("3.00 MB"));
    map.type = MapInfo::Optional, map.size = 2048;
    screen.Init(MessageType::UsbTooSmall, map);
    emit ui.UpdateLocale();
    for (MessageType kind : {MessageType::HeadUnitFull, MessageType::None})
        screen.Show(kind);
    EXPECT_TRUE(Description().contains("at least 2.00 KB of free memory space"));
    screen.Show(MessageType::SubscriptionExpired); // nothing installed: nothing to restore
    EXPECT_TRUE(Child(&screen, "pushButtonPrimary")->isHidden());
}
