#include "Settings.h"
#include "Config.h"
#include "LogCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile()
        : config(dir.path())
    {
    }

    QString Path() const { return dir.path() + "/settings.json"; }
    QString EntryPath() const { return dir.path() + "/autostart/Tessaly.desktop"; }
    Autostart TestAutostart() const { return Autostart(EntryPath(), "/opt/tessaly/tessaly"); }

    void Write(const QByteArray& json) const
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }

    QByteArray ReadFile(const QString& path) const
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    static QString Translated() { return QCoreApplication::translate("global", "Settings"); }

    QTemporaryDir dir;
    const Config config;
};

} // namespace

TEST_F(SettingsFile, FirstRunSwitchesAutostartOnAndKeepsEnglish)
{
    LogCapture log;
    const Settings settings(Path(), config, TestAutostart());
    EXPECT_EQ(settings.GetLanguage(), "en_GB");
    EXPECT_TRUE(settings.GetRunAtStartup());
    EXPECT_TRUE(ReadFile(EntryPath()).contains("\nExec=\"/opt/tessaly/tessaly\"\n"));
    EXPECT_FALSE(QFile::exists(Path()));
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: " + Path().toStdString() + ", : "), 1);
    EXPECT_EQ(log.Count(Log::Warning, "locale: en_GB is already in use"), 1);
}

TEST_F(SettingsFile, AppliesTheStoredLanguageWithoutTouchingAutostart)
{
    Write(R"({ "language": "de_DE", "run at startup": "false" })");
    const Settings settings(Path(), config, TestAutostart());
    EXPECT_EQ(settings.GetLanguage(), "de_DE");
    EXPECT_FALSE(settings.GetRunAtStartup());
    EXPECT_EQ(Translated(), "Einstellungen");
    EXPECT_EQ(QLocale().name(), "de_DE");
    EXPECT_FALSE(QFile::exists(EntryPath()));
}

TEST_F(SettingsFile, EveryStartRewritesTheAutostartEntry)
{
    Write(R"({ "language": "en_GB", "run at startup": "1" })");
    QDir().mkpath(dir.path() + "/autostart");
    QFile old(EntryPath());
    old.open(QIODevice::WriteOnly);
    old.write("[Desktop Entry]\nExec=/old/place\n");
    old.close();
    const Settings settings(Path(), config, TestAutostart());
    EXPECT_TRUE(ReadFile(EntryPath()).contains("Exec=\"/opt/tessaly/tessaly\""));
}

TEST_F(SettingsFile, AFlagThatIsNoBoolSwitchesAutostartOnAfterTheLanguage)
{
    Write(R"({ "language": "de_DE", "run at startup": "yes" })");
    LogCapture log;
    const Settings settings(Path(), config, TestAutostart());
    EXPECT_EQ(settings.GetLanguage(), "de_DE");
    EXPECT_TRUE(settings.GetRunAtStartup());
    EXPECT_TRUE(QFile::exists(EntryPath()));
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: "), 1);
}

// A failed switch keeps the previous translation in effect; switching back
// to the source language works.
TEST_F(SettingsFile, FailedLanguageChangeKeepsThePreviousOne)
{
    Write(R"({ "language": "de_DE", "run at startup": "false" })");
    Settings settings(Path(), config, TestAutostart());
    LogCapture log;
    EXPECT_FALSE(settings.SetLocale("xx_XX"));
    EXPECT_EQ(log.Count(Log::Error,
                  "Failed to load translation file: " + config.GetTranslationFilePath("xx_XX").toStdString()),
        1);
    EXPECT_EQ(settings.GetLanguage(), "de_DE");
    EXPECT_EQ(Translated(), "Einstellungen");

    EXPECT_TRUE(settings.SetLocale("en_GB"));
    EXPECT_EQ(settings.GetLanguage(), "en_GB");
    EXPECT_EQ(Translated(), "Settings");
    EXPECT_FALSE(settings.SetLocale("en_GB"));
}

TEST_F(SettingsFile, SavedValuesAreReadBack)
{
    Write(R"({ "language": "en_GB", "run at startup": "true" })");
    {
        Settings settings(Path(), config, TestAutostart());
        EXPECT_TRUE(settings.SetLocale("de_DE"));
        EXPECT_TRUE(settings.SetRunAtStartup(false));
        EXPECT_FALSE(QFile::exists(EntryPath()));
        settings.Save();
    }
    EXPECT_EQ(ReadFile(Path()), QByteArray(R"({
    "language": "de_DE",
    "run at startup": "false"
}
)"));
    const Settings reread(Path(), config, TestAutostart());
    EXPECT_EQ(reread.GetLanguage(), "de_DE");
    EXPECT_FALSE(reread.GetRunAtStartup());
}

TEST_F(SettingsFile, AFailedSaveIsLoggedAndLeavesNoFile)
{
    QDir().mkpath(Path());
    Settings settings(Path(), config, TestAutostart());
    LogCapture log;
    settings.Save();
    EXPECT_EQ(log.Count(Log::Error, "Failed to write settings to file: " + Path().toStdString() + ", : "), 1);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}
