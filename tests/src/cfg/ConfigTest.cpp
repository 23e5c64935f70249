#include "Config.h"
#include "Environment.h"
#include "LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

namespace {

class ConfigFile : public ::testing::Test {
protected:
    QString Path() const { return dir.path() + "/config.json"; }

    void Write(const QByteArray& json) const
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }

    QByteArray Read() const
    {
        QFile file(Path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir dir;
};

const QByteArray kPreprodTail = R"(,
    "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" },
    "MapDownload": { "RetryDuration": "5" } })";

} // namespace

TEST_F(ConfigFile, FirstRunWritesTheDefaults)
{
    LogCapture log;
    const Config config(dir.path());
    EXPECT_EQ(Read(), QByteArray(R"({
    "Application": "",
    "FullMapUpdate": {
        "UpdateType": "DravoVyd-Prod"
    },
    "MapDownload": {
        "RetryDuration": ""
    }
}
)"));
    EXPECT_FALSE(config.logLevel);
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_EQ(config.updateKey.size(), 32u);
    EXPECT_EQ(config.ConfigFilePath(), Path());
    EXPECT_EQ(config.logsDir, dir.path() + "/Logs");
    EXPECT_EQ(config.version, "2.0.74");
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: " + Path().toStdString() + ", "), 1);
    EXPECT_EQ(log.Count(Log::Info, "Writing configuration to file: " + Path().toStdString()), 1);
}

TEST_F(ConfigFile, ReadsAValidFileWithoutRewritingIt)
{
    const QByteArray json = R"({ "Application": { "LogLevel": "Warning" },
        "FullMapUpdate": { "UpdateType": "Test", "UpdateSource": "https://127.0.0.1:1/brel/v1", "UpdateKey": "k" },
        "MapDownload": { "RetryDuration": 5 } })";
    Write(json);
    const Config config(dir.path());
    EXPECT_EQ(config.logLevel, Log::Warning);
    EXPECT_EQ(config.updateType, std::string("Test"));
    EXPECT_EQ(config.updateSource, "https://127.0.0.1:1/brel/v1");
    EXPECT_EQ(config.updateKey, "k");
    EXPECT_EQ(config.retryDuration, "5");
    EXPECT_EQ(Read(), json);
}

TEST_F(ConfigFile, PreproductionRewriteStoresOnlyTheType)
{
    Write(R"({ "Application": { "LogLevel": "Info" },
        "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod", "UpdateSource": "ignored" } })");
    const Config config(dir.path());
    EXPECT_EQ(config.updateSource, PreproductionEnvironment().baseUrl);
    EXPECT_EQ(config.updateKey, PreproductionEnvironment().key);
    EXPECT_EQ(Read(), QByteArray(R"({
    "Application": {
        "LogLevel": "Info"
    },
    "FullMapUpdate": {
        "UpdateType": "DravoVyd-Preprod"
    },
    "MapDownload": {
        "RetryDuration": ""
    }
}
)"));
}

// A failure halfway keeps what was read before it and writes it back.
TEST_F(ConfigFile, PartialReadKeepsTheValuesReadSoFar)
{
    Write(R"({ "Application": { "LogLevel": "Debug" },
        "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:2/brel/v1" } })");
    const Config config(dir.path());
    EXPECT_EQ(config.logLevel, Log::Debug);
    EXPECT_EQ(config.updateSource, "https://127.0.0.1:2/brel/v1");
    EXPECT_EQ(config.updateKey, ProductionEnvironment().key);
    const Config reread(dir.path());
    EXPECT_EQ(reread.updateSource, "https://127.0.0.1:2/brel/v1");
    EXPECT_EQ(reread.updateKey, ProductionEnvironment().key);
    EXPECT_EQ(reread.logLevel, Log::Debug);
}

TEST_F(ConfigFile, AnEmptyLogLevelIsAReadFailure)
{
    Write(R"({ "Application": { "LogLevel": " " })" + kPreprodTail);
    LogCapture log;
    const Config config(dir.path());
    EXPECT_FALSE(config.logLevel);
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: "), 1);
    EXPECT_TRUE(Read().contains(R"("Application": "")"));
}

TEST_F(ConfigFile, AnUnknownLogLevelCountsAsNone)
{
    const QByteArray json = R"({ "Application": { "LogLevel": "Verbose" })" + kPreprodTail;
    Write(json);
    LogCapture log;
    const Config config(dir.path());
    EXPECT_FALSE(config.logLevel);
    EXPECT_EQ(config.updateSource, PreproductionEnvironment().baseUrl);
    EXPECT_EQ(config.retryDuration, "5");
    EXPECT_EQ(log.Count(Log::Error, ""), 0);
    EXPECT_EQ(Read(), json);
}

// A folder in the file's place can be neither read nor replaced: the program
// goes on with the values in memory.
TEST_F(ConfigFile, UnwritableFileLeavesTheValuesInMemory)
{
    QDir().mkpath(Path());
    LogCapture log;
    const Config config(dir.path());
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: "), 1);
    EXPECT_EQ(log.Count(Log::Error, "Failed to write: "), 1);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}

TEST_F(ConfigFile, CreatesTheDataFolder)
{
    const QString nested = dir.path() + "/a/b";
    const Config config(nested);
    EXPECT_TRUE(QFile::exists(nested + "/config.json"));
}

TEST_F(ConfigFile, ListsTheShippedTranslations)
{
    const Config config(dir.path());
    ASSERT_EQ(config.translations.size(), 2);
    EXPECT_EQ(config.translations[0].name(), "de_DE");
    EXPECT_EQ(config.translations[1].name(), "en_GB");
    EXPECT_EQ(config.GetTranslationFilePath("de_DE"), config.translationsDir + "/de_DE");
}

TEST_F(ConfigFile, FindsTheLastTranslationOfTheSameLanguage)
{
    Config config(dir.path());
    config.translations = {QLocale("de_AT"), QLocale("de_DE")};
    EXPECT_EQ(config.FindTranslation("de_CH"), "de_DE");
    EXPECT_EQ(config.FindTranslation("it_IT"), "en_GB");
    EXPECT_EQ(config.FindTranslation("de_AT"), "de_AT");
}
