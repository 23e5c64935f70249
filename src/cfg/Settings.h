#pragma once

#include "Autostart.h"

#include <QString>

#include <memory>
#include <mutex>

class Config;
class QTranslator;

// The user's choices: the user-interface language (an installed translator)
// and autostart at log-on, kept in settings.json. Built on the GUI thread;
// the getters may be called from any thread.
class Settings {
public:
    static Settings& Instance();

    // Reads filePath and applies what it holds; never writes the file.
    Settings(const QString& filePath, const Config& config, const Autostart& autostart);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    QString GetLanguage() const;
    bool GetRunAtStartup() const;

    // Both return true when the value changed.
    bool SetLocale(const QString& localeName);
    bool SetRunAtStartup(bool enabled);

    // Writes settings.json; false when it could not (logged, not thrown).
    bool Save();

private:
    void KeepUnreadable(const QString& withoutCopy);

    const QString filePath;
    std::unique_ptr<QTranslator> translator;
    QString language = "en_GB";
    bool runAtStartup = false;
    // False while settings.json holds unreadable text of which no copy could be kept.
    bool replaceable = true;
    mutable std::mutex mutex;
    const Config& config;
    const Autostart autostart;
};
