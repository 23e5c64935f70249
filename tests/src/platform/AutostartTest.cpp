#include "Autostart.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Desktop entries unquote string escapes first, then the argument quoting,
// and expand "%" codes: each special character needs its own escape.
TEST(Autostart, QuotesTheExecutablePathAndRemovesTheEntry)
{
    QTemporaryDir dir;
    const Autostart autostart(dir.filePath("a.desktop"), "/opt/my app/$HOME/100%/\"q\"/back\\slash/`tick`");
    autostart.Set(true);
    EXPECT_EQ(TestFiles::Read(dir.filePath("a.desktop")),
        "[Desktop Entry]\nType=Application\nName=Tessaly\n"
        "Exec=\"/opt/my app/\\\\$HOME/100%%/\\\\\"q\\\\\"/back\\\\\\\\slash/\\\\`tick\\\\`\"\n"
        "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
    autostart.Set(false);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.desktop")));
}
