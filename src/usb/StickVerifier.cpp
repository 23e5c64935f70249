#include "StickVerifier.h"

#include "Config.h"
#include "Log.h"

#include <boost/filesystem/operations.hpp>

namespace fs = boost::filesystem;

UsbInfo::State StickVerifier::Check(const fs::path& stickRoot)
{
    const Config& config = Config::Instance();
    if (!fs::exists(stickRoot / config.updateDir))
        return UsbInfo::NoMetadata;

    // Canonical, so that the walk's paths compare equal to the list's canonical
    // entries whether the root came with a trailing slash or through a link.
    const fs::path updateFolder = fs::canonical(stickRoot / config.updateDir);
    const fs::path listFile = updateFolder / config.checksumsFile.filename();
    ChecksumList::Entries listed = ChecksumList::Read(listFile);
    if (listed.empty())
        return UsbInfo::InvalidMetadata;
    return CheckFiles(updateFolder, listFile, listed);
}

UsbInfo::State StickVerifier::CheckFiles(
    const fs::path& updateFolder, const fs::path& listFile, ChecksumList::Entries& listed)
{
    for (fs::recursive_directory_iterator it(updateFolder), end; it != end; ++it) {
        const fs::path& file = it->path();
        if (fs::is_directory(it->status()) || file == listFile)
            continue;
        if (!IsListedWithSameMd5(file, listFile, listed))
            return UsbInfo::InvalidMetadata;
    }
    // Listed files that the walk did not reach do not change the verdict.
    return UsbInfo::ValidMetadata;
}

bool StickVerifier::IsListedWithSameMd5(const fs::path& file, const fs::path& listFile, ChecksumList::Entries& listed)
{
    const auto entry = listed.find(file);
    if (entry == listed.end()) {
        LOG(Error) << "file: " << file.string() << " is not listed in: " << listFile.string();
        return false;
    }
    if (m_md5.Hex(file) != entry->second) {
        LOG(Error) << "checksum mismatch of file: " << file.string();
        return false;
    }
    listed.erase(entry);
    return true;
}
