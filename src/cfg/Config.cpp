#include "Config.h"

#include "Environment.h"
#include "JsonFile.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QStandardPaths>

#include <boost/property_tree/ptree.hpp>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace pt = boost::property_tree;

namespace {

// The program's two web sites: the customer's (terms, guides) and the maker's
// (map data terms, error reports).
const QString customerSite = "https://www.tessaly.example";
const QString makerSite = "https://navigation.tessaly.example";

using LinkTable = QMap<QString, QString>;

// A language that is not in the table gets the British entry.
QString Lookup(const LinkTable& table, const QString& language)
{
    return table.value(language, table.value("en_GB"));
}

// One table per link, keyed by the nine supported languages; link() is given
// the language of the documents, which both countries of a language share.
LinkTable ByLanguage(const std::function<QString(const QString&)>& link)
{
    const QList<QPair<QString, QString>> languages = {{"en_GB", "en"}, {"en_US", "en"}, {"de_DE", "de"},
        {"fr_FR", "fr"}, {"fr_CA", "fr"}, {"es_ES", "es"}, {"es_MX", "es"}, {"pt_PT", "pt"}, {"tr_TR", "tr"}};
    LinkTable table;
    for (const auto& entry : languages)
        table.insert(entry.first, link(entry.second));
    return table;
}

} // namespace

