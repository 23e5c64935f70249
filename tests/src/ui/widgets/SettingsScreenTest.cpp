#include "../UiTest.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

// The page over the process-wide settings and registries, put back first: English, no autostart, nothing known.
class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override { settings.SetLocale("en_GB"), settings.SetRunAtStartup(false), CleanStores::Clear(); }
    template <typename T = QWidget> T* Find(const char* name) const { return page->findChild<T*>(name); }
    QComboBox* Languages() const { return Find<QComboBox>("comboBoxLanguage"); }
    QString Language() const { return Languages()->currentData().toLocale().name(); }
    bool Clean() const
    {
        return !page->HasUnsavedChanges() && !Find("pushButtonSaveSettings")->isEnabled()
            && Find("pushButtonCancel")->isHidden();
    }

    void Make() { page = std::make_unique<Ui::SettingsScreen>(&ui, nullptr); }
    void Choose(const char* localeName) const
    {
        Languages()->setCurrentIndex(Languages()->findData(QLocale(localeName)));
    }
    QString Text(const char* name) const { return Find(name)->property("text").toString(); }
    int PageIndex() const { return Find<QStackedWidget>("stackedWidgetSettings")->currentIndex(); }
    static QString Saved(const char* key)
    {
        QFile file(Config::Instance().dataDir + "/settings.json");
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object()[key].toString();
    }

    SilentUi ui;
    Settings& settings = Settings::Instance();
    std::unique_ptr<Ui::SettingsScreen> page;
};

// It starts clean on the General page with the stored choices, one item per translation in the order of the names;
// any change, even one undone by hand, keeps it changed until saved or discarded.
TEST_F(SettingsPage, StartsCleanShowingTheStoredChoicesAndKeepsAnyChangeUntilDiscarded)
{
    ASSERT_TRUE(settings.SetLocale("de_DE"));
    settings.SetRunAtStartup(true);
    Make();
    EXPECT_TRUE(Clean());
    EXPECT_EQ(PageIndex(), 0);
    EXPECT_EQ(Language(), "de_DE");
    auto* autostart = Find<QCheckBox>("checkBoxAutoStart");
    EXPECT_TRUE(autostart->isChecked());
    ASSERT_EQ(Languages()->count(), Config::Instance().translations.size());
    for (int i = 1; i < Languages()->count(); ++i)
        EXPECT_LT(Languages()->itemText(i - 1), Languages()->itemText(i));
    autostart->toggle();
    autostart->toggle();
    EXPECT_FALSE(Clean());
    EXPECT_FALSE(Find("pushButtonCancel")->isHidden());
    autostart->toggle();
    Choose("en_GB");
    page->RestoreSettings();
    EXPECT_TRUE(Clean());
    EXPECT_TRUE(autostart->isChecked());
    EXPECT_EQ(Language(), "de_DE");
}

// Saving writes the choices and announces only a new language; the subscription date follows the language. Choices
// that could not be written (here a folder in the file's way) leave the page changed, to be saved again; discarding
// them puts the saved ones back in effect, the autostart entry and the language too, and a discard after a written
// save puts nothing back.
TEST_F(SettingsPage, SavingWritesTheChoicesAndAnnouncesOnlyANewLanguage)
{
    MapStorage::Instance().SetSubscription({QDate(2025, 12, 31), 0, 0});
    Make();
    QSignalSpy locale(&ui, &Ui::IUi::UpdateLocale);
    Find<QCheckBox>("checkBoxAutoStart")->toggle();
    Find<QPushButton>("pushButtonSaveSettings")->click();
    EXPECT_EQ(locale.count(), 0);
    EXPECT_TRUE(Clean());
    EXPECT_EQ(Saved("run at startup"), "true");
    // The list's first item ("American English") is a choice like any other.
    ASSERT_EQ(Languages()->findData(QLocale("en_US")), 0);
    for (const auto& [language, date] :
        {std::pair {"de_DE", "31 Dezember 2025"}, {"en_US", "31 December 2025"}, {"en_GB", "31 December 2025"}}) {
        locale.clear();
        Choose(language);
        Find<QPushButton>("pushButtonSaveSettings")->click();
        EXPECT_EQ(locale.count(), 1) << language;
        EXPECT_EQ(Saved("language"), language);
        EXPECT_EQ(Text("labelSubscriptionDate"), date);
    }
    const QString file = Config::Instance().dataDir + "/settings.json";
    ASSERT_TRUE(QFile::remove(file) && QDir().mkpath(file + "/in the way"));
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
    const QByteArray entryText = TestFiles::Read(entry);
    ASSERT_FALSE(entryText.isEmpty());
    const LogCapture log;
    auto* autostart = Find<QCheckBox>("checkBoxAutoStart");
    const auto change = [&] { Choose("de_DE"), autostart->setChecked(false); };
    change();
    Find<QPushButton>("pushButtonSaveSettings")->click();
    EXPECT_TRUE(page->HasUnsavedChanges() && Find("pushButtonSaveSettings")->isEnabled()
        && !Find("pushButtonCancel")->isHidden());
    EXPECT_EQ(log.Count(Log::Error, "Failed to write settings to file: " + file.toStdString()), 1);
    locale.clear();
    page->RestoreSettings(); // "Yes, discard"
    EXPECT_TRUE(Clean());
    EXPECT_EQ(locale.count(), 1);
    EXPECT_TRUE(Language() == "en_GB" && settings.GetLanguage() == "en_GB");
    EXPECT_TRUE(autostart->isChecked() && settings.GetRunAtStartup());
    EXPECT_EQ(TestFiles::Read(entry), entryText);
    QDir(file).removeRecursively();
    change();
    Find<QPushButton>("pushButtonSaveSettings")->click();
    EXPECT_TRUE(Clean());
    EXPECT_EQ(Saved("run at startup"), "false");
    locale.clear();
    Choose("en_GB"), autostart->setChecked(true);
    page->RestoreSettings();
    EXPECT_EQ(locale.count(), 0);
    EXPECT_TRUE(settings.GetLanguage() == "de_DE" && !settings.GetRunAtStartup() && !QFile::exists(entry));
}

