#include "Config.h"
#include "Environment.h"
#include "LogCapture.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

namespace {

class ConfigFile : public ::testing::Test {
protected:
    QString Path() const { return dir.filePath("config.json"); }

    void Write(const QByteArray& json) const { ASSERT_TRUE(TestFiles::Write(Path(), json)); }
    QByteArray Read() const { return TestFiles::Read(Path()); }

    QTemporaryDir dir;
};

const QByteArray kDefaults = R"({
    "Application": "",
    "FullMapUpdate": {
        "UpdateType": "DravoVyd-Prod"
    },
    "MapDownload": {
        "RetryDuration": ""
    }
}
)";

} // namespace

TEST_F(ConfigFile, FirstRunWritesTheDefaults)
{
    LogCapture log;
    const Config config(dir.path());
    EXPECT_EQ(Read(), kDefaults);
    EXPECT_FALSE(config.logLevel);
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_EQ(config.updateKey.size(), 32u);
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: " + Path().toStdString() + ", "), 1);
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

// A failure halfway keeps what was read before it and writes it back; the
// rewrite names a built-in environment by its type only.
TEST_F(ConfigFile, PartialReadKeepsTheValuesReadSoFar)
{
    Write(R"({ "Application": { "LogLevel": "Info" }, "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" } })");
    const Config preprod(dir.path());
    EXPECT_EQ(preprod.updateKey, PreproductionEnvironment().key);
    EXPECT_EQ(Read(),
        QByteArray(kDefaults)
            .replace("\"\",\n    \"Full", "{\n        \"LogLevel\": \"Info\"\n    },\n    \"Full")
            .replace("Prod\"", "Preprod\""));

    Write(R"({ "Application": {}, "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:2/brel/v1" } })");
    Config {dir.path()}; // reads what it can, then rewrites the file
    const Config reread(dir.path());
    EXPECT_EQ(reread.updateSource, "https://127.0.0.1:2/brel/v1");
    EXPECT_EQ(reread.updateKey, ProductionEnvironment().key);
}

// An empty level is a read failure; any word but the four exact names
// counts as no level.
TEST_F(ConfigFile, OnlyAKnownLogLevelIsTaken)
{
    const QByteArray tail = R"(, "FullMapUpdate": { "UpdateType": "DravoVyd-Prod" },
        "MapDownload": { "RetryDuration": "" } })";
    Write(R"({ "Application": { "LogLevel": "debug" })" + tail);
    LogCapture log;
    EXPECT_FALSE(Config(dir.path()).logLevel);
    EXPECT_EQ(log.Count(Log::Error, ""), 0);

    Write(R"({ "Application": { "LogLevel": " " })" + tail);
    EXPECT_FALSE(Config(dir.path()).logLevel);
    EXPECT_EQ(log.Count(Log::Error, "Failed to read: "), 1);
    EXPECT_EQ(Read(), kDefaults);
}

// A folder in the file's place can be neither read nor replaced: the program
// goes on with the values in memory.
TEST_F(ConfigFile, UnwritableFileLeavesTheValuesInMemory)
{
    QDir().mkpath(Path());
    LogCapture log;
    const Config config(dir.path());
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_EQ(log.Count(Log::Error, "Failed to write: "), 1);
}

TEST_F(ConfigFile, FindsTheLastTranslationOfTheSameLanguage)
{
    Config config(dir.path());
    config.translations = {QLocale("de_AT"), QLocale("de_DE")};
    EXPECT_EQ(config.FindTranslation("de_CH"), "de_DE");
    EXPECT_EQ(config.FindTranslation("it_IT"), "en_GB");
    EXPECT_EQ(config.FindTranslation("de_AT"), "de_AT");
}
