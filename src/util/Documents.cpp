#include "Documents.h"

#include "RegularFile.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <cstring>
#include <sstream>
#include <stdexcept>

namespace Documents {

namespace {

void CheckSize(const std::string& text)
{
    if (text.size() > kMaxSize)
        throw std::runtime_error("Document is too large");
}

void Deeper(int& depth)
{
    if (++depth > kMaxDepth)
        throw std::runtime_error("Document is nested too deeply");
}

// Counts open objects and arrays outside strings.
void CheckJsonDepth(const std::string& text)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            Deeper(depth);
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
}

// Skips from pos past the next occurrence of the terminator (or to the end).
std::size_t SkipPast(const std::string& text, std::size_t pos, const char* terminator)
{
    const std::size_t found = text.find(terminator, pos);
    return found == std::string::npos ? text.size() : found + std::strlen(terminator);
}

// The end of a start tag at pos, past its '>', with quoted attribute values
// skipped; sets selfClosing for "<name/>".
std::size_t EndOfTag(const std::string& text, std::size_t pos, bool& selfClosing)
{
    char quote = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = text[pos - 1] == '/';
            return pos + 1;
        }
    }
    return pos;
}

// Counts open elements; comments, declarations, instructions and character
// data open none.
void CheckXmlDepth(const std::string& text)
{
    int depth = 0;
    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        if (text.compare(pos, 4, "<!--") == 0) {
            pos = SkipPast(text, pos + 4, "-->");
        } else if (text.compare(pos, 9, "<![CDATA[") == 0) {
            pos = SkipPast(text, pos + 9, "]]>");
        } else if (text.compare(pos, 2, "<?") == 0) {
            pos = SkipPast(text, pos + 2, "?>");
        } else if (text.compare(pos, 2, "<!") == 0 || text.compare(pos, 2, "</") == 0) {
            depth -= text[pos + 1] == '/' && depth > 0;
            pos = SkipPast(text, pos + 2, ">");
        } else {
            bool selfClosing = false;
            pos = EndOfTag(text, pos + 1, selfClosing);
            if (!selfClosing)
                Deeper(depth);
        }
    }
}

[[noreturn]] void FailFile(const std::string& path, const char* what)
{
    throw std::runtime_error(path + ": " + what);
}

} // namespace

boost::property_tree::ptree ReadJson(const std::string& text)
{
    CheckSize(text);
    CheckJsonDepth(text);
    std::istringstream in(text);
    boost::property_tree::ptree tree;
    boost::property_tree::read_json(in, tree);
    return tree;
}

boost::property_tree::ptree ReadXml(const std::string& text)
{
    CheckSize(text);
    CheckXmlDepth(text);
    std::istringstream in(text);
    boost::property_tree::ptree tree;
    boost::property_tree::read_xml(in, tree);
    return tree;
}

std::string ReadRegularFile(const std::string& path)
{
    RegularFile file;
    if (!file.Open(path))
        FailFile(path, file.Error().c_str());
    std::string text;
    char buffer[65536];
    long got = 0;
    while (text.size() <= kMaxSize && (got = file.Read(buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    if (got < 0)
        FailFile(path, "cannot be read");
    CheckSize(text);
    return text;
}

// The parser's message names the file, as reading it by name would.
template <typename Read> boost::property_tree::ptree ReadFile(const std::string& path, Read read)
{
    const std::string text = ReadRegularFile(path);
    try {
        return read(text);
    } catch (const boost::property_tree::file_parser_error& error) {
        throw boost::property_tree::file_parser_error(error.message(), path, error.line());
    }
}

boost::property_tree::ptree ReadJsonFile(const std::string& path)
{
    return ReadFile(path, &ReadJson);
}

boost::property_tree::ptree ReadXmlFile(const std::string& path)
{
    return ReadFile(path, &ReadXml);
}

} // namespace Documents
