#include "BrelTest.h"

#include <csignal>
#include <sys/resource.h>

using Entry = TarTestArchive::Entry;
using TarStreamTest = BrelTest;

// Each archive arrives in pieces of a few sizes down to single bytes, and in two writes (the tree after the first
// shows that a file is closed with its last byte).
// "\\" separates folders; a 100-character name fills its field without a terminating zero; extension entries
// name (or size) the next entry and are not written; everything after the end is ignored but hashed and counted.
TEST_F(TarStreamTest, ArchivesUnpackToTheirTrees)
{
    using Tree = QMap<QString, QByteArray>;
    const QByteArray data = QByteArray(1000, 'd'), longName(100, 'n'), longer(150, 'l'), base256(20, 'b');
    // Each: the archive, where its two writes split, the tree after the first and at the end.
    const std::tuple<QByteArray, int, Tree, Tree> cases[] = {
        {TarTestArchive().File("f", data).File("empty", {}).Bytes(), 512 + 1000, {{"f", data}},
            {{"f", data}, {"empty", {}}}},
        {TarTestArchive().File("f", "1").Bytes() + QByteArray(512, '\0')
                + TarTestArchive().File("junk", "x").End().Bytes(),
            2048, {{"f", "1"}}, {{"f", "1"}}},
        {TarTestArchive().Folder("p").Add(Entry("name", '0', "joined").Prefix("p")).Add({"d\\", '0'}).Bytes()
                + TarTestArchive().File("d\\f", "x").File(longName, "long").Bytes()
                + TarTestArchive().Add(Entry("b256", '0', base256).Base256()).End().Bytes(),
            0, {},
            {{"p", "<folder>"}, {"p/name", "joined"}, {"d", "<folder>"}, {"d/f", "x"}, {longName, "long"},
                {"b256", base256}}},
        {TarTestArchive().Pax("path", "pax-name").File("ignored", "1").Pax("comment", "whatever", 'g').Bytes()
                + TarTestArchive().Add({"././@LongLink", 'L', longer + '\0'}).File("short", "2").Bytes()
                + TarTestArchive().Add({"././@LongLink", 'K', "target"}).Pax("size", "3").Bytes()
                + TarTestArchive().Add(Entry("sized", '0', "333").Size(0)).File("plain", "4").End().Bytes(),
            0, {}, {{"pax-name", "1"}, {longer, "2"}, {"sized", "333"}, {"plain", "4"}}},
    };
    for (const auto& [bytes, split, first, whole] : cases)
        for (const int piece : {1, 7, 511, 513, 0}) {
            Clear();
            const auto stream = OpenTar();
            for (int at = 0; piece && at < bytes.size(); at += piece)
                stream->write(bytes.constData() + at, std::min(piece, bytes.size() - at));
            if (!piece) {
                stream->write(bytes.constData(), split);
                EXPECT_EQ(TarTestArchive::Tree(Root()), first);
                stream->write(bytes.constData() + split, bytes.size() - split);
            }
            EXPECT_EQ(stream->tellp(), bytes.size());
            stream->Finish();
            EXPECT_EQ(stream->GetMd5(), TarTestArchive::Md5(bytes));
            EXPECT_EQ(TarTestArchive::Tree(Root()), whole) << piece;
        }
}

// Names outside the root, links, devices, unknown types and malformed headers are errors, not files, and nothing
// lands beside the root; folder errors keep their messages.
TEST_F(TarStreamTest, WhatCannotBeUnpackedIsRefusedWithItsReason)
{
    QDir().mkpath(Root() + "/there");
    std::vector<std::pair<QByteArray, std::string>> cases = {
        {TarTestArchive().Pax("path", "../evil").File("good", "x").Bytes(), "refused tar entry name"},
        {TarTestArchive().Add({"././@LongLink", 'L', "/tmp/evil"}).File("good", "x").Bytes(), "refused tar entry name"},
        {TarTestArchive().Add(Entry("x", '0', "evil").Prefix("..")).Bytes(), "refused tar entry name"},
        {TarTestArchive().Add(Entry("f", '0', "x").ChecksumDelta(1)).Bytes(), "checksum mismatch"},
        {TarTestArchive::Header(Entry("f", '0').SizeField("12x4")), "bad number field"},
        {TarTestArchive::Header(Entry("f", '0').SizeField("0000001 7")), "bad number field"},
        {TarTestArchive().Add(Entry("huge", 'x').Size(1 << 21)).Bytes(), "too large"},
        {TarTestArchive().Add({"p", 'x', "5 a=b\n"}).Bytes(), "malformed pax"},
        {TarTestArchive().Add({"p", 'x', "0 path=x\n"}).Bytes(), "malformed pax"},
        // ':' follows '9': read as a digit, "1:" would be the record's true length of 20.
        {TarTestArchive().Add({"p", 'x', "1: path=abcdefghijk\n"}).File("f", "x").Bytes(), "malformed pax"},
        {TarTestArchive().Pax("size", "1:").File("f", QByteArray(20, 'x')).Bytes(), "malformed pax"},
        {TarTestArchive().Folder("there/").Bytes(), "failed to create directory: "},
        {TarTestArchive().Add(Entry("sized/", '5').Size(512)).Bytes(), "non-zero size for directory"},
        {TarTestArchive().File("missing/f", "x").Bytes(), "failed to create file: "},
    };
    for (const QByteArray name : {"../x", "/abs", "a/../../x", "a\\..\\..\\x", "..", "\\abs"})
        cases.emplace_back(TarTestArchive().File(name, "evil").End().Bytes(), "refused tar entry name");
    for (const auto& [type, text] : std::map<char, std::string> {{'1', "link"}, {'2', "link"}, {'3', "device or FIFO"},
             {'4', "device or FIFO"}, {'6', "device or FIFO"}, {'V', "type 'V'"}, {'S', "type 'S'"}})
        cases.emplace_back(TarTestArchive().Add({"entry", type}).Bytes(), text);
    for (const auto& test : cases) {
        EXPECT_THAT([&] { OpenTar()->write(test.first.constData(), test.first.size()); },
            ::testing::ThrowsMessage<std::exception>(::testing::HasSubstr(test.second)));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"root"});
    }
    for (const QString name : {"f", "huge", "p", "entry", "missing"})
        EXPECT_FALSE(QFileInfo::exists(Root() + "/" + name)) << name.toStdString();
    EXPECT_TRUE(Brel::Tar::Stream((Root() + "/missing").toStdString()).bad());
}

// Later writes throw and the position is -1; Finish refuses a failed or truncated archive.
TEST_F(TarStreamTest, WriteFailureIsLatchedAndATruncatedArchiveRefused)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit {100000, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto stream = OpenTar();
    const QByteArray archive = TarTestArchive().File("f", QByteArray(200000, 'x')).End().Bytes();
    EXPECT_THROW(stream->write(archive.constData(), archive.size()), std::exception);
    setrlimit(RLIMIT_FSIZE, &saved);
    stream->clear();
    EXPECT_EQ(stream->tellp(), -1);
    stream->clear();
    EXPECT_THROW(stream->write("x", 1), std::exception);
    stream->clear();
    EXPECT_THROW(stream->Finish(), std::runtime_error);

    Clear();
    const auto truncated = OpenTar();
    truncated->write(TarTestArchive().File("f", QByteArray(2000, 'y')).Bytes().constData(), 1000);
    EXPECT_THROW(truncated->Finish(), std::runtime_error);
}
