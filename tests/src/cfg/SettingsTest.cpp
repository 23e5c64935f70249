#include "Settings.h"
#include "Config.h"
#include "LogCapture.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    QString Path() const { return dir.filePath("settings.json"); }
    QString Entry() const { return dir.filePath("autostart/Tessaly.desktop"); }
    std::unique_ptr<Settings> Make() const
    {
        return std::make_unique<Settings>(Path(), config, Autostart(Entry(), "/opt/tessaly/tessaly"));
    }
    void Write(const QByteArray& json) const { ASSERT_TRUE(TestFiles::Write(Path(), json)); }
    static QString Translated() { return QCoreApplication::translate("global", "MB"); }

    QTemporaryDir dir;
    const Config config {dir.path()};
};

} // namespace

// The stored language is applied (a flag that is no bool counts as on, and
// the unreadable file is kept beside it). A failed switch keeps the language
// in effect; switching back to the source language works.
TEST_F(SettingsFile, LoadsTheLanguageAndAFailedChangeKeepsIt)
{
    const QByteArray json = R"({ "language": "fr_FR", "run at startup": "yes" })";
    Write(json);
    LogCapture log;
    const auto settings = Make();
    EXPECT_TRUE(settings->GetRunAtStartup());
    EXPECT_EQ(TestFiles::Read(Path() + ".bad"), json);
    EXPECT_EQ(log.Count(Log::Error, "Kept the unreadable file as: " + Path().toStdString() + ".bad"), 1);
    EXPECT_EQ(Translated(), "Mo");
    EXPECT_FALSE(settings->SetLocale("xx_XX"));
    EXPECT_EQ(settings->GetLanguage(), "fr_FR");
    EXPECT_EQ(Translated(), "Mo");
    EXPECT_TRUE(settings->SetLocale("en_GB"));
    EXPECT_EQ(Translated(), "MB");
}

// The first run writes no file but switches autostart on. The saved file is
// the user's alone, whatever the umask.
TEST_F(SettingsFile, FirstRunThenSavedValuesAreReadBack)
{
    const mode_t umask = ::umask(022);
    {
        const auto settings = Make();
        EXPECT_EQ(settings->GetLanguage(), "en_GB");
        EXPECT_TRUE(settings->GetRunAtStartup() && QFile::exists(Entry()));
        EXPECT_FALSE(QFile::exists(Path()));
        EXPECT_TRUE(settings->SetLocale("de_DE"));
        EXPECT_TRUE(settings->SetRunAtStartup(false));
        EXPECT_FALSE(QFile::exists(Entry()));
        settings->Save();
    }
    ::umask(umask);
    EXPECT_EQ(TestFiles::Mode(Path()), 0600u);
    EXPECT_FALSE(QFile::exists(Path() + ".bad"));
    const auto reread = Make();
    EXPECT_EQ(reread->GetLanguage(), "de_DE");
    EXPECT_FALSE(reread->GetRunAtStartup());
}

// A write that fails halfway (here: a file-size limit) must leave the previous file whole.
TEST_F(SettingsFile, AFailedSaveKeepsThePreviousFile)
{
    const QByteArray previous = R"({ "language": "en_GB", "run at startup": "true" })";
    Write(previous);
    const auto settings = Make();
    settings->SetLocale("de_DE");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small {10, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    LogCapture log;
    settings->Save();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(log.Count(Log::Error, "Failed to write settings to file: " + Path().toStdString()), 1);
    EXPECT_EQ(TestFiles::Read(Path()), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList {"config.json", "settings.json"}));
}
