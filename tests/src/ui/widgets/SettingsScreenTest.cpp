#include "../UiTest.h"

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

    SilentUi ui;
    Settings& settings = Settings::Instance();
    std::unique_ptr<Ui::SettingsScreen> page;
};

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
