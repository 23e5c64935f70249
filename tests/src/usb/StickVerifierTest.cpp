#include "StickVerifier.h"
#include "StickContent.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

UsbInfo::State CheckOnThread(const std::string& root)
{
    UsbInfo::State state {};
    std::unique_ptr<QThread> thread(QThread::create([&] { state = StickVerifier::Check(root); }));
    thread->setStackSize(StackSize);
    thread->start();
    thread->wait();
    return state;
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
    QByteArray large(3 * 256 * 1024 + 17, '\0');
    for (int i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString stick = dir.filePath("STICK");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/meta_data/GENERAL.JSON", "{}");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/empty", "");
        StickContent::WriteFile(stick, "VexmarNDSUpdate/maps/e/part 1.bin ", large);
        StickContent::WriteChecksums(stick);
        QFile list(stick + "/" + List);
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        c.change(stick, list.readAll());
        EXPECT_EQ(CheckOnThread(QFile::encodeName(dir.filePath(c.root)).toStdString()), c.expected) << c.what;
    }
}
