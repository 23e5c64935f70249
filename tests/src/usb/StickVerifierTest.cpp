#include "StickVerifier.h"
#include "StickContent.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

namespace {

const QString List = "VexmarNDSUpdate/CHECKSUMS.MD5";

struct Case {
    const char* what;
    std::function<void(const QString& stick, const QByteArray& list)> change;
    UsbInfo::State expected;
    const char* root = "STICK";
};

// Longest line a list may hold.
constexpr int MaxLine = 4096 + 64;
// A thread's default stack when the process stack is unlimited, as for the USB thread.
constexpr uint StackSize = 2 << 20;

void WriteList(const QString& stick, const QByteArray& text)
{
    StickContent::WriteFile(stick, List, text);
}

QByteArray LineOf(int length)
{
    return QByteArray(32, '0') + "  " + QByteArray(length - 34, 'x') + "\n";
}

// A name of nearly 3800 characters in nested folders, listed with the rest.
void WriteLongPath(const QString& stick)
{
    QString name = "VexmarNDSUpdate/maps";
    for (int i = 0; i < 15; ++i)
        name += "/" + QString(250, 'd');
    StickContent::WriteFile(stick, name + "/f", "long");
    StickContent::WriteChecksums(stick);
}

// The verdict, or none when the check has not ended by the deadline; a check that hangs on a FIFO is then
// released by opening the FIFO for writing as well, so that its thread can be joined.
std::optional<UsbInfo::State> CheckOnThread(
    const std::string& root, unsigned long deadlineMs = ULONG_MAX, const QStringList& fifos = {})
{
    std::atomic<UsbInfo::State> state {};
    std::unique_ptr<QThread> thread(QThread::create([&] { state = StickVerifier::Check(root); }));
    thread->setStackSize(StackSize);
    thread->start();
    if (thread->wait(deadlineMs))
        return state.load();
    for (const QString& fifo : fifos)
        ::close(::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK));
    thread->wait();
    return std::nullopt;
}

