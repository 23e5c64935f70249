#include "Config.h"
#include "Environment.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <boost/optional/optional_io.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ConfigFile : public ::testing::Test {
protected:
    QString Path() const { return dir.filePath("config.json"); }
    void Write(const QByteArray& json) const { ASSERT_TRUE(TestFiles::Write(Path(), json)); }
    QByteArray Read() const { return TestFiles::Read(Path()); }

    QTemporaryDir dir;
};

} // namespace

// config.json may hold a service key: it is the user's alone, whatever the umask.
TEST_F(ConfigFile, FirstRunWritesTheDefaults)
{
    const mode_t umask = ::umask(022);
    const Config config(dir.path());
    ::umask(umask);
    EXPECT_EQ(TestFiles::Mode(Path()), 0600u);
    EXPECT_EQ(Read(), R"({
    "Application": "",
    "FullMapUpdate": {
        "UpdateType": "DravoVyd-Prod"
    },
    "MapDownload": {
        "RetryDuration": ""
    }
}
)");
    EXPECT_FALSE(config.logLevel);
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_EQ(config.updateKey.size(), 32u);
}

// Any word but the four exact level names counts as no level, not as a fault.
TEST_F(ConfigFile, ReadsAValidFileWithoutRewritingIt)
{
    const QByteArray json = R"({ "Application": { "LogLevel": "debug" },
        "FullMapUpdate": { "UpdateType": "Test", "UpdateSource": "https://127.0.0.1:1/brel/v1", "UpdateKey": "k" },
        "MapDownload": { "RetryDuration": 5 } })";
    Write(json);
    const Config config(dir.path());
    EXPECT_FALSE(config.logLevel);
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
    EXPECT_EQ(preprod.logLevel, Log::Info);
    EXPECT_EQ(preprod.updateKey, PreproductionEnvironment().key);
    EXPECT_TRUE(Read().contains(R"("UpdateType": "DravoVyd-Preprod")") && Read().contains(R"("LogLevel": "Info")"));
    EXPECT_FALSE(Read().contains("UpdateKey"));

    Write(R"({ "Application": {}, "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:2/brel/v1" } })");
    Config {dir.path()}; // reads what it can, then rewrites the file
    const Config reread(dir.path());
    EXPECT_EQ(reread.updateSource, "https://127.0.0.1:2/brel/v1");
    EXPECT_EQ(reread.updateKey, ProductionEnvironment().key);
}

// The user's hand-edited file outlives its rewrite: kept beside it, replacing
// an older copy, and told of once the logger runs.
TEST_F(ConfigFile, AnUnreadableFileIsKeptBesideItsRewrite)
{
    const QByteArray json = R"({ "Application": { "LogLevel": "Debug" },
        "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:4/brel/v1", "UpdateKey": "k" }, })";
    Write(json);
    ASSERT_TRUE(TestFiles::Write(Path() + ".bad", "an older copy"));
    const Config config(dir.path());
    EXPECT_EQ(TestFiles::Read(Path() + ".bad"), json);
    EXPECT_EQ(TestFiles::Mode(Path() + ".bad"), 0600u);
    EXPECT_TRUE(Read().contains("DravoVyd-Prod"));
    ASSERT_EQ(config.unloggedErrors.size(), 2);
    EXPECT_TRUE(config.unloggedErrors[0].startsWith("Failed to read: " + Path() + ", "));
    EXPECT_EQ(config.unloggedErrors[1], "Kept the unreadable file as: " + Path() + ".bad");
}

// A folder in the file's place can be neither read nor replaced: the program
// goes on with the values in memory.
TEST_F(ConfigFile, UnreadableAndUnwritableFileLeavesTheValuesInMemory)
{
    QDir().mkpath(Path());
    const Config config(dir.path());
    EXPECT_EQ(config.updateSource, ProductionEnvironment().baseUrl);
    EXPECT_FALSE(QFile::exists(Path() + ".bad"));
    EXPECT_TRUE(config.unloggedErrors.last().startsWith("Failed to write: "));
}

// A file nested past any genuine one is refused before the reader recurses off the stack.
TEST_F(ConfigFile, DeeplyNestedFileIsUnreadable)
{
    Write(R"({ "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:3/brel/v1", "x": )" + QByteArray(200000, '['));
    EXPECT_EQ(Config(dir.path()).updateSource, ProductionEnvironment().baseUrl);
}

TEST_F(ConfigFile, FindsTheLastTranslationOfTheSameLanguage)
{
    Config config(dir.path());
    config.translations = {QLocale("de_AT"), QLocale("de_DE")};
    EXPECT_EQ(config.FindTranslation("de_CH"), "de_DE");
    EXPECT_EQ(config.FindTranslation("it_IT"), "en_GB");
    EXPECT_EQ(config.FindTranslation("de_AT"), "de_AT");
}
