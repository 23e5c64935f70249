#include "SettingsScreen.h"

#include "Config.h"
#include "LogCapture.h"
#include "MapStorage.h"
#include "Settings.h"
#include "SilentUi.h"
#include "UrlCatcher.h"
#include "UsbStorage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// The page over the process-wide settings, catalogue and stick registry,
// each put back to a known state first: English, no autostart, nothing known.
class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.SetLocale("en_GB");
        settings.SetRunAtStartup(false);
        MapStorage::Instance().Clear();
        UsbStorage::Instance().Clear();
    }

    std::unique_ptr<Ui::SettingsScreen> Make() { return std::make_unique<Ui::SettingsScreen>(&ui, nullptr); }

    template <typename T> static T* Find(const Ui::SettingsScreen& page, const char* name)
    {
        return page.findChild<T*>(name);
    }
    static QComboBox* Languages(const Ui::SettingsScreen& page) { return Find<QComboBox>(page, "comboBoxLanguage"); }
    static QString Text(const Ui::SettingsScreen& page, const char* name)
    {
        return Find<QWidget>(page, name)->property("text").toString();
    }
    static bool Clean(const Ui::SettingsScreen& page)
    {
        return !page.HasUnsavedChanges() && !Find<QPushButton>(page, "pushButtonSaveSettings")->isEnabled()
            && Find<QPushButton>(page, "pushButtonCancel")->isHidden();
    }
    static void Choose(const Ui::SettingsScreen& page, const QString& localeName)
    {
        const int index = Languages(page)->findData(QLocale(localeName));
        ASSERT_GE(index, 0) << localeName.toStdString();
        Languages(page)->setCurrentIndex(index);
    }
    static void Save(const Ui::SettingsScreen& page) { Find<QPushButton>(page, "pushButtonSaveSettings")->click(); }
    static QJsonObject SavedFile()
    {
        QFile file(Config::Instance().dataDir + "/settings.json");
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }

    SilentUi ui;
    Settings& settings = Settings::Instance();
};

} // namespace

TEST_F(SettingsPage, StartsCleanOnTheGeneralPageShowingTheStoredChoices)
{
    ASSERT_TRUE(settings.SetLocale("de_DE"));
    settings.SetRunAtStartup(true);
    const auto page = Make();

    EXPECT_TRUE(Clean(*page));
    EXPECT_EQ(Find<QStackedWidget>(*page, "stackedWidgetSettings")->currentIndex(), 0);
    EXPECT_TRUE(Find<QPushButton>(*page, "pushButtonGeneral")->isChecked());
    EXPECT_EQ(Languages(*page)->currentData().toLocale().name(), "de_DE");
    EXPECT_TRUE(Find<QCheckBox>(*page, "checkBoxAutoStart")->isChecked());

    // One item per translation, each carrying its locale, in order of the names.
    QComboBox* list = Languages(*page);
    ASSERT_EQ(list->count(), Config::Instance().translations.size());
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_TRUE(Config::Instance().translations.contains(list->itemData(i).toLocale()));
        EXPECT_TRUE(list->itemText(i).at(0).isUpper());
        if (i > 0) {
            EXPECT_LT(list->itemText(i - 1), list->itemText(i));
        }
    }
}

TEST_F(SettingsPage, AnyChangeKeepsThePageChangedUntilDiscarded)
{
    const auto page = Make();
    auto* autostart = Find<QCheckBox>(*page, "checkBoxAutoStart");
    autostart->toggle();
    autostart->toggle(); // back to the saved value: still a change until saved or discarded
    EXPECT_TRUE(page->HasUnsavedChanges());
    EXPECT_TRUE(Find<QPushButton>(*page, "pushButtonSaveSettings")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*page, "pushButtonCancel")->isHidden());

    autostart->toggle();
    Choose(*page, "de_DE");
    page->RestoreSettings();
    EXPECT_TRUE(Clean(*page));
    EXPECT_FALSE(autostart->isChecked());
    EXPECT_EQ(Languages(*page)->currentData().toLocale().name(), "en_GB");
    EXPECT_EQ(settings.GetLanguage(), "en_GB");

    LogCapture log;
    page->RestoreSettings(); // on a clean page: nothing at all
    EXPECT_EQ(log.Count(Log::Debug, "Restoring"), 0);
}

