#pragma once

#include "ChecksumList.h"
#include "FileMd5.h"
#include "UsbInfo.h"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <memory>
#include <optional>

// Decides a stick's metadata state: no update folder, or every file in it
// listed in the checksum list with a matching MD5. The check runs in small
// steps (one line of the list, one directory entry, one chunk of a file), so
// its owner can stop it between two of them. File-system failures (other than a missing
// update folder or list) throw std::runtime_error.
class StickVerifier {
public:
    explicit StickVerifier(boost::filesystem::path stickRoot);

    // Does the next step; the verdict once the check is over.
    std::optional<UsbInfo::State> Step();

    // Checks the whole stick at once.
    static UsbInfo::State Check(const boost::filesystem::path& stickRoot);

private:
    std::optional<UsbInfo::State> OpenList();
    std::optional<UsbInfo::State> ReadListLine();
    std::optional<UsbInfo::State> NextFile();
    std::optional<UsbInfo::State> HashChunk();

    boost::filesystem::path m_root;
    boost::filesystem::path m_updateFolder;
    boost::filesystem::path m_listFile;
    std::unique_ptr<ChecksumList> m_list;
    bool m_walking = false;
    boost::filesystem::recursive_directory_iterator m_walk;
    // The listed hash of the file being hashed; null between files.
    const std::string* m_expected = nullptr;
    FileMd5 m_md5;
};
