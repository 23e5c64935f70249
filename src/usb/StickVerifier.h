#pragma once

#include "ChecksumList.h"
#include "FileMd5.h"
#include "UsbInfo.h"

#include <boost/filesystem/path.hpp>

// Decides a stick's metadata state: no update folder, or every file in it
// listed in the checksum list with a matching MD5. File-system failures
// (other than a missing update folder or list) throw std::runtime_error.
class StickVerifier {
public:
    UsbInfo::State Check(const boost::filesystem::path& stickRoot);

private:
    UsbInfo::State CheckFiles(const boost::filesystem::path& updateFolder, const boost::filesystem::path& listFile,
        ChecksumList::Entries& listed);
    bool IsListedWithSameMd5(
        const boost::filesystem::path& file, const boost::filesystem::path& listFile, ChecksumList::Entries& listed);

    FileMd5 m_md5;
};