Config& Config::Instance()
{
    static Config config(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return config;
}

Config::Config(const QString& dataFolder)
    : appName(QCoreApplication::applicationName())
    , version(QString("%1.%2.%3").arg(2).arg(0).arg(74))
    , year(QString("%1").arg(2023))
    , dataDir(dataFolder)
    , logsDir(dataDir + QDir::separator() + "Logs")
{
    QDir().mkpath(dataDir);
    resDir = QCoreApplication::applicationDirPath() + QDir::separator() + "res";
    fontsDir = resDir + QDir::separator() + "fonts";
    translationsDir = resDir + QDir::separator() + "translations";
    updateDir = "VexmarNDSUpdate";
    metaDataDir = updateDir / "meta_data";
    checksumsFile = updateDir / "CHECKSUMS.MD5";
    generalJson = metaDataDir / "GENERAL.JSON";
    fullDir = "VexmarNDSFull";
    updateSource = ProductionEnvironment().baseUrl;
    updateKey = ProductionEnvironment().key;

    const QString path = ConfigFilePath();
    if (const QString failure = JsonFile::MakePrivate(path); !failure.isEmpty())
        RecordError(failure);
    try {
        ReadConfig(path);
    } catch (const std::runtime_error& e) {
        RecordError("Failed to read: " + path + ", " + e.what());
        QString record;
        const bool replaceable = JsonFile::KeepUnreadable(path, record);
        if (!record.isEmpty())
            RecordError(record);
        try {
            if (replaceable)
                WriteConfig(path);
        } catch (const std::runtime_error& e) {
            // A read-only or full data folder must not stop the program:
            // it runs with the values held in memory.
            RecordError("Failed to write: " + path + ", " + e.what());
        }
    }
    ListTranslations();
    QDir().mkpath(dataDir);
}

// Logging is still off while the configuration is read.
void Config::RecordError(const QString& message)
{
    LOG(Error) << message;
    unloggedErrors.append(message);
}

QString Config::ConfigFilePath() const
{
    return dataDir + "/config.json";
}

void Config::ReadConfig(const QString& path)
{
    LOG(Info) << "Reading configuration from file: " << path;
    const pt::ptree tree = JsonFile::Read(path);

    const pt::ptree& application = tree.get_child("Application");
    if (const auto level = application.get_optional<std::string>("LogLevel")) {
        std::istringstream in(*level);
        in.exceptions(std::ios::failbit | std::ios::badbit);
        // An unknown word leaves the level unset: it counts as no level.
        auto severity = static_cast<Log::Severity>(-1);
        in >> severity;
        if (severity >= Log::Debug && severity <= Log::Error)
            logLevel = severity;
    }
    ReadFullMapUpdate(tree.get_child("FullMapUpdate"));
    retryDuration = tree.get<std::string>("MapDownload.RetryDuration");
}

void Config::ReadFullMapUpdate(const pt::ptree& section)
{
    updateType = section.get_optional<std::string>("UpdateType");
    for (const Environment* env : {&ProductionEnvironment(), &PreproductionEnvironment()}) {
        if (updateType && *updateType == env->name) {
            updateSource = env->baseUrl;
            updateKey = env->key;
            return;
        }
    }
    updateSource = section.get<std::string>("UpdateSource");
    updateKey = section.get<std::string>("UpdateKey");
}

void Config::WriteConfig(const QString& path) const
{
    LOG(Info) << "Writing configuration to file: " << path;
    pt::ptree tree;

    pt::ptree application;
    if (logLevel) {
        std::ostringstream name;
        name << *logLevel;
        application.put("LogLevel", name.str());
    }
    tree.add_child("Application", application);

    pt::ptree fullMapUpdate;
    if (updateSource == ProductionEnvironment().baseUrl) {
        fullMapUpdate.put("UpdateType", ProductionEnvironment().name);
    } else if (updateSource == PreproductionEnvironment().baseUrl) {
        fullMapUpdate.put("UpdateType", PreproductionEnvironment().name);
    } else {
        fullMapUpdate.put("UpdateSource", updateSource);
        fullMapUpdate.put("UpdateKey", updateKey);
    }
    tree.add_child("FullMapUpdate", fullMapUpdate);

    pt::ptree mapDownload;
    mapDownload.put("RetryDuration", retryDuration);
    tree.add_child("MapDownload", mapDownload);

    JsonFile::Write(path, tree);
}

QString Config::GetTermsAndConditionsUrl()
{
    return GetTermsAndConditionsUrl(Settings::Instance().GetLanguage());
}
QString Config::GetUserGuidelineUrl()
{
    return GetUserGuidelineUrl(Settings::Instance().GetLanguage());
}
QString Config::GetCopyrightMapDataUrl()
{
    return GetCopyrightMapDataUrl(Settings::Instance().GetLanguage());
}
QString Config::GetReportMapErrorUrl()
{
    return GetReportMapErrorUrl(Settings::Instance().GetLanguage());
}

QString Config::GetTermsAndConditionsUrl(const QString& language)
{
    static const LinkTable table
        = ByLanguage([](const QString& lang) { return customerSite + "/" + lang + "/terms-and-conditions/"; });
    return Lookup(table, language);
}

QString Config::GetUserGuidelineUrl(const QString& language)
{
    static const LinkTable table = ByLanguage([](const QString& lang) {
        return customerSite + "/media/downloads/zuk_guideline/zuk_user_guideline_" + lang + ".pdf";
    });
    return Lookup(table, language);
}

// Every language gets the same page.
QString Config::GetCopyrightMapDataUrl(const QString& language)
{
    static const LinkTable table
        = ByLanguage([](const QString&) { return makerSite + "/en_gb/thirdpartyproductterms/"; });
    return Lookup(table, language);
}

QString Config::GetReportMapErrorUrl(const QString& language)
{
    return makerSite + "/" + language + "/account/login.html";
}

void Config::ListTranslations()
{
    const QStringList files = QDir(translationsDir).entryList(QStringList() << "*.qm");
    for (const QString& file : files)
        translations.append(QLocale(file.left(file.lastIndexOf('.'))));
}

QString Config::FindTranslation(const QString& localeName) const
{
    const QLocale wanted(localeName);
    QString sameLanguage;
    for (const QLocale& locale : translations) {
        if (locale.name() == localeName)
            return localeName;
        if (locale.language() == wanted.language())
            sameLanguage = locale.name();
    }
    return sameLanguage.isEmpty() ? QString("en_GB") : sameLanguage;
}

QString Config::GetTranslationFilePath(const QString& fileName) const
{
    return translationsDir + QDir::separator() + fileName;
}
