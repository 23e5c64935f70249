// Every text the window and the popup show fits its button or label in every
// language: a longer translation must not be cut off. Each scene is kept as a
// picture "<scene>-<locale>", and in English as "<scene>".
#include "MainWindowFixture.h"

#include "Pictures.h"
#include "Popup.h"
#include "Resources.h"
#include "Settings.h"

#include <QAbstractButton>

#include <functional>

using Ui::State;

namespace {

// The texts on show that their widget cuts off, as "objectName: text".
QStringList Clipped(const QWidget& top)
{
    QStringList clipped;
    const auto note
        = [&clipped](const QWidget& widget, const QString& text) { clipped << widget.objectName() + ": " + text; };
    for (const QAbstractButton* button : top.findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(&top) && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            note(*button, button->text());
    }
    for (const QLabel* label : top.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&top) || label->text().isEmpty())
            continue;
        const bool fits = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                            : label->width() >= label->sizeHint().width();
        if (!fits)
            note(*label, label->text());
    }
    return clipped;
}

} // namespace

class TranslatedTextsFit : public MainWindowTest, public ::testing::WithParamInterface<QString> {
protected:
    void SetUp() override
    {
        Fonts::Load();
        Settings::Instance().SetLocale(GetParam());
        ASSERT_EQ(Settings::Instance().GetLanguage(), GetParam());
        emit ui.UpdateLocale();
        InsertStick();
    }
    void TearDown() override { Settings::Instance().SetLocale("en_GB"); }

    // Checks the widget as it shows now, and keeps its picture when asked to.
    void Check(QWidget& widget, const QString& scene)
    {
        QTest::qWait(50); // word-wrapped labels settle their height after a layout pass
        EXPECT_EQ(Clipped(widget), QStringList()) << scene.toStdString();
        KeepPicture(widget.grab().toImage(), GetParam() == "en_GB" ? scene : scene + "-" + GetParam());
    }

    // One map on offer, and the footer's space figures.
    static void Offer(MapInfo::Type type, MapInfo::State state)
    {
        MapStorage::Instance().Clear();
        MapStorage::Instance().SetSubscription({QDate(), 6'500'000'000, 16'000'000'000});
        MapInfo map = Map("offer", type, state);
        map.name = L"Europe West 2023.05";
        Store(map);
    }
};

// Each state on the window, with a catalogue that gives its page something to show.
TEST_P(TranslatedTextsFit, InTheWindow)
{
    const auto roots = [] {
        Offer(MapInfo::Optional, MapInfo::Available);
        MapStorage::Instance().RemoveMap("offer");
        for (const char* id : {"eu-west", "eu-east"})
            Store(Map(id, MapInfo::Optional, MapInfo::Available, "EUR", true));
    };
    const auto offer = [](MapInfo::Type type, MapInfo::State state) { return [=] { Offer(type, state); }; };
    const struct {
        const char* scene;
        std::function<void()> seed;
        State state;
    } scenes[] = {
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
    window.resize(800, 600);
    for (const auto& scene : scenes) {
        scene.seed();
        window.SetState(scene.state);
        window.ShowMapsPage();
        Check(window, scene.scene);
    }
    const std::pair<const char*, std::function<void()>> prompts[] = {
        {"main-window-update-prompt",
            [this] {
                Offer(MapInfo::Optional, MapInfo::Available);
                window.ShowUpdateMapMessage(MapStorage::Instance().GetOptionalMap());
            }},
        {"main-window-stop-download-prompt", [this] { window.ShowStopDownloadMessage(); }},
        {"main-window-discard-update-prompt", [this] { window.ShowDiscardUpdateMessage(); }},
        {"main-window-discard-settings-prompt", [this] { window.ShowDiscardSettingsMessage(false); }},
        {"main-window-quit-prompt", [this] { window.ShowQuitApplicationMessage(); }},
        {"main-window-no-stick", [this] { window.SetNoUsb(); }},
        {"main-window-settings", [this] { window.ShowSettingsPage(); }},
        {"main-window-settings-subscription", [this] { Click(Button("pushButtonSubscription")); }},
        {"main-window-settings-subscription-until",
            [this] {
                MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
                emit ui.UpdateLocale(); // the page reads the subscription with its texts
                Click(Button("pushButtonSubscription"));
            }},
        {"main-window-settings-about", [this] { Click(Button("pushButtonAbout")); }},
    };
    for (const auto& [scene, show] : prompts) {
        show();
        Check(window, scene);
    }
}

// Each state the popup comes up for.
TEST_P(TranslatedTextsFit, InThePopup)
{
    Offer(MapInfo::Optional, MapInfo::Available);
    Ui::Popup popup(&ui);
    for (State state : AllStates()) {
        popup.SetState(state);
        popup.show();
        Check(popup, QString::fromStdString("popup-" + testing::PrintToString(state)));
        popup.SetState(State::MapDownload); // releases a held message
    }
}

// The header's capitals follow the language's rules: only Turkish capitalises
// "i" as a dotted capital.
TEST_P(TranslatedTextsFit, HeaderCapitalsFollowTheLanguage)
{
    const QString header = Button("pushButtonMapUpdates")->text();
    EXPECT_EQ(header, header.toUpper()) << header.toStdString();
    if (GetParam() == "tr_TR") {
        EXPECT_EQ(header, QString::fromUtf8("HARİTA GÜNCELLEMELERİ"));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, TranslatedTextsFit,
    ::testing::Values("en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"),
    [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });
