#include "Config.h"
#include "Environment.h"
#include "LogCapture.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

struct Cfg : ::testing::Test {
    QString Path(const char* name = "config.json") const { return dir.filePath(name); }
    void Write(const QByteArray& json, const char* name = "config.json") const { TestFiles::Write(Path(name), json); }
    QByteArray Read(const char* name = "config.json") const { return TestFiles::Read(Path(name)); }
    void Chmod(mode_t mode, const char* name = "config.json") const { ::chmod(QFile::encodeName(Path(name)), mode); }
    // Files may grow to `bytes` at most while `body` runs, as on a nearly full disk.
    static void Limited(rlim_t bytes, const std::function<void()>& body)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small {bytes, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        body();
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::unique_ptr<Settings> MakeSettings() const
    {
        return std::make_unique<Settings>(Path("settings.json"), config, Autostart(entry, "/opt/tessaly/tessaly"));
    }

    QTemporaryDir dir;
    const Config config {QDir(dir.path()).filePath("settings")};
    const QString entry = dir.filePath("autostart/Tessaly.desktop");
};

// config.json as found: absent, valid, partly valid, unreadable, nested past any genuine file, a folder.
TEST_F(Cfg, ConfigIsReadAsFoundAndRewrittenWhenIncomplete)
{
    const mode_t umask = ::umask(022);
    const Config first(dir.path());
    ::umask(umask);
    EXPECT_EQ(TestFiles::Mode(Path()), 0600u); // it may hold a service key
    EXPECT_TRUE(Read().contains("\"UpdateType\": \"DravoVyd-Prod\"") && Read().contains("\"RetryDuration\": \"\""));
    EXPECT_TRUE(
        !first.logLevel && first.updateSource == ProductionEnvironment().baseUrl && first.updateKey.size() == 32);

    // Any word but the four exact level names counts as no level, not as a fault. The file is made the user's
    // alone as it is; one a symbolic link leads to is not touched.
    const QByteArray valid = R"({ "Application": { "LogLevel": "debug" },
        "FullMapUpdate": { "UpdateType": "Test", "UpdateSource": "https://127.0.0.1:1/brel/v1", "UpdateKey": "k" },
        "MapDownload": { "RetryDuration": 5 } })";
    Write(valid), Chmod(0644);
    const Config read(dir.path());
    EXPECT_TRUE(!read.logLevel && read.updateType == std::string("Test"));
    EXPECT_EQ(read.updateSource + read.updateKey + read.retryDuration, "https://127.0.0.1:1/brel/v1k5");
    EXPECT_TRUE(Read() == valid && TestFiles::Mode(Path()) == 0600u);
    QFile::rename(Path(), Path("linked")), Chmod(0644, "linked"), QFile::link(Path("linked"), Path());
    EXPECT_TRUE(Config(dir.path()).updateKey == "k" && TestFiles::Mode(Path("linked")) == 0644u);
    QFile::remove(Path()), QFile::remove(Path("linked"));

    // A failure halfway keeps what was read and writes it back, a built-in environment by its type only.
    Write(R"({ "Application": { "LogLevel": "Info" }, "FullMapUpdate": { "UpdateType": "DravoVyd-Preprod" } })");
    const Config preprod(dir.path());
    EXPECT_TRUE(preprod.logLevel == Log::Info && preprod.updateKey == PreproductionEnvironment().key);
    EXPECT_TRUE(Read().contains(R"("UpdateType": "DravoVyd-Preprod")") && Read().contains(R"("LogLevel": "Info")")
        && !Read().contains("UpdateKey"));
    Write(R"({ "Application": {}, "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:2/brel/v1" } })");
    EXPECT_EQ(Config(dir.path()).updateSource + Config(dir.path()).updateKey,
        "https://127.0.0.1:2/brel/v1" + ProductionEnvironment().key);

    // The user's hand-edited file outlives its rewrite: kept beside it, replacing an older copy, told of later.
    const QByteArray unreadable
        = R"({ "Application": { "LogLevel": "Debug" }, "FullMapUpdate": { "UpdateKey": "k" }, })";
    Write(unreadable);
    Write("an older copy", "config.json.bad");
    const Config kept(dir.path());
    EXPECT_TRUE(Read("config.json.bad") == unreadable && Read().contains("DravoVyd-Prod"));
    EXPECT_EQ(TestFiles::Mode(Path("config.json.bad")), 0600u);
    ASSERT_EQ(kept.unloggedErrors.size(), 2);
    EXPECT_TRUE(kept.unloggedErrors[0].startsWith("Failed to read: " + Path() + ", "));
    EXPECT_EQ(kept.unloggedErrors[1], "Kept the unreadable file as: " + Path() + ".bad");
    // Where no copy can be kept (a nearly full disk), the file is left as it was and the defaults are used.
    const QByteArray large = unreadable + QByteArray(30000, ' ');
    Write(large), QFile::remove(Path("config.json.bad"));
    Limited(1000, [this] {
        const Config full(dir.path());
        EXPECT_TRUE(full.unloggedErrors.last().startsWith("Failed to keep the unreadable file as: " + Path() + ".bad"));
        EXPECT_EQ(full.updateSource, ProductionEnvironment().baseUrl);
    });
    EXPECT_TRUE(Read() == large && !QFile::exists(Path("config.json.bad")));

    // Refused before the reader recurses off the stack.
    Write(R"({ "FullMapUpdate": { "UpdateSource": "https://127.0.0.1:3/brel/v1", "x": )" + QByteArray(200000, '['));
    EXPECT_EQ(Config(dir.path()).updateSource, ProductionEnvironment().baseUrl);

    // A folder in the file's place is neither read nor replaced: the program goes on with the values in memory.
    QFile::remove(Path("config.json.bad")), QFile::remove(Path()), QDir().mkpath(Path());
    const Config folder(dir.path());
    EXPECT_TRUE(folder.updateSource == ProductionEnvironment().baseUrl && !QFile::exists(Path("config.json.bad")));
    EXPECT_TRUE(folder.unloggedErrors.last().startsWith("Failed to write: "));
}

// Unknown languages get the British documents and both countries of a language share theirs; the getters without
// a language follow the language as it stands. Terms and guides are on the customer's site, map data terms (one page
// for all) and error reports (in the language as it stands) on the maker's. A translation missing for a country is
// the language's last one, else the British one.
TEST_F(Cfg, LinksFollowTheLanguageOfTheDocuments)
{
    using Link = QString (*)(const QString&);
    for (const Link link : {Link(Config::GetTermsAndConditionsUrl), Link(Config::GetUserGuidelineUrl)}) {
        EXPECT_TRUE(link("it_IT") == link("en_GB") && link("") == link("en_GB") && link("fr_CA") == link("fr_FR"));
        EXPECT_TRUE(link("es_MX") == link("es_ES") && link("tr_TR") != link("en_GB") && link("es_MX") != link("pt_PT"));
    }
    const auto host = [](const QString& link) { return QUrl(link).host(); };
    EXPECT_EQ(host(Config::GetTermsAndConditionsUrl("en_GB")), host(Config::GetUserGuidelineUrl("en_GB")));
    EXPECT_EQ(host(Config::GetReportMapErrorUrl("en_GB")), host(Config::GetCopyrightMapDataUrl("en_GB")));
    EXPECT_NE(host(Config::GetTermsAndConditionsUrl("en_GB")), host(Config::GetReportMapErrorUrl("en_GB")));
    EXPECT_EQ(Config::GetCopyrightMapDataUrl("de_DE"), Config::GetCopyrightMapDataUrl("en_US"));
    EXPECT_TRUE(Config::GetReportMapErrorUrl("en_US").contains("/en_US/"));
    Config found(dir.path());
    found.translations = {QLocale("de_AT"), QLocale("de_DE")};
    EXPECT_EQ(found.FindTranslation("de_CH") + found.FindTranslation("it_IT") + found.FindTranslation("de_AT"),
        "de_DEen_GBde_AT");
    ASSERT_TRUE(Settings::Instance().SetLocale("fr_CA"));
    EXPECT_EQ(Config::GetTermsAndConditionsUrl() + Config::GetReportMapErrorUrl(),
        Config::GetTermsAndConditionsUrl("fr_CA") + Config::GetReportMapErrorUrl("fr_CA"));
}

// The first run writes no file but switches autostart on; the saved file is the user's alone whatever the umask,
// and a save that fails halfway (here: a file-size limit) leaves it whole. The stored language is applied (a flag
// that is no bool counts as on, and the unreadable file is kept beside it); a failed switch keeps the language in
// effect, switching back to the source language works.
TEST_F(Cfg, SettingsAreSavedWholeAndReadBack)
{
    const mode_t umask = ::umask(022);
    {
        const auto settings = MakeSettings();
        EXPECT_EQ(settings->GetLanguage(), "en_GB");
        EXPECT_TRUE(settings->GetRunAtStartup() && QFile::exists(entry) && !QFile::exists(Path("settings.json")));
        EXPECT_TRUE(settings->SetLocale("de_DE") && settings->SetRunAtStartup(false));
        EXPECT_FALSE(QFile::exists(entry));
        settings->Save();
    }
    ::umask(umask);
    EXPECT_EQ(TestFiles::Mode(Path("settings.json")), 0600u);
    const QByteArray saved = Read("settings.json");
    Chmod(0644, "settings.json");
    {
        const auto reread = MakeSettings();
        EXPECT_TRUE(reread->GetLanguage() == "de_DE" && !reread->GetRunAtStartup());
        EXPECT_EQ(TestFiles::Mode(Path("settings.json")), 0600u);
        reread->SetLocale("fr_FR");
        LogCapture log;
        Limited(10, [&reread] { EXPECT_FALSE(reread->Save()); });
        EXPECT_EQ(log.Count(Log::Error, "Failed to write settings to file: " + Path("settings.json").toStdString()), 1);
    }
    EXPECT_TRUE(
        Read("settings.json") == saved && QDir(dir.path()).entryList(QDir::Files) == QStringList {"settings.json"});

    const QByteArray json = R"({ "language": "fr_FR", "run at startup": "yes" })";
    Write(json, "settings.json");
    LogCapture log;
    const auto settings = MakeSettings();
    EXPECT_TRUE(settings->GetRunAtStartup() && Read("settings.json.bad") == json);
    EXPECT_EQ(log.Count(Log::Error, "Kept the unreadable file as: " + Path("settings.json.bad").toStdString()), 1);
    EXPECT_FALSE(settings->SetLocale("xx_XX"));
    EXPECT_EQ(settings->GetLanguage() + QCoreApplication::translate("global", "MB"), "fr_FRMo");
    EXPECT_TRUE(settings->SetLocale("en_GB") && QCoreApplication::translate("global", "MB") == "MB");

    // Without a copy (a folder in its way) the start leaves the unreadable file as it was. A save tries the copy
    // again first, and writes the user's choices even when it still cannot be kept: they are every value the file held.
    const auto notKept = [&log](const std::string& then) {
        const auto records = log.Records();
        return std::count_if(records.begin(), records.end(), [&then](const LogCapture::Record& record) {
            return record.message.rfind("Failed to keep the unreadable file as: ", 0) == 0
                && QString::fromStdString(record.message).endsWith(QString::fromStdString("; " + then));
        });
    };
    for (const bool wayClear : {true, false}) {
        SCOPED_TRACE(wayClear);
        Write(json, "settings.json"), QFile::remove(Path("settings.json.bad")),
            Write("", "settings.json.bad/in the way");
        const auto blocked = MakeSettings();
        EXPECT_TRUE(Read("settings.json") == json && blocked->SetRunAtStartup(false));
        if (wayClear)
            QDir(Path("settings.json.bad")).removeRecursively();
        EXPECT_TRUE(blocked->Save());
        EXPECT_TRUE(Read("settings.json").contains(R"("run at startup": "false")"));
        EXPECT_EQ(Read("settings.json.bad") == json, wayClear);
    }
    EXPECT_EQ(notKept("it is left as it was, the values in memory are used"), 2);
    EXPECT_EQ(notKept("it is replaced by the settings saved"), 1);
}
