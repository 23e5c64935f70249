#include "Documents.h"
#include "TestFiles.h"

#include <QTemporaryDir>

#include <boost/property_tree/ptree.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include <sys/stat.h>

namespace {

const auto Nested = [](const char* open, const char* close, int depth) {
    return (QByteArray(open).repeated(depth) + QByteArray(close).repeated(depth)).toStdString();
};

bool Parses(const std::function<void()>& read)
{
    try {
        return read(), true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

// The readers recurse per level: what is parsed is bounded first, and what
// opens no level (strings, comments, character data, empty elements) is not
// counted against the bound.
TEST(Documents, NestingAndSizeAreBoundedBeforeParsing)
{
    const int bound = Documents::kMaxDepth;
    const std::string quotedBrackets = "{\"a\": \"" + std::string(1000, '[') + "\\\"[\"}";
    const std::string quietMarkup = "<?xml version=\"1.0\"?><!-- <a><a> --><r x=\"<\"><![CDATA[<a><a>]]>"
        + std::string(3000, ' ') + "<e/><e/></r>";
    const struct {
        std::string name;
        std::function<void()> read;
        bool parses;
    } cases[] = {
        {"json at the bound", [&] { Documents::ReadJson(Nested("[", "]", bound)); }, true},
        {"json one over", [&] { Documents::ReadJson(Nested("[", "]", bound + 1)); }, false},
        {"json far over", [&] { Documents::ReadJson(Nested("[", "]", 200000)); }, false},
        {"json brackets in strings", [&] { Documents::ReadJson(quotedBrackets); }, true},
        {"xml at the bound", [&] { Documents::ReadXml(Nested("<a>", "</a>", bound)); }, true},
        {"xml one over", [&] { Documents::ReadXml(Nested("<a>", "</a>", bound + 1)); }, false},
        {"xml far over", [&] { Documents::ReadXml(Nested("<a>", "</a>", 40000)); }, false},
        {"xml markup that opens nothing", [&] { Documents::ReadXml(quietMarkup); }, true},
        {"over the size", [&] { Documents::ReadJson("\"" + std::string(Documents::kMaxSize, 'x') + "\""); }, false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(Parses(row.read), row.parses) << row.name;
}

// Only regular files are read: a FIFO would block until a writer came (and the test with it).
TEST(Documents, OnlyRegularFilesAreReadAndAFifoFailsAtOnce)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("GENERAL.JSON").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(Parses([&] { Documents::ReadJsonFile(fifo); }));
    // Nor when a writer has left a valid document in it.
    const TestFiles::FilledFifo filled(dir.filePath("filled.json"), "{\"a\": 1}");
    ASSERT_TRUE(filled.Filled());
    EXPECT_FALSE(Parses([&] { Documents::ReadJsonFile(dir.filePath("filled.json").toStdString()); }));
    EXPECT_FALSE(Parses([&] { Documents::ReadRegularFile(dir.path().toStdString()); }));
    EXPECT_FALSE(Parses([&] { Documents::ReadRegularFile(dir.filePath("missing").toStdString()); }));
}
