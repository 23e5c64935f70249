#pragma once

#include "Log.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <boost/filesystem/path.hpp>
#include <boost/optional.hpp>
#include <boost/property_tree/ptree_fwd.hpp>

#include <string>

// The process-wide configuration: identity, folders, the stick's paths, the
// content-update service environment and the available translations. Built
// once on the GUI thread before any other thread starts; read-only afterwards.
class Config {
public:
    static Config& Instance();

    // Builds from config.json in dataDir (the seam that tests use).
    explicit Config(const QString& dataDir);

    // The web links the user interface opens, for the current user-interface
    // language; the overloads take the language (the seam that tests use).
    static QString GetTermsAndConditionsUrl();
    static QString GetUserGuidelineUrl();
    static QString GetCopyrightMapDataUrl();
    static QString GetReportMapErrorUrl();
    static QString GetTermsAndConditionsUrl(const QString& language);
    static QString GetUserGuidelineUrl(const QString& language);
    static QString GetCopyrightMapDataUrl(const QString& language);
    static QString GetReportMapErrorUrl(const QString& language);

    QString FindTranslation(const QString& localeName) const;
    QString GetTranslationFilePath(const QString& fileName) const;
    QString ConfigFilePath() const;

    QString appName;
    QString version;
    QString year;
    QString dataDir;
    QString logsDir;
    QString resDir;
    QString fontsDir;
    QString translationsDir;
    boost::optional<Log::Severity> logLevel;
    boost::filesystem::path updateDir;
    boost::filesystem::path metaDataDir;
    boost::filesystem::path checksumsFile;
    boost::filesystem::path generalJson;
    boost::filesystem::path fullDir;
    std::string updateSource;
    std::string updateKey;
    boost::optional<std::string> updateType;
    std::string retryDuration;
    QList<QLocale> translations;
    // The errors met while logging was still off, for main to log once the
    // logger runs.
    QStringList unloggedErrors;

private:
    void RecordError(const QString& message);
    void ReadConfig(const QString& path);
    void ReadFullMapUpdate(const boost::property_tree::ptree& section);
    void WriteConfig(const QString& path) const;
    void ListTranslations();
};
