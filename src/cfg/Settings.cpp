#include "Settings.h"

#include "Config.h"
#include "JsonFile.h"
#include "Log.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <boost/property_tree/ptree.hpp>

#include <stdexcept>

namespace {

const char* BoolText(bool value)
{
    return value ? "true" : "false";
}

} // namespace

Settings& Settings::Instance()
{
    static Settings settings(Config::Instance().dataDir + "/settings.json", Config::Instance(), Autostart());
    return settings;
}

Settings::Settings(const QString& filePath, const Config& config, const Autostart& autostart)
    : filePath(filePath)
    , translator(std::make_unique<QTranslator>())
    , config(config)
    , autostart(autostart)
{
    if (const QString failure = JsonFile::MakePrivate(filePath); !failure.isEmpty())
        LOG(Error) << failure;
    try {
        LOG(Info) << "Reading settings from file: " << filePath;
        const boost::property_tree::ptree tree = JsonFile::Read(filePath);
        SetLocale(QString::fromStdString(tree.get<std::string>("language")));
        SetRunAtStartup(tree.get<bool>("run at startup"));
        LOG(Info) << "Current language: " << GetLanguage() << ", run at startup: " << BoolText(GetRunAtStartup());
    } catch (const std::runtime_error& e) {
        LOG(Error) << "Failed to read: " << filePath << ", : " << e.what();
        KeepUnreadable(JsonFile::kLeftAsItWas);
        SetRunAtStartup(true);
        SetLocale(GetLanguage());
    }
}

// The translator removes itself from the application when it goes.
Settings::~Settings() = default;

QString Settings::GetLanguage() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return language;
}

bool Settings::GetRunAtStartup() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return runAtStartup;
}

// The new translation is loaded beside the old one and replaces it only once
// it is installed, so a failure leaves the previous language fully in effect.
bool Settings::SetLocale(const QString& localeName)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (localeName == language) {
        LOG(Warning) << "locale: " << localeName << " is already in use";
        return false;
    }
    LOG(Info) << "Changing language from: " << language << " to: " << localeName;
    const QString path = config.GetTranslationFilePath(localeName);
    auto loaded = std::make_unique<QTranslator>();
    if (!loaded->load(path)) {
        LOG(Error) << "Failed to load translation file: " << path;
        return false;
    }
    if (!QCoreApplication::installTranslator(loaded.get())) {
        LOG(Error) << "Failed to install translator";
        return false;
    }
    QCoreApplication::removeTranslator(translator.get());
    translator = std::move(loaded);
    language = localeName;
    QLocale::setDefault(QLocale(localeName));
    return true;
}

bool Settings::SetRunAtStartup(bool enabled)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (enabled == runAtStartup)
        return false;
    LOG(Info) << "Changing run at startup from: " << BoolText(runAtStartup) << " to: " << BoolText(enabled);
    runAtStartup = enabled;
    autostart.Set(enabled);
    return true;
}

void Settings::KeepUnreadable(const QString& withoutCopy)
{
    QString record;
    replaceable = JsonFile::KeepUnreadable(filePath, record, withoutCopy);
    if (!record.isEmpty())
        LOG(Error) << record;
}

// A save is the user's explicit choice of every value the file holds: an
// unreadable file is replaced even when no copy of it could be kept.
bool Settings::Save()
{
    LOG(Info) << "Writing settings to file: " << filePath;
    if (!replaceable)
        KeepUnreadable("it is replaced by the settings saved");
    boost::property_tree::ptree tree;
    tree.put("language", GetLanguage().toStdString());
    tree.put("run at startup", BoolText(GetRunAtStartup()));
    try {
        JsonFile::Write(filePath, tree);
    } catch (const std::runtime_error& e) {
        LOG(Error) << "Failed to write settings to file: " << filePath << ", : " << e.what();
        return false;
    }
    replaceable = true;
    return true;
}
