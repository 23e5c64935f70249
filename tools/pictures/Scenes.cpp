#include "Scenes.h"

#include "Footer.h"
#include "MainWindow.h"
#include "MapStorage.h"
#include "MessageScreen.h"
#include "Popup.h"
#include "SettingsScreen.h"
#include "Sheet.h"
#include "State.h"
#include "Strip.h"
#include "TableRow.h"
#include "UsbStorage.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <sstream>
#include <utility>

namespace {

using Ui::MessageType;
using Ui::State;

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

// One map on offer, a selected stick and the footer's space figures.
void Offer(MapInfo::Type type, MapInfo::State state, const std::string& id = "offer", bool root = false)
{
    MapStorage::Instance().Clear();
    MapStorage::Instance().SetSubscription({QDate(), 6'500'000'000, 16'000'000'000});
    UsbStorage::Instance().UpdateUsb({7, L"/media/stick", 16'000'000'000, 9'000'000'000, UsbInfo::ValidMetadata, true});
    MapInfo map = Map(type, state, L"Europe West 2023.05", state == MapInfo::Downloading ? 3'000'000'000 : 0, root);
    map.id = id;
    MapStorage::Instance().UpdateMap(map);
}

// The texts on show that their widget cuts off, as "objectName: text".
QStringList ClippedTexts(const QWidget& top)
{
    QStringList clipped;
    for (const QAbstractButton* button : top.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&top) && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            clipped << button->objectName() + ": " + button->text();
    }
    for (const QLabel* label : top.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&top) || label->text().isEmpty())
            continue;
        const bool fits = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                            : label->width() >= label->sizeHint().width();
        if (!fits)
            clipped << label->objectName() + ": " + label->text();
    }
    return clipped;
}

} // namespace

Scenes::Scenes(const QString& folder)
    : folder(folder)
{
}

void Scenes::Keep(const QImage& picture, const QString& name) const
{
    if (!folder.isEmpty())
        picture.save(QDir(folder).filePath(name + ".png"));
}

void Scenes::Check(QWidget& widget, const QString& scene)
{
    QTest::qWait(50); // word-wrapped labels settle their height after a layout pass
    const QString name = locale == "en_GB" ? scene : scene + "-" + locale;
    for (const QString& text : ClippedTexts(widget))
        clipped << name + ": " + text;
    Keep(widget.grab().toImage(), name);
}

void Scenes::Widgets()
{
    MessagePages();
    Footer();
    MapRows();
    SettingsPages();
    MapStorage::Instance().Clear();
    UsbStorage::Instance().Clear();
}

