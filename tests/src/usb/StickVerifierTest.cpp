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
#include <utility>
#include <vector>

namespace {

const QString List = "VexmarNDSUpdate/CHECKSUMS.MD5";

class StickVerifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        stick = dir.path() + "/STICK";
        StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/GENERAL.JSON", R"({"used_map_space": 1})");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/EP_2023_05.xml", "<tns:metadata/>");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/europe/part 1.bin ", QByteArray(70000, 'm'));
        StickContent::WriteChecksums(stick);
    }

    UsbInfo::State Check(const QString& root) { return StickVerifier().Check(QFile::encodeName(root).toStdString()); }
    UsbInfo::State Check() { return Check(stick); }

    QByteArray ListText() const
    {
        QFile file(stick + "/" + List);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void SetList(const QByteArray& text) { StickContent::WriteFile(stick, List, text); }
    void Link(const QString& target, const QString& link) { ASSERT_TRUE(QFile::link(target, link)); }

    QTemporaryDir dir;
    QString stick;
};

// True when an Error record's message contains the text.
bool LoggedError(const LogCapture& log, const std::string& text)
{
    for (const auto& record : log.Records()) {
        if (record.severity == Log::Error && record.message.find(text) != std::string::npos)
            return true;
    }
    return false;
}

QByteArray Replaced(QByteArray text, const QByteArray& from, const QByteArray& to)
{
    return text.replace(from, to);
}

} // namespace

TEST_F(StickVerifierTest, StickWithoutUpdateFolderHasNoMetadata)
{
    QDir(stick + "/VexmarNDSUpdate").removeRecursively();
    EXPECT_EQ(Check(), UsbInfo::NoMetadata);
}

TEST_F(StickVerifierTest, CompleteListIsValidInEveryAcceptedForm)
{
    const QByteArray list = ListText();
    ASSERT_TRUE(list.contains("maps/europe/part 1.bin \n"));
    EXPECT_EQ(Check(), UsbInfo::ValidMetadata) << "nested folders, trailing space in a name";

    Link(stick, dir.path() + "/link");
    EXPECT_EQ(Check(dir.path() + "/link"), UsbInfo::ValidMetadata) << "root through a symbolic link";
    EXPECT_EQ(Check(stick + "/"), UsbInfo::ValidMetadata) << "root with a trailing slash";

    const std::vector<std::pair<const char*, QByteArray>> forms {
        {"CRLF line ends", Replaced(list, "\n", "\r\n")},
        {"backslash separators", Replaced(list, "/", "\\")},
        {"tab separator, no final line end", Replaced(list, "  ", "\t").chopped(1)},
        {"'|' counts as a hash character of an unlisted line", list + QByteArray(32, '|') + " maps\n"},
        {"a listed file outside the update folder", list + QByteArray(32, '0') + " ../outside.txt\n"},
        {"duplicate path, first hash counts", list + QByteArray(32, '0') + " meta_data/GENERAL.JSON\n"},
    };
    StickContent::WriteFile(stick, "outside.txt", "x");
    for (const auto& form : forms) {
        SetList(form.second);
        EXPECT_EQ(Check(), UsbInfo::ValidMetadata) << form.first;
    }
}

TEST_F(StickVerifierTest, BrokenListsAreInvalid)
{
    const QByteArray list = ListText();
    const QByteArray firstHash = list.left(32);
    const std::vector<std::pair<const char*, QByteArray>> lists {
        {"empty list", ""},
        {"empty line in the middle", QByteArray(list).insert(list.indexOf('\n'), '\n')},
        {"two line breaks at the end", list + "\n"},
        {"md5sum binary-mode names", Replaced(list, "  ", " *")},
        {"hash one character short", list.mid(1)},
        {"no separator", Replaced(list, "  ", "")},
        {"a listed file is missing", list + QByteArray(32, 'a') + "  meta_data/gone.xml\n"},
        {"a listed name in other letter case", Replaced(list, "GENERAL.JSON", "general.json")},
        {"duplicate path, first hash wrong", QByteArray(32, '0') + "  meta_data/GENERAL.JSON\n" + list},
        {"a line far too long", list + QByteArray(32, 'a') + " " + QByteArray(1 << 20, 'x') + "\n"},
    };
    for (const auto& broken : lists) {
        SetList(broken.second);
        EXPECT_EQ(Check(), UsbInfo::InvalidMetadata) << broken.first;
    }
    ASSERT_TRUE(QFile::remove(stick + "/" + List));
    EXPECT_EQ(Check(), UsbInfo::InvalidMetadata) << "missing list";
    ASSERT_TRUE(QDir().mkpath(stick + "/" + List));
    EXPECT_EQ(Check(), UsbInfo::InvalidMetadata) << "a folder in place of the list";
}

TEST_F(StickVerifierTest, UpperCaseHashIsAcceptedAsLineButMismatches)
{
    SetList(ListText()
                .toUpper()
                .replace("META_DATA/GENERAL.JSON", "meta_data/GENERAL.JSON")
                .replace("META_DATA/EP_2023_05.XML", "meta_data/EP_2023_05.xml")
                .replace("MAPS/EUROPE/PART 1.BIN ", "maps/europe/part 1.bin "));
    LogCapture log;
    EXPECT_EQ(Check(), UsbInfo::InvalidMetadata);
    EXPECT_EQ(log.Count(Log::Error, "checksum mismatch of file: "), 1);
    EXPECT_EQ(log.Count(Log::Error, "invalid line"), 0);
}

TEST_F(StickVerifierTest, FilesTheListDoesNotNameAreInvalid)
{
    const std::vector<std::pair<const char*, std::function<void()>>> changes {
        {"an extra file", [this] { StickContent::WriteFile(stick, "VexmarNDSUpdate/extra.txt", ""); }},
        {"a folder where a file is listed",
            [this] {
                QFile::remove(stick + "/VexmarNDSUpdate/meta_data/EP_2023_05.xml");
                StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/EP_2023_05.xml/inner", "i");
            }},
    };
    for (const auto& change : changes) {
        SetUp();
        change.second();
        LogCapture log;
        EXPECT_EQ(Check(), UsbInfo::InvalidMetadata) << change.first;
        EXPECT_TRUE(LoggedError(log, " is not listed in: ")) << change.first;
    }
}

TEST_F(StickVerifierTest, ChangedFileContentMismatches)
{
    StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/europe/part 1.bin ", QByteArray(70000, 'n'));
    EXPECT_EQ(Check(), UsbInfo::InvalidMetadata);
}

TEST_F(StickVerifierTest, ListedPathsThatAreNoFilesDoNotBreakTheCheck)
{
    const QByteArray list = ListText();
    SetList(list + QByteArray(32, 'a') + "  maps/europe\n");
    EXPECT_EQ(Check(), UsbInfo::ValidMetadata) << "a listed folder is never reached as a file";

    Link("loop", stick + "/loop");
    SetList(list + QByteArray(32, 'a') + "  ../loop\n");
    LogCapture log;
    EXPECT_EQ(Check(), UsbInfo::InvalidMetadata) << "a listed symbolic link loop cannot be resolved";
    EXPECT_TRUE(LoggedError(log, " does not exist"));
}

TEST_F(StickVerifierTest, UnresolvableEntryInTheUpdateFolderThrows)
{
    Link("loop", stick + "/VexmarNDSUpdate/loop");
    EXPECT_THROW(Check(), std::runtime_error);
}
