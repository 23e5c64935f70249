#include "Config.h"

#include "Environment.h"
#include "JsonFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <stdexcept>

namespace pt = boost::property_tree;

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
    try {
        ReadConfig(path);
    } catch (const std::runtime_error& e) {
        LOG(Error) << "Failed to read: " << path << ", " << e.what();
        try {
            WriteConfig(path);
        } catch (const std::runtime_error& e) {
            // A read-only or full data folder must not stop the program:
            // it runs with the values held in memory.
            LOG(Error) << "Failed to write: " << path << ", " << e.what();
        }
    }
    ListTranslations();
    QDir().mkpath(dataDir);
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
