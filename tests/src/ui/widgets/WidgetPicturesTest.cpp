// Renders the map rows and the settings page in representative states. With
// TESSALY_PICTURES set to a folder the pictures are written there (docs/
// keeps the reviewed ones); every run checks that the region icons paint.
#include "MapStorage.h"
#include "Resources.h"
#include "Settings.h"
#include "SettingsScreen.h"
#include "SilentUi.h"
#include "TableRow.h"
#include "UsbStorage.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QSet>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A white sheet with the padding of the main window's pages.
class Sheet : public QWidget {
public:
    explicit Sheet(int width)
    {
        Fonts::Load();
        setObjectName("sheet");
        setStyleSheet("#sheet { background: #FFFFFF; }");
        layout = new QVBoxLayout(this);
        layout->setContentsMargins(20, 20, 20, 20);
        layout->setSpacing(0);
        setFixedWidth(width);
    }
    void Add(QWidget* widget) { layout->addWidget(widget); }
    QImage Picture()
    {
        adjustSize();
        show();
        return grab().toImage();
    }

private:
    QVBoxLayout* layout;
};

void Keep(const QImage& picture, const QString& name)
{
    const char* folder = std::getenv("TESSALY_PICTURES");
    if (folder != nullptr)
        picture.save(QDir(folder).filePath(name));
}

MapInfo Map(MapInfo::Type type, MapInfo::State state, bool root, const std::string& region, const wchar_t* name)
{
    MapInfo map;
    map.type = type;
    map.state = state;
    map.root = root;
    map.region = region;
    map.name = name;
    map.release = "2024.11";
    map.size = 9'876'543'210;
    return map;
}

int Colours(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y));
    return seen.size();
}

} // namespace

TEST(WidgetPictures, MapRowsShowTheirRegionIcons)
{
    Sheet sheet(740);
    const MapInfo maps[] = {
        Map(MapInfo::Optional, MapInfo::Available, true, "EUR", L"Europe (root)"),
        Map(MapInfo::Optional, MapInfo::Available, false, "NAM", L"North America"),
        Map(MapInfo::Installed, MapInfo::Unknown, false, "EUR", L"Europe (installed)"),
        Map(MapInfo::Optional, MapInfo::Pending, false, "EUR", L"Europe West"),
        Map(MapInfo::Optional, MapInfo::Downloading, false, "NAM", L"Canada"),
        Map(MapInfo::Mandatory, MapInfo::Available, false, "EUR", L"Europe East (no icon)"),
        Map(MapInfo::Optional, MapInfo::Available, false, "XYZ", L"<b>Unknown region</b> %2"),
    };
    std::vector<Ui::TableRow*> rows;
    for (const MapInfo& map : maps) {
        rows.push_back(new Ui::TableRow(map, &sheet));
        sheet.Add(rows.back());
    }
    Keep(sheet.Picture(), "map-rows.png");

    // The frames of the regions with pictures paint one; the others stay blank.
    const bool painted[] = {true, true, true, true, true, false, false};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QImage icon = rows[i]->findChild<QFrame*>("frameMapIcon")->grab().toImage();
        EXPECT_EQ(Colours(icon) > 1, painted[i]) << i;
    }
}

TEST(WidgetPictures, SettingsPageInEachOfItsStates)
{
    SilentUi ui;
    Settings::Instance().SetLocale("en_GB");
    MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
    Sheet sheet(820);
    auto* page = new Ui::SettingsScreen(&ui, &sheet);
    sheet.Add(page);
    sheet.setFixedHeight(480);
    Keep(sheet.Picture(), "settings-general.png");
    auto* languages = page->findChild<QComboBox*>("comboBoxLanguage");
    languages->showPopup();
    Keep(languages->view()->window()->grab().toImage(), "settings-language-list.png");
    languages->hidePopup();
    page->findChild<QCheckBox*>("checkBoxAutoStart")->toggle();
    Keep(sheet.Picture(), "settings-general-changed.png");
    page->OnSubscriptionButtonClicked();
    Keep(sheet.Picture(), "settings-subscription.png");
    page->OnAboutButtonClicked();
    const QImage about = sheet.Picture();
    Keep(about, "settings-about.png");
    EXPECT_FALSE(about.isNull());
}
