#include "../UiTest.h"

#include "Config.h"
#include "Settings.h"
#include "SettingsScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QStackedWidget>

// The page over the process-wide settings, catalogue and stick registry, put back first: English, no autostart,
// nothing known.
class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override { settings.SetLocale("en_GB"), settings.SetRunAtStartup(false), CleanStores::Clear(); }
    void Make() { page = std::make_unique<Ui::SettingsScreen>(&ui, nullptr); }
    template <typename T = QWidget> T* Find(const char* name) const { return page->findChild<T*>(name); }
    QComboBox* Languages() const { return Find<QComboBox>("comboBoxLanguage"); }
    QString Language() const { return Languages()->currentData().toLocale().name(); }
    int PageIndex() const { return Find<QStackedWidget>("stackedWidgetSettings")->currentIndex(); }
    bool Clean() const
    {
        return !page->HasUnsavedChanges() && !Find("pushButtonSaveSettings")->isEnabled()
            && Find("pushButtonCancel")->isHidden();
    }

    SilentUi ui;
    Settings& settings = Settings::Instance();
    std::unique_ptr<Ui::SettingsScreen> page;
};

// Without the legal notices the language list is still built and the settings shown.
TEST_F(SettingsPage, WithoutTheLegalNoticesTheLanguagesAreStillListed)
{
    ASSERT_TRUE(settings.SetLocale("de_DE"));
    LogCapture log;
    Q_CLEANUP_RESOURCE(tessaly);
    const bool gone = !QFile::exists(":/legal/license_win.htm");
    Make();
    Q_INIT_RESOURCE(tessaly);
    ASSERT_TRUE(gone);
    EXPECT_EQ(log.Count(Log::Error, "Unable to open file: :/legal/license_win.htm, :"), 1);

    EXPECT_TRUE(Clean());
    EXPECT_EQ(PageIndex(), 0);
    EXPECT_EQ(Languages()->count(), Config::Instance().translations.size());
    EXPECT_EQ(Language(), "de_DE");
}

// A language whose translation cannot be loaded stays out of force, and the list says so.
TEST_F(SettingsPage, AFailedLanguageSwitchShowsTheLanguageInForce)
{
    Config::Instance().translations.append(QLocale("it_IT")); // listed, but without a file
    Make();
    QSignalSpy locale(&ui, &Ui::IUi::UpdateLocale);
    Languages()->setCurrentIndex(Languages()->findData(QLocale("it_IT")));
    ASSERT_EQ(Language(), "it_IT");
    Find<QPushButton>("pushButtonSaveSettings")->click();
    EXPECT_EQ(locale.count(), 0);
    EXPECT_EQ(settings.GetLanguage(), "en_GB");
    EXPECT_EQ(Language(), "en_GB");
    EXPECT_TRUE(Clean());
}

// Without an end date or a selected stick with metadata the page gives way to General.
TEST_F(SettingsPage, SubscriptionPageFollowsTheEndDateAndTheStick)
{
    const struct {
        QDate endDate;
        UsbInfo::State stick;
        bool selected;
        const char* language;
        QString date;
        bool enabled;
    } cases[] = {{QDate(2025, 12, 31), UsbInfo::ValidMetadata, true, "de_DE", "31 Dezember 2025", true},
        {QDate(2025, 12, 31), UsbInfo::NoMetadata, false, "en_GB", "31 December 2025", true},
        {QDate(), UsbInfo::ValidMetadata, false, "en_GB", "", false},
        {QDate(), UsbInfo::NoMetadata, true, "en_GB", "", false},
        {QDate(), UsbInfo::ValidMetadata, true, "en_GB", "", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date.toStdString() + " " + std::to_string(c.stick) + " " + std::to_string(c.selected));
        SetUp();
        settings.SetLocale(c.language);
        MapStorage::Instance().SetSubscription({c.endDate, 0, 0});
        UsbStorage::Instance().UpdateUsb({7, L"/media/stick", 0, 0, c.stick, c.selected});
        Make();
        page->OnSubscriptionButtonClicked();
        page->UpdateSubscription();
        EXPECT_EQ(Find<QLabel>("labelSubscriptionTitle")->text().isEmpty(), !c.enabled);
        EXPECT_EQ(Find<QLabel>("labelSubscriptionDate")->text(), c.date);
        EXPECT_EQ(Find("pushButtonSubscription")->isEnabled(), c.enabled);
        EXPECT_EQ(PageIndex(), c.enabled ? 1 : 0);
        EXPECT_EQ(Find<QPushButton>("pushButtonGeneral")->isChecked(), !c.enabled);
    }
}

TEST(SettingsScreenLayout, LanguageListRowsCountWholeItemsBelowTheComboBox)
{
    const std::pair<int, int> cases[]
        = {{150, 3}, {38 + 5 * 37, 5}, {38 + 5 * 37 - 1, 4}, {38, 0}, {10, 0}, {0, -1}, {-40, -2}}; // gap, rows
    for (const auto& [gap, rows] : cases)
        EXPECT_EQ(Ui::LanguageListRows(gap), rows) << gap;
}