void Scenes::MessagePages()
{
    Sheet page(718, 371);
    auto* screen = new Ui::MessageScreen(&ui);
    page.layout->addWidget(screen);
    Strip strip;
    MapStorage::Instance().UpdateMap(Map(MapInfo::Optional, MapInfo::Downloading, L"<b>Europe</b> %2", 1'234'567'890));
    screen->Show(MessageType::MapDownload);
    strip.Add(page.Picture());
    MapStorage::Instance().UpdateMap(Map(MapInfo::Optional, MapInfo::Deleting, L"Europe", 6'000'000'000));
    screen->Show(MessageType::MapDelete);
    strip.Add(page.Picture());
    for (MapInfo::Type type : {MapInfo::Optional, MapInfo::Mandatory}) {
        screen->Init(MessageType::MapUpdate, Map(type, MapInfo::Available, L"Europe"));
        strip.Add(page.Picture());
    }
    screen->Show(MessageType::NoConnection);
    strip.Add(page.Picture());
    screen->findChild<QPushButton*>("pushButtonPrimary")->click();
    strip.Add(page.Picture()); // both buttons disabled after the click
    Keep(strip.Image(), "message-pages");
}

void Scenes::Footer()
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
    Keep(strip.Image(), "footer");
}

// Rows of the regions with pictures show one; the others stay blank.
void Scenes::MapRows()
{
    Sheet sheet(740, 0, 20);
    for (const MapInfo& map : {Map(MapInfo::Optional, MapInfo::Available, L"Europe (root)", 0, true),
             Map(MapInfo::Optional, MapInfo::Available, L"North America", 0, false, "NAM"),
             Map(MapInfo::Installed, MapInfo::Unknown, L"Europe (installed)"),
             Map(MapInfo::Optional, MapInfo::Pending, L"Europe West"),
             Map(MapInfo::Optional, MapInfo::Downloading, L"Canada", 0, false, "NAM"),
             Map(MapInfo::Mandatory, MapInfo::Available, L"Europe East (no icon)"),
             Map(MapInfo::Optional, MapInfo::Available, L"<b>Unknown region</b> %2", 0, false, "XYZ"),
             Map(MapInfo::Optional, MapInfo::Available, // elided before the button
                 L"Europe Complete with Premium Points of Interest, 3D Landmarks, Junction Views and Truck Attributes",
                 0, true)})
        sheet.layout->addWidget(new Ui::TableRow(map, &sheet));
    Keep(sheet.Picture(), "map-rows");
}

void Scenes::SettingsPages()
{
    MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
    Sheet sheet(820, 480, 20);
    auto* page = new Ui::SettingsScreen(&ui, &sheet);
    sheet.layout->addWidget(page);
    Keep(sheet.Picture(), "settings-general");
    auto* languages = page->findChild<QComboBox*>("comboBoxLanguage");
    languages->showPopup();
    Keep(languages->view()->window()->grab().toImage(), "settings-language-list");
    languages->hidePopup();
    page->findChild<QCheckBox*>("checkBoxAutoStart")->toggle();
    Keep(sheet.Picture(), "settings-general-changed");
    page->OnSubscriptionButtonClicked();
    Keep(sheet.Picture(), "settings-subscription");
    page->OnAboutButtonClicked();
    Keep(sheet.Picture(), "settings-about");
}

void Scenes::WindowAndPopup(const QString& language)
{
    locale = language;
    Ui::MainWindow window(&ui);
    window.resize(800, 600);
    const auto offer = [](MapInfo::Type type, MapInfo::State state) { return [=] { Offer(type, state); }; };
    const auto roots = [] {
        Offer(MapInfo::Optional, MapInfo::Available, "eu-west", true);
        MapInfo east = MapStorage::Instance().FindMap("eu-west");
        east.id = "eu-east";
        east.name = L"Europe East 2023.05";
        MapStorage::Instance().UpdateMap(east);
    };
    const struct {
        const char* scene;
        std::function<void()> seed;
        State state;
    } states[] = {
        {"main-window-root-offer", roots, State::RootUpdate},
        {"main-window-optional-offer", offer(MapInfo::Optional, MapInfo::Available), State::OptionalUpdate},
        {"main-window-installed-offer", offer(MapInfo::Installed, MapInfo::Available), State::SubscriptionExpired},
        {"main-window-mandatory-offer", offer(MapInfo::Mandatory, MapInfo::Available), State::MandatoryUpdate},
        {"main-window-download", offer(MapInfo::Optional, MapInfo::Downloading), State::MapDownload},
        {"main-window-deletion", offer(MapInfo::Optional, MapInfo::Deleting), State::CancelDownload},
        {"main-window-pending", offer(MapInfo::Optional, MapInfo::Pending), State::PendingUpdate},
        {"main-window-no-connection", offer(MapInfo::Optional, MapInfo::Downloading), State::NoConnection},
        {"main-window-server-error", offer(MapInfo::Optional, MapInfo::Downloading), State::ServerError},
        {"main-window-up-to-date", offer(MapInfo::Installed, MapInfo::Available), State::UpToDate},
        {"main-window-stick-check", offer(MapInfo::Installed, MapInfo::Available), State::UsbCheck},
        {"main-window-stick-blocked", offer(MapInfo::Optional, MapInfo::Available), State::UsbBlocked},
        {"main-window-stick-full", offer(MapInfo::Optional, MapInfo::Available), State::UsbFull},
        {"main-window-stick-too-small", offer(MapInfo::Mandatory, MapInfo::Available), State::UsbTooSmall},
    };
    for (const auto& scene : states) {
        scene.seed();
        window.SetState(scene.state);
        window.ShowMapsPage();
        Check(window, scene.scene);
    }
    const auto click = [&window](const char* button) { window.findChild<QPushButton*>(button)->click(); };
    const std::pair<const char*, std::function<void()>> prompts[] = {
        {"main-window-update-prompt",
            [&] {
                Offer(MapInfo::Optional, MapInfo::Available);
                window.ShowUpdateMapMessage(MapStorage::Instance().GetOptionalMap());
            }},
        {"main-window-stop-download-prompt", [&] { window.ShowStopDownloadMessage(); }},
        {"main-window-discard-update-prompt", [&] { window.ShowDiscardUpdateMessage(); }},
        {"main-window-discard-settings-prompt", [&] { window.ShowDiscardSettingsMessage(false); }},
        {"main-window-quit-prompt", [&] { window.ShowQuitApplicationMessage(); }},
        {"main-window-no-stick", [&] { window.SetNoUsb(); }},
        {"main-window-settings", [&] { window.ShowSettingsPage(); }},
        {"main-window-settings-subscription", [&] { click("pushButtonSubscription"); }},
        {"main-window-settings-subscription-until",
            [&] {
                MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
                emit ui.UpdateLocale(); // the page reads the subscription with its texts
                click("pushButtonSubscription");
            }},
        {"main-window-settings-about", [&] { click("pushButtonAbout"); }},
    };
    for (const auto& [scene, show] : prompts) {
        show();
        Check(window, scene);
    }

    Offer(MapInfo::Optional, MapInfo::Available);
    Ui::Popup popup(&ui);
    for (int value = 0; value <= static_cast<int>(State::UsbTooSmall); ++value) {
        const auto state = static_cast<State>(value);
        if (state == State::Unknown)
            continue;
        popup.SetState(state);
        popup.show();
        std::ostringstream name;
        name << "popup-" << state;
        Check(popup, QString::fromStdString(name.str()));
        popup.SetState(State::MapDownload); // releases a held message
    }
    MapStorage::Instance().Clear();
    UsbStorage::Instance().Clear();
}
