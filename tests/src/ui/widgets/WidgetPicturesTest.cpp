// Renders the message pages, the footer, the map rows and the settings page in
// representative states; every run checks that the pictures they name paint.
#include "../CleanStores.h"
#include "../Pictures.h"
#include "Footer.h"
#include "MessageScreen.h"
#include "Resources.h"
#include "Settings.h"
#include "SettingsScreen.h"
#include "SilentUi.h"
#include "TableRow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Ui::MessageType;

MapInfo Map(MapInfo::Type type, MapInfo::State state, const wchar_t* name, std::int64_t downloaded = 0,
    bool root = false, const std::string& region = "EUR")
{
    MapInfo map;
    map.id = "europe";
    map.type = type;
    map.state = state;
    map.root = root;
    map.region = region;
    map.name = name;
    map.release = "2024.11";
    map.downloaded = downloaded;
    map.size = 9'876'543'210;
    return map;
}

// More than one colour: the widget paints a picture on its background.
bool Paints(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y));
    return seen.size() > 1;
}

class WidgetPictures : public ::testing::Test {
protected:
    WidgetPictures() { Fonts::Load(); }

    CleanStores stores;
    SilentUi ui;
};

TEST_F(WidgetPictures, MessagePages)
{
    Sheet page(718, 371);
    auto* screen = new Ui::MessageScreen(&ui);
    page.layout->addWidget(screen);
    Strip strip;
    MapStorage::Instance().UpdateMap(Map(MapInfo::Optional, MapInfo::Downloading, L"<b>Europe</b> %2", 1'234'567'890));
    screen->Show(MessageType::MapDownload);
    strip.Add(page.Picture());
    EXPECT_TRUE(Paints(screen->findChild<QLabel*>("labelMessageIcon")));
    MapStorage::Instance().UpdateMap(Map(MapInfo::Optional, MapInfo::Deleting, L"Europe", 6'000'000'000));
    screen->Show(MessageType::MapDelete);
    strip.Add(page.Picture());
    for (MapInfo::Type type : {MapInfo::Optional, MapInfo::Mandatory}) {
        screen->Init(MessageType::MapUpdate, Map(type, MapInfo::Available, L"Europe"));
        strip.Add(page.Picture());
    }
    screen->Show(MessageType::NoConnection);
    strip.Add(page.Picture());
    EXPECT_TRUE(Paints(screen->findChild<QLabel*>("labelMessageIcon")));
    QTest::mouseClick(screen->findChild<QPushButton*>("pushButtonPrimary"), Qt::LeftButton);
    strip.Add(page.Picture()); // both buttons disabled after the click
    KeepPicture(strip.Image(), "message-pages");
}

TEST_F(WidgetPictures, Footer)
{
    Sheet window(800, 200);
    window.layout->addStretch(1);
    auto* footer = new Ui::Footer(&window);
    window.layout->addWidget(footer);
    footer->RetranslateUi();
    Strip strip;
    const auto stick = [footer](UsbInfo::Id id, const wchar_t* path, std::uint64_t total, std::uint64_t free,
                           UsbInfo::State state, bool selected = true) {
        UsbStorage::Instance().UpdateUsb({id, path, total, free, state, selected});
        footer->UpdateState();
    };
    MapStorage::Instance().SetSubscription({QDate(), 3'000'000'000, 8'000'000'000});
    stick(1, L"/media/user/MAPS", 16'000'000'000, 4'500'000'000, UsbInfo::ValidMetadata);
    strip.Add(window.Picture());
    EXPECT_TRUE(Paints(footer->findChild<QLabel*>("labelLogoFooter")));

    MapStorage::Instance().SetSubscription({QDate(), 0, 8'000'000'000});
    stick(1, L"/media/user/MAPS", 16'000'000'000, 0, UsbInfo::InvalidMetadata);
    strip.Add(window.Picture()); // nothing free: red

    stick(1, L"/run/media/user/0a1b2c3d-4e5f-6789-abcd-ef0123456789/VehicleMaps/STICK-42", 16'000'000'000,
        4'500'000'000, UsbInfo::ValidMetadata);
    strip.Add(window.Picture()); // a long path keeps its start and end

    stick(1, L"/media/user/MAPS", 16'000'000'000, 9'000'000'000, UsbInfo::NoMetadata);
    stick(2, L"/media/user/BACKUP", 8'000'000'000, 1'000'000'000, UsbInfo::NoMetadata, false);
    stick(3, L"/media/user/STICK", 4'000'000'000, 3'000'000'000, UsbInfo::NoMetadata, false);
    footer->ToggleUsbList();
    strip.Add(window.Picture()); // the stick list open above the stick panel

    UsbStorage::Instance().Clear();
    footer->UpdateState();
    strip.Add(window.Picture()); // no stick: the logo alone
    KeepPicture(strip.Image(), "footer");
}

// The frames of the regions with pictures paint one; the others stay blank.
TEST_F(WidgetPictures, MapRowsShowTheirRegionIcons)
{
    Sheet sheet(740, 0, 20);
    const struct {
        MapInfo map;
        bool icon;
    } rows[] = {
        {Map(MapInfo::Optional, MapInfo::Available, L"Europe (root)", 0, true), true},
        {Map(MapInfo::Optional, MapInfo::Available, L"North America", 0, false, "NAM"), true},
        {Map(MapInfo::Installed, MapInfo::Unknown, L"Europe (installed)"), true},
        {Map(MapInfo::Optional, MapInfo::Pending, L"Europe West"), true},
        {Map(MapInfo::Optional, MapInfo::Downloading, L"Canada", 0, false, "NAM"), true},
        {Map(MapInfo::Mandatory, MapInfo::Available, L"Europe East (no icon)"), false},
        {Map(MapInfo::Optional, MapInfo::Available, L"<b>Unknown region</b> %2", 0, false, "XYZ"), false},
        {Map(MapInfo::Optional, MapInfo::Available,
             L"Europe Complete with Premium Points of Interest, 3D Landmarks, Junction Views and Truck Attributes", 0,
             true),
            true}, // elided before the button
    };
    std::vector<Ui::TableRow*> made;
    for (const auto& row : rows) {
        made.push_back(new Ui::TableRow(row.map, &sheet));
        sheet.layout->addWidget(made.back());
    }
    KeepPicture(sheet.Picture(), "map-rows");
    for (std::size_t i = 0; i < made.size(); ++i)
        EXPECT_EQ(Paints(made[i]->findChild<QFrame*>("frameMapIcon")), rows[i].icon) << i;
}

TEST_F(WidgetPictures, SettingsPageInEachOfItsStates)
{
    Settings::Instance().SetLocale("en_GB");
    MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
    Sheet sheet(820, 480, 20);
    auto* page = new Ui::SettingsScreen(&ui, &sheet);
    sheet.layout->addWidget(page);
    KeepPicture(sheet.Picture(), "settings-general");
    auto* languages = page->findChild<QComboBox*>("comboBoxLanguage");
    languages->showPopup();
    KeepPicture(languages->view()->window()->grab().toImage(), "settings-language-list");
    languages->hidePopup();
    page->findChild<QCheckBox*>("checkBoxAutoStart")->toggle();
    KeepPicture(sheet.Picture(), "settings-general-changed");
    page->OnSubscriptionButtonClicked();
    KeepPicture(sheet.Picture(), "settings-subscription");
    page->OnAboutButtonClicked();
    const QImage about = sheet.Picture();
    KeepPicture(about, "settings-about");
    EXPECT_FALSE(about.isNull());
}

} // namespace