// Without an end date the page says what the stick tells; with nothing to say it gives way to General.
TEST_F(SettingsPage, SubscriptionPageFollowsTheEndDateAndTheStick)
{
    const std::tuple<QDate, std::optional<UsbInfo::State>, QString, bool> cases[]
        = {{QDate(2025, 12, 31), std::nullopt, "31 December 2025", true}, {QDate(), std::nullopt, "", false},
            {QDate(), UsbInfo::NoMetadata, "", false}, {QDate(), UsbInfo::ValidMetadata, "", true}};
    for (const auto& [endDate, stick, date, enabled] : cases) {
        SCOPED_TRACE(endDate.toString().toStdString() + (stick ? " stick " + std::to_string(*stick) : " no stick"));
        SetUp();
        MapStorage::Instance().SetSubscription({endDate, 0, 0});
        if (stick)
            SelectStick(*stick);
        Make();
        page->OnSubscriptionButtonClicked();
        page->UpdateSubscription();
        EXPECT_EQ(Text("labelSubscriptionTitle").isEmpty(), !enabled);
        EXPECT_EQ(Text("labelSubscriptionDate"), date);
        EXPECT_EQ(Find("pushButtonSubscription")->isEnabled(), enabled);
        EXPECT_EQ(PageIndex(), enabled ? 1 : 0);
    }
}

// Each link opens its own address in the language in force.
TEST_F(SettingsPage, LinksOpenTheAddressesOfTheLanguageInForce)
{
    const std::tuple<const char*, const char*, QString> cases[]
        = {{"de_DE", "pushButtonTermsAndConditions", Config::GetTermsAndConditionsUrl("de_DE")},
            {"en_US", "pushButtonReportMapError", Config::GetReportMapErrorUrl("en_US")},
            {"tr_TR", "pushButtonCopyrightMapData", Config::GetCopyrightMapDataUrl("tr_TR")}};
    Make();
    for (const auto& [language, button, expected] : cases) {
        ASSERT_TRUE(settings.SetLocale(language));
        const UrlCatcher browser;
        Find<QPushButton>(button)->click();
        EXPECT_EQ(browser.urls, QList<QUrl> {QUrl(expected)}) << language;
    }
}

// Whole items of 37 pixels below the 38 of the box.
TEST(SettingsScreenLayout, LanguageListRowsCountWholeItemsBelowTheComboBox)
{
    const std::pair<int, int> cases[] = {{150, 3}, {38 + 5 * 37, 5}, {38 + 5 * 37 - 1, 4}, {38, 0}, {10, 0}};
    for (const auto& [gap, rows] : cases)
        EXPECT_EQ(Ui::LanguageListRows(gap), rows) << gap;
}

TEST_F(SettingsPage, WithoutTheLegalNoticesTheLanguagesAreStillListed)
{
    ASSERT_TRUE(settings.SetLocale("de_DE"));
    LogCapture log;
    Q_CLEANUP_RESOURCE(tessaly);
    const bool gone = !QFile::exists(":/legal/license_win.htm");
    page = std::make_unique<Ui::SettingsScreen>(&ui, nullptr);
    Q_INIT_RESOURCE(tessaly);
    ASSERT_TRUE(gone);
    EXPECT_EQ(log.Count(Log::Error, "Unable to open file: :/legal/license_win.htm, :"), 1);

    EXPECT_TRUE(Clean());
    EXPECT_EQ(Find<QStackedWidget>("stackedWidgetSettings")->currentIndex(), 0);
    EXPECT_EQ(Languages()->count(), Config::Instance().translations.size());
    EXPECT_EQ(Language(), "de_DE");
    UrlCatcher browser; // the side menu's pages and the About page's three links
    for (const char* button : {"pushButtonGeneral", "pushButtonCancel", "pushButtonAbout",
             "pushButtonTermsAndConditions", "pushButtonCopyrightMapData", "pushButtonReportMapError"})
        Find<QPushButton>(button)->click();
    EXPECT_EQ(Find<QStackedWidget>("stackedWidgetSettings")->currentIndex(), 2);
    EXPECT_EQ(browser.urls.size(), 3);
}

TEST_F(SettingsPage, AFailedLanguageSwitchShowsTheLanguageInForce)
{
    Config::Instance().translations.append(QLocale("it_IT")); // listed, but without a file
    page = std::make_unique<Ui::SettingsScreen>(&ui, nullptr);
    QSignalSpy locale(&ui, &Ui::IUi::UpdateLocale);
    Languages()->setCurrentIndex(Languages()->findData(QLocale("it_IT")));
    ASSERT_EQ(Language(), "it_IT");
    Find<QPushButton>("pushButtonSaveSettings")->click();
    EXPECT_EQ(locale.count(), 0);
    EXPECT_EQ(settings.GetLanguage(), "en_GB");
    EXPECT_EQ(Language(), "en_GB");
    EXPECT_TRUE(Clean());
}
