#pragma once

#include <boost/filesystem/path.hpp>

#include <map>
#include <string>

// The checksum list that the vehicle writes into the stick's update folder:
// one "<32 hex characters><white space><file name>" line per file, the name
// relative to the list's folder.
class ChecksumList {
public:
    // Canonical file path -> hash text exactly as listed.
    using Entries = std::map<boost::filesystem::path, std::string>;

    // The list's entries; empty when the list cannot be opened or read, is not
    // a regular file, has no line, has a line that does not match, or names a
    // file that does not exist or is not a regular file.
    // When a path is listed twice, its first line counts.
    static Entries Read(const boost::filesystem::path& listFile);

private:
    static bool AddLine(const boost::filesystem::path& folder, std::string line, Entries& entries);
};