// The page re-reads its texts on the announcement: the subscription date
// follows the language whatever the catalogue holds; the title reads German
// once the catalogue translates it.
TEST_F(SettingsPage, SavingWritesTheChoicesAndAnnouncesOnlyANewLanguage)
{
    MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
    const auto page = Make();
    EXPECT_EQ(Text(*page, "labelSubscriptionDate"), "31 December 2025");
    QSignalSpy locale(&ui, &Ui::IUi::UpdateLocale);
    QSignalSpy cancel(page.get(), &Ui::SettingsScreen::CancelButtonClicked);

    Find<QCheckBox>(*page, "checkBoxAutoStart")->toggle();
    Find<QPushButton>(*page, "pushButtonCancel")->click();
    EXPECT_EQ(cancel.count(), 1);
    Save(*page);
    EXPECT_EQ(locale.count(), 0);
    EXPECT_TRUE(Clean(*page));
    EXPECT_EQ(SavedFile()["run at startup"].toString(), "true");
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/autostart/Tessaly.desktop";
    EXPECT_TRUE(QFile::exists(entry)) << entry.toStdString();

    Choose(*page, "de_DE");
    Save(*page);
    EXPECT_EQ(locale.count(), 1);
    EXPECT_EQ(settings.GetLanguage(), "de_DE");
    EXPECT_EQ(SavedFile()["language"].toString(), "de_DE");
    EXPECT_EQ(Text(*page, "labelSubscriptionDate"), "31 Dezember 2025");
    EXPECT_EQ(Text(*page, "labelTitle"), QCoreApplication::translate("global", "Settings"));

    Choose(*page, "en_GB");
    Save(*page);
    EXPECT_EQ(locale.count(), 2);
    EXPECT_EQ(Text(*page, "labelSubscriptionDate"), "31 December 2025");
    EXPECT_EQ(Text(*page, "labelTitle"), "Settings");
    EXPECT_EQ(SavedFile()["language"].toString(), "en_GB");
}

// The legal notices are only one part of the About page: without them the
// language list is still built and the stored settings still shown.
TEST_F(SettingsPage, WithoutTheLegalNoticesTheLanguagesAreStillListed)
{
    ASSERT_TRUE(settings.SetLocale("de_DE"));
    LogCapture log;
    Q_CLEANUP_RESOURCE(tessaly);
    const bool gone = !QFile::exists(":/legal/license_win.htm");
    const auto page = Make();
    Q_INIT_RESOURCE(tessaly);
    ASSERT_TRUE(gone);
    EXPECT_EQ(log.Count(Log::Error, "Unable to open file: :/legal/license_win.htm, :"), 1);

    EXPECT_TRUE(Clean(*page));
    EXPECT_EQ(Find<QStackedWidget>(*page, "stackedWidgetSettings")->currentIndex(), 0);
    EXPECT_EQ(Languages(*page)->count(), Config::Instance().translations.size());
    EXPECT_EQ(Languages(*page)->currentData().toLocale().name(), "de_DE");
}

// A language whose translation cannot be loaded stays out of force, and the
// list must say so instead of showing it as chosen.
TEST_F(SettingsPage, AFailedLanguageSwitchShowsTheLanguageInForce)
{
    Config::Instance().translations.append(QLocale("it_IT")); // listed, but without a file
    const auto page = Make();
    QSignalSpy locale(&ui, &Ui::IUi::UpdateLocale);
    Choose(*page, "it_IT");
    Save(*page);
    EXPECT_EQ(locale.count(), 0);
    EXPECT_EQ(settings.GetLanguage(), "en_GB");
    EXPECT_EQ(Languages(*page)->currentData().toLocale().name(), "en_GB");
    EXPECT_TRUE(Clean(*page));
}

