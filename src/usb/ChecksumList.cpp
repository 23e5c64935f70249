#include "ChecksumList.h"

#include "LineReader.h"
#include "Log.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <regex>

namespace fs = boost::filesystem;

namespace {

// The matcher recurses once per character and exhausts a 2 MB thread stack at
// about 7000 characters, so longer lines are rejected before matching. A valid
// line is a name within the platform's path limit (4096) plus the 32 hash
// characters and separators.
constexpr std::size_t MaxLineLength = 4096 + 64;

const std::regex& LinePattern()
{
    static const std::regex pattern("^([a-f|A-F|\\d]{32})\\s+(.*)$", std::regex::ECMAScript);
    return pattern;
}

} // namespace

ChecksumList::ChecksumList(const fs::path& listFile)
    : m_listFile(listFile)
    , m_input(listFile.native(), MaxLineLength + 1) // room for a CR
{
    LOG(Debug) << "Reading checksum file: " << listFile.string();
}

ChecksumList::Progress ChecksumList::ReadLine()
{
    if (!m_input.IsOpen()) {
        LOG(Error) << "Could not open checksum file: " << m_listFile.string();
        return Fail();
    }
    std::string line;
    switch (m_input.Next(line)) {
    case LineReader::Status::Line:
        return AddLine(std::move(line)) ? Progress::Reading : Fail();
    case LineReader::Status::End:
        return m_entries.empty() ? Fail() : Progress::Complete;
    case LineReader::Status::TooLong:
        LOG(Error) << "invalid line in checksum file: " << line.substr(0, MaxLineLength);
        return Fail();
    case LineReader::Status::Failed:
        break;
    }
    LOG(Error) << "Could not read checksum file: " << m_listFile.string();
    return Fail();
}

// An invalid list keeps no entry.
ChecksumList::Progress ChecksumList::Fail()
{
    m_entries.clear();
    return Progress::Invalid;
}

bool ChecksumList::AddLine(std::string line)
{
    // Lists written on the vehicle end their lines with CR LF.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::smatch match;
    if (line.size() > MaxLineLength || !std::regex_match(line, match, LinePattern())) {
        LOG(Error) << "invalid line in checksum file: " << line.substr(0, MaxLineLength);
        return false;
    }
    std::string name = match[2].str();
    // Names use the vehicle's separator.
    std::replace(name.begin(), name.end(), '\\', '/');
    const fs::path joined = m_listFile.parent_path() / name;
    boost::system::error_code error;
    const fs::path file = fs::canonical(joined, error);
    if (error) {
        LOG(Error) << "file: " << joined.string() << " does not exist";
        return false;
    }
    // Only regular files can be hashed; anything else (a FIFO would block the
    // check for ever) makes the list invalid.
    if (!fs::is_regular_file(fs::status(file, error))) {
        LOG(Error) << "file: " << joined.string() << " is not a regular file";
        return false;
    }
    m_entries.emplace(file, match[1].str());
    return true;
}
