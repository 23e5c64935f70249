#pragma once

#include "LineReader.h"

#include <boost/filesystem/path.hpp>

#include <map>
#include <string>

// The checksum list that the vehicle writes into the stick's update folder:
// one "<32 hex characters><white space><file name>" line per file, the name
// relative to the list's folder. Read one line at a time, so that a long list
// neither holds its reader's thread nor takes memory beyond one line.
class ChecksumList {
public:
    // Canonical file path -> hash text exactly as listed.
    using Entries = std::map<boost::filesystem::path, std::string>;

    enum class Progress {
        Reading, // more lines to come
        Complete, // every line read; at least one entry
        Invalid, // see Entries
    };

    explicit ChecksumList(const boost::filesystem::path& listFile);

    // Reads the next line. The list is invalid when it cannot be opened or
    // read, is not a regular file, has no line, has a line that does not
    // match, or names a file that does not exist or is not a regular file.
    Progress ReadLine();

    // The entries read so far (all of them once complete). When a path is
    // listed twice, its first line counts.
    Entries& Listed() { return m_entries; }

private:
    Progress Fail();
    bool AddLine(std::string line);

    boost::filesystem::path m_listFile;
    LineReader m_input;
    Entries m_entries;
};
