#include "Autostart.h"
#include "LogCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(Autostart, WritesADesktopEntryAndRemovesIt)
{
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
    Autostart autostart;
    autostart.Set(true);
    EXPECT_EQ(ReadFile(entry),
        "[Desktop Entry]\nType=Application\nName=Tessaly\nExec=\""
            + QFile::encodeName(QCoreApplication::applicationFilePath())
            + "\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    autostart.Set(false);
    EXPECT_FALSE(QFile::exists(entry));
    LogCapture log;
    autostart.Set(false);
    EXPECT_TRUE(log.Records().empty());
}

// Desktop entries unquote string escapes first, then the argument quoting,
// and expand "%" codes: each special character needs its own escape.
TEST(Autostart, QuotesAnExecutablePathWithSpecialCharacters)
{
    QTemporaryDir dir;
    const QString entry = dir.path() + "/autostart/Tessaly.desktop";
    Autostart(entry, "/opt/my app/$HOME/100%/\"q\"/back\\slash/`tick`").Set(true);
    EXPECT_TRUE(ReadFile(entry).contains(
        "\nExec=\"/opt/my app/\\\\$HOME/100%%/\\\\\"q\\\\\"/back\\\\\\\\slash/\\\\`tick\\\\`\"\n"))
        << ReadFile(entry).toStdString();
}

TEST(Autostart, AFailedWriteIsAWarning)
{
    QTemporaryDir dir;
    const QString entry = dir.path() + "/Tessaly.desktop";
    QDir().mkpath(entry);
    LogCapture log;
    Autostart(entry, "/bin/true").Set(true);
    EXPECT_EQ(log.Count(Log::Warning, "Failed to write autostart entry: "), 1);
}