TEST_F(SettingsPage, SubscriptionPageFollowsTheEndDateAndTheStick)
{
    const struct {
        const char* name;
        QDate endDate;
        UsbInfo::State stick; // InvalidMetadata stands for no stick here
        bool selected;
        const char* language;
        QString title;
        QString date;
        bool enabled;
    } cases[] = {
        {"date, German", QDate(2025, 12, 31), UsbInfo::ValidMetadata, true, "de_DE", "", "31 Dezember 2025", true},
        {"date, no stick", QDate(2025, 12, 31), UsbInfo::NoMetadata, false, "en_GB",
            "This vehicle is entitled to receive map updates until: ", "31 December 2025", true},
        {"no date, no stick", QDate(), UsbInfo::ValidMetadata, false, "en_GB", "", "", false},
        {"no date, stick without metadata", QDate(), UsbInfo::NoMetadata, true, "en_GB", "", "", false},
        {"no date, stick with metadata", QDate(), UsbInfo::ValidMetadata, true, "en_GB",
            "This vehicle is not yet entitled to receive map updates.", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        settings.SetLocale(c.language);
        MapStorage::Instance().SetSubscription({c.endDate, 0, 0});
        UsbInfo usb;
        usb.id = 7;
        usb.state = c.stick;
        usb.selected = c.selected;
        UsbStorage::Instance().UpdateUsb(usb);
        const auto page = Make();
        page->OnSubscriptionButtonClicked();
        page->UpdateSubscription();

        if (!c.title.isEmpty()) {
            EXPECT_EQ(Text(*page, "labelSubscriptionTitle"), c.title);
        }
        EXPECT_EQ(Text(*page, "labelSubscriptionTitle").isEmpty(), !c.enabled);
        EXPECT_EQ(Text(*page, "labelSubscriptionDate"), c.date);
        EXPECT_EQ(Find<QPushButton>(*page, "pushButtonSubscription")->isEnabled(), c.enabled);
        // A page that has nothing to show gives way to General.
        EXPECT_EQ(Find<QStackedWidget>(*page, "stackedWidgetSettings")->currentIndex(), c.enabled ? 1 : 0);
        EXPECT_EQ(Find<QPushButton>(*page, "pushButtonGeneral")->isChecked(), !c.enabled);
    }
}

TEST_F(SettingsPage, LinksOpenTheAddressesOfTheLanguageInForce)
{
    const struct {
        const char* language;
        const char* button;
        QString expected;
    } cases[] = {
        {"de_DE", "pushButtonTermsAndConditions", Config::GetTermsAndConditionsUrl("de_DE")},
        {"en_US", "pushButtonReportMapError", Config::GetReportMapErrorUrl("en_US")},
        {"tr_TR", "pushButtonCopyrightMapData", Config::GetCopyrightMapDataUrl("tr_TR")},
    };
    const auto page = Make();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ASSERT_TRUE(settings.SetLocale(c.language));
        UrlCatcher browser;
        Find<QPushButton>(*page, c.button)->click();
        EXPECT_EQ(browser.urls, QList<QUrl> {QUrl(c.expected)});
    }
}

// The main window has a sheet of its own; the page's sheet must still reach
// the widgets on every page of its stack.
TEST_F(SettingsPage, ItsStyleSheetAppliesInsideAStyledWindow)
{
    QWidget window;
    window.setStyleSheet("QLabel { color: #123456; }");
    const auto* page = new Ui::SettingsScreen(&ui, &window);
    window.show();
    EXPECT_EQ(Find<QPushButton>(*page, "pushButtonTermsAndConditions")->palette().color(QPalette::ButtonText),
        QColor("#005691"));
    EXPECT_EQ(Find<QPushButton>(*page, "pushButtonCancel")->palette().color(QPalette::ButtonText), QColor("#005691"));
}

TEST(SettingsScreenLayout, LanguageListRowsCountWholeItemsBelowTheComboBox)
{
    const struct {
        int gap;
        int rows;
    } cases[] = {{150, 3}, {38 + 5 * 37, 5}, {38 + 5 * 37 - 1, 4}, {38, 0}, {10, 0}, {0, -1}, {-40, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(Ui::LanguageListRows(c.gap), c.rows) << c.gap;
}
