#include "StickVerifier.h"
#include "LogCapture.h"
#include "StickContent.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

const QString List = "VexmarNDSUpdate/CHECKSUMS.MD5";

struct Case {
    const char* what;
    std::function<void()> change;
    UsbInfo::State expected;
    std::string logged; // part of an Error record, if any is expected
};

class StickVerifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        stick = dir.path() + "/STICK";
        QDir(stick).removeRecursively();
        StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/EP_2023_05.xml", "<tns:metadata/>");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/europe/part 1.bin ", QByteArray(70000, 'm'));
        StickContent::WriteFile(stick, "outside.txt", "o");
        StickContent::WriteChecksums(stick);
        QFile file(stick + "/" + List);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        list = file.readAll();
        ASSERT_TRUE(list.contains("  maps/europe/part 1.bin \n"));
    }

    UsbInfo::State Check(const QString& root) { return StickVerifier().Check(QFile::encodeName(root).toStdString()); }

    // Each case on a fresh stick.
    void Run(const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            SetUp();
            c.change();
            LogCapture log;
            EXPECT_EQ(Check(stick), c.expected) << c.what;
            bool found = c.logged.empty();
            for (const auto& record : log.Records())
                found = found || (record.severity == Log::Error && record.message.find(c.logged) != std::string::npos);
            EXPECT_TRUE(found) << c.what << ": no record with " << c.logged;
        }
    }

    std::function<void()> WithList(const QByteArray& text)
    {
        return [this, text] { StickContent::WriteFile(stick, List, text); };
    }
    std::function<void()> Replacing(const QByteArray& from, const QByteArray& to)
    {
        return [this, from, to] { StickContent::WriteFile(stick, List, QByteArray(list).replace(from, to)); };
    }
    std::function<void()> Writing(const QString& path, const QByteArray& bytes = "")
    {
        return [this, path, bytes] { StickContent::WriteFile(stick, path, bytes); };
    }
    std::function<void()> Linking(const QString& target, const QString& link)
    {
        return [this, target, link] { ASSERT_TRUE(QFile::link(target, stick + "/" + link)); };
    }

    QTemporaryDir dir;
    QString stick;
    QByteArray list;
};

} // namespace

TEST_F(StickVerifierTest, StickWithoutUpdateFolderHasNoMetadata)
{
    QDir(stick + "/VexmarNDSUpdate").removeRecursively();
    EXPECT_EQ(Check(stick), UsbInfo::NoMetadata);
}

TEST_F(StickVerifierTest, CompleteListsAreValidInEveryAcceptedForm)
{
    const QByteArray zeros(32, '0');
    Run({
        {"nested folders, trailing space in a name", [] {}, UsbInfo::ValidMetadata, ""},
        {"CRLF line ends", Replacing("\n", "\r\n"), UsbInfo::ValidMetadata, ""},
        {"backslash separators", Replacing("/", "\\"), UsbInfo::ValidMetadata, ""},
        {"tab separator, no final line end", WithList(list.chopped(1).replace("  ", "\t")), UsbInfo::ValidMetadata, ""},
        {"'|' is a hash character", WithList(list + QByteArray(32, '|') + " maps\n"), UsbInfo::ValidMetadata, ""},
        {"a listed folder is never reached as a file", WithList(list + zeros + " maps/europe\n"),
            UsbInfo::ValidMetadata, ""},
        {"a file outside the update folder", WithList(list + zeros + " ..\\outside.txt\n"), UsbInfo::ValidMetadata, ""},
        {"a path listed twice: the first hash counts", WithList(list + zeros + " meta_data/GENERAL.JSON\n"),
            UsbInfo::ValidMetadata, ""},
    });
    Linking(stick, "../link")();
    EXPECT_EQ(Check(dir.path() + "/link"), UsbInfo::ValidMetadata) << "root through a symbolic link";
    EXPECT_EQ(Check(stick + "/"), UsbInfo::ValidMetadata) << "root with a trailing slash";
}

TEST_F(StickVerifierTest, BrokenListsAndFilesAreInvalid)
{
    Run({
        {"missing list", [this] { QFile::remove(stick + "/" + List); }, UsbInfo::InvalidMetadata,
            "Could not open checksum file: "},
        {"a folder in place of the list",
            [this] { QFile::remove(stick + "/" + List), QDir().mkpath(stick + "/" + List); }, UsbInfo::InvalidMetadata,
            ""},
        {"empty list", WithList(""), UsbInfo::InvalidMetadata, ""},
        {"empty line in the middle", WithList(QByteArray(list).insert(list.indexOf('\n'), '\n')),
            UsbInfo::InvalidMetadata, "invalid line in checksum file: "},
        {"two line breaks at the end", WithList(list + "\n"), UsbInfo::InvalidMetadata, "invalid line"},
        {"md5sum binary-mode names", Replacing("  ", " *"), UsbInfo::InvalidMetadata, "does not exist"},
        {"hash one character short", WithList(list.mid(1)), UsbInfo::InvalidMetadata, "invalid line"},
        {"a line far too long", WithList(list + QByteArray(32, 'a') + " " + QByteArray(1 << 20, 'x')),
            UsbInfo::InvalidMetadata, "invalid line"},
        {"a listed file is missing", WithList(list + QByteArray(32, 'a') + " meta_data/gone.xml\n"),
            UsbInfo::InvalidMetadata, "meta_data/gone.xml does not exist"},
        {"a listed name in other letter case", Replacing("GENERAL.JSON", "general.json"), UsbInfo::InvalidMetadata,
            "does not exist"},
        {"a listed symbolic link loop",
            [this] { Linking("loop", "loop")(), WithList(list + list.left(33) + "../loop")(); },
            UsbInfo::InvalidMetadata, "does not exist"},
        {"a path listed twice, the first hash wrong",
            WithList(QByteArray(32, '0') + " meta_data/GENERAL.JSON\n" + list), UsbInfo::InvalidMetadata,
            "checksum mismatch of file: "},
        {"upper-case hashes", WithList(list.left(32).toUpper() + list.mid(32)), UsbInfo::InvalidMetadata,
            "checksum mismatch of file: "},
        {"changed content", Writing("VexmarNDSUpdate/meta_data/GENERAL.JSON", "[]"), UsbInfo::InvalidMetadata,
            "checksum mismatch of file: "},
        {"an extra file", Writing("VexmarNDSUpdate/extra.txt"), UsbInfo::InvalidMetadata, " is not listed in: "},
        {"a folder where a file is listed",
            [this] {
                QFile::remove(stick + "/VexmarNDSUpdate/meta_data/EP_2023_05.xml");
                Writing("VexmarNDSUpdate/meta_data/EP_2023_05.xml/inner")();
            },
            UsbInfo::InvalidMetadata, "EP_2023_05.xml/inner is not listed in: "},
    });
}

TEST_F(StickVerifierTest, UnresolvableEntryInTheUpdateFolderThrows)
{
    Linking("loop", "VexmarNDSUpdate/loop")();
    EXPECT_THROW(Check(stick), std::runtime_error);
}
