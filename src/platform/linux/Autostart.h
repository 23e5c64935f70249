#pragma once

#include <QString>

// Starting the program at log-on, as an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/Tessaly.desktop); removing the entry switches
// autostart off. Failures are logged as warnings.
class Autostart {
public:
    // The user's entry, starting the running executable.
    Autostart();
    Autostart(const QString& entryFile, const QString& executable);

    void Set(bool enabled) const;

private:
    void Write() const;
    void Remove() const;

    QString entryFile_;
    QString executable_;
};
