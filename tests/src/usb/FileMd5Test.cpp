#include "FileMd5.h"
#include "StickContent.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileMd5Test, HashesWholeFilesAcrossChunksAndGivesNothingForFolders)
{
    QTemporaryDir dir;
    QByteArray large(3 * 256 * 1024 + 17, '\0');
    for (int i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    StickContent::WriteFile(dir.path(), "large.bin", large);
    StickContent::WriteFile(dir.path(), "empty.bin", "");
    const auto path = [&dir](const char* name) { return QFile::encodeName(dir.path() + "/" + name).toStdString(); };

    FileMd5 md5;
    EXPECT_EQ(
        md5.Hex(path("large.bin")), QCryptographicHash::hash(large, QCryptographicHash::Md5).toHex().toStdString());
    EXPECT_EQ(md5.Hex(path("empty.bin")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5.Hex(path("")), "");
    EXPECT_EQ(md5.Hex(path("missing.bin")), "");
}