// A stick whose list names what StickContent wrote, including an empty file and one over several read chunks.
QString WriteStick(const QTemporaryDir& dir)
{
    const QString stick = dir.filePath("STICK");
    QByteArray large(3 * 256 * 1024 + 17, '\0');
    for (int i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
    StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/empty", "");
    StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/part 1.bin ", large);
    StickContent::WriteChecksums(stick);
    return stick;
}

// The peak resident memory of this process so far, in KiB.
long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Lowers the peak to the present use, where the kernel allows it; otherwise the peak of the earlier tests
// stays as the base, which is still far below the list's size.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

// Each case on a fresh stick whose list the helper wrote: nested folders, an empty file, a name ending in a space
// and a file over several read chunks.
TEST(StickVerifierTest, ChecksStickContentAgainstItsList)
{
    const QByteArray zeros(32, '0');
    const std::vector<Case> cases = {
        {"as written", [](auto&, auto&) {}, UsbInfo::ValidMetadata},
        {"no update folder", [](auto& s, auto&) { QDir(s + "/VexmarNDSUpdate").removeRecursively(); },
            UsbInfo::NoMetadata},
        {"trailing slash", [](auto&, auto&) {}, UsbInfo::ValidMetadata, "STICK/"},
        {"root through a symbolic link", [](auto& s, auto&) { QFile::link(s, s + "/../LINK"); }, UsbInfo::ValidMetadata,
            "LINK"},
        {"CRLF", [](auto& s, auto& l) { WriteList(s, QByteArray(l).replace("\n", "\r\n")); }, UsbInfo::ValidMetadata},
        {"backslashes", [](auto& s, auto& l) { WriteList(s, QByteArray(l).replace("/", "\\")); },
            UsbInfo::ValidMetadata},
        {"list over several read chunks, each path listed again and again",
            [](auto& s, auto& l) { WriteList(s, l.repeated(1500)); }, UsbInfo::ValidMetadata},
        {"CRLF over several read chunks",
            [](auto& s, auto& l) { WriteList(s, QByteArray(l).replace("\n", "\r\n").repeated(1500)); },
            UsbInfo::ValidMetadata},
        {"missing list", [](auto& s, auto&) { QFile::remove(s + "/" + List); }, UsbInfo::InvalidMetadata},
        {"empty list", [](auto& s, auto&) { WriteList(s, ""); }, UsbInfo::InvalidMetadata},
        {"hash one short", [](auto& s, auto& l) { WriteList(s, l.mid(1)); }, UsbInfo::InvalidMetadata},
        {"empty line", [](auto& s, auto& l) { WriteList(s, l + "\n"); }, UsbInfo::InvalidMetadata},
        {"line just above the length cap", [](auto& s, auto& l) { WriteList(s, l + LineOf(MaxLine + 1)); },
            UsbInfo::InvalidMetadata},
        {"line long enough to exhaust the matcher's stack", [](auto& s, auto& l) { WriteList(s, l + LineOf(8000)); },
            UsbInfo::InvalidMetadata},
        {"long legitimate path", [](auto& s, auto&) { WriteLongPath(s); }, UsbInfo::ValidMetadata},
        {"upper-case hash", [](auto& s, auto& l) { WriteList(s, l.left(32).toUpper() + l.mid(32)); },
            UsbInfo::InvalidMetadata},
        {"missing file", [&](auto& s, auto& l) { WriteList(s, l + zeros + " meta_data/gone.xml\n"); },
            UsbInfo::InvalidMetadata},
        {"unlisted file", [](auto& s, auto&) { StickContent::WriteFile(s, "VexmarNDSUpdate/extra", ""); },
            UsbInfo::InvalidMetadata},
        {"changed file", [](auto& s, auto&) { StickContent::WriteFile(s, "VexmarNDSUpdate/maps/e/empty", "x"); },
            UsbInfo::InvalidMetadata},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString stick = WriteStick(dir);
        c.change(stick, TestFiles::Read(stick + "/" + List));
        EXPECT_EQ(CheckOnThread(QFile::encodeName(dir.filePath(c.root)).toStdString()), c.expected) << c.what;
    }
}

// Only regular files are hashed: anything else listed, or in place of the list, makes the metadata invalid at
// once, also a FIFO that a writer has filled with a valid list. A FIFO would otherwise hold the check (and the
// USB thread) until a writer came.
TEST(StickVerifierTest, WhatIsNotARegularFileFailsAtOnce)
{
    const QByteArray zeros(32, '0');
    struct Row {
        const char* what;
        const char* name; // made below the update folder
        std::function<bool(const QString& path)> make;
        bool listed;
    };
    const auto fifo = [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; };
    std::unique_ptr<TestFiles::FilledFifo> filled;
    const auto fill = [&](const QString& path) {
        const QByteArray list = TestFiles::Read(path);
        filled = std::make_unique<TestFiles::FilledFifo>(QFile::remove(path) ? path : QString(), list);
        return filled->Filled();
    };
    QLocalServer server;
    const std::vector<Row> rows = {
        {"FIFO listed", "maps/pipe", fifo, true},
        {"FIFO not listed", "maps/pipe", fifo, false},
        {"FIFO filled with the list in place of the list", "CHECKSUMS.MD5", fill, false},
        {"folder listed", "maps/e", [](auto&) { return true; }, true},
        {"socket listed", "maps/socket", [&](auto& p) { return server.listen(p); }, true},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        const QString stick = WriteStick(dir);
        const QString path = stick + "/VexmarNDSUpdate/" + row.name;
        if (row.listed)
            WriteList(stick, TestFiles::Read(stick + "/" + List) + zeros + "  " + row.name + "\n");
        ASSERT_TRUE(row.make(path)) << row.what;
        const auto verdict = CheckOnThread(QFile::encodeName(stick).toStdString(), 1000, {path});
        EXPECT_EQ(verdict, std::optional(UsbInfo::InvalidMetadata)) << row.what;
        server.close();
        filled.reset();
    }
}

// A list without a single line break, hundreds of MiB long (sparse, so it costs no disk): the check ends at
// the first line's bound, and the process's peak memory stays far below the list's size.
TEST(StickVerifierTest, ListWithoutLineBreaksIsRejectedInFlatMemory)
{
    constexpr qint64 ListSize = 512LL << 20;
    QTemporaryDir dir;
    const QString stick = WriteStick(dir);
    QFile list(stick + "/" + List);
    ASSERT_TRUE(list.resize(ListSize));
    ResetPeakMemory();
    const long before = PeakMemoryKiB();

    EXPECT_EQ(StickVerifier::Check(QFile::encodeName(stick).toStdString()), UsbInfo::InvalidMetadata);
    const long grown = PeakMemoryKiB() - before;
    std::printf("peak memory grew by %ld KiB while checking a %lld MiB list\n", grown, ListSize >> 20);
    EXPECT_LT(grown, 16 * 1024);
}
