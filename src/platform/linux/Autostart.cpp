#include "Autostart.h"

#include "AtomicFile.h"
#include "Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The Exec value of a desktop entry: the path as one quoted argument, with
// the quoting escapes, then the escapes of a string value on top, and "%"
// doubled so that it is not taken for a field code.
QString ExecValue(const QString& executable)
{
    QString quoted;
    for (const QChar c : executable) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    QString value;
    for (const QChar c : "\"" + quoted + "\"") {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}

} // namespace

Autostart::Autostart()
    : Autostart(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop",
        QCoreApplication::applicationFilePath())
{
}

Autostart::Autostart(const QString& entryFile, const QString& executable)
    : entryFile_(entryFile)
    , executable_(executable)
{
}

void Autostart::Set(bool enabled) const
{
    if (enabled)
        Write();
    else
        Remove();
}

void Autostart::Write() const
{
    const QByteArray entry = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Tessaly\n"
                             "Exec="
        + ExecValue(executable_).toUtf8()
        + "\n"
          "Terminal=false\n"
          "X-GNOME-Autostart-enabled=true\n";
    QDir().mkpath(QFileInfo(entryFile_).path());
    QString error;
    if (!AtomicFile::Write(entryFile_, entry, error))
        LOG(Warning) << "Failed to write autostart entry: " << entryFile_ << ", " << error;
}

void Autostart::Remove() const
{
    QFile file(entryFile_);
    if (file.exists() && !file.remove())
        LOG(Warning) << "Failed to remove autostart entry: " << entryFile_ << ", " << file.errorString();
}
