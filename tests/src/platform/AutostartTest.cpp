#include "Autostart.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Autostart, WritesADesktopEntryAndRemovesIt)
{
    const QString entry
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/Tessaly.desktop";
    const Autostart autostart;
    autostart.Set(true);
    EXPECT_EQ(TestFiles::Read(entry),
        "[Desktop Entry]\nType=Application\nName=Tessaly\nExec=\""
            + QFile::encodeName(QCoreApplication::applicationFilePath())
            + "\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    autostart.Set(false);
    EXPECT_FALSE(QFile::exists(entry));
}

// Desktop entries unquote string escapes first, then the argument quoting,
// and expand "%" codes: each special character needs its own escape.
TEST(Autostart, QuotesAnExecutablePathWithSpecialCharacters)
{
    QTemporaryDir dir;
    Autostart(dir.filePath("a.desktop"), "/opt/my app/$HOME/100%/\"q\"/back\\slash/`tick`").Set(true);
    EXPECT_TRUE(
        TestFiles::Read(dir.filePath("a.desktop"))
            .contains("\nExec=\"/opt/my app/\\\\$HOME/100%%/\\\\\"q\\\\\"/back\\\\\\\\slash/\\\\`tick\\\\`\"\n"));
}
