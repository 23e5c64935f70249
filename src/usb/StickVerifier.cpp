#include "StickVerifier.h"

#include "Config.h"
#include "Log.h"

namespace fs = boost::filesystem;

StickVerifier::StickVerifier(fs::path stickRoot)
    : m_root(std::move(stickRoot))
{
}

UsbInfo::State StickVerifier::Check(const fs::path& stickRoot)
{
    StickVerifier verifier(stickRoot);
    for (;;) {
        if (const auto state = verifier.Step())
            return *state;
    }
}

std::optional<UsbInfo::State> StickVerifier::Step()
{
    if (!m_list)
        return OpenList();
    if (!m_walking)
        return ReadListLine();
    return m_expected ? HashChunk() : NextFile();
}

std::optional<UsbInfo::State> StickVerifier::OpenList()
{
    const Config& config = Config::Instance();
    if (!fs::exists(m_root / config.updateDir))
        return UsbInfo::NoMetadata;

    // Canonical, so that the walk's paths compare equal to the list's canonical
    // entries whether the root came with a trailing slash or through a link.
    m_updateFolder = fs::canonical(m_root / config.updateDir);
    m_listFile = m_updateFolder / config.checksumsFile.filename();
    m_list = std::make_unique<ChecksumList>(m_listFile);
    return std::nullopt;
}

// One line a step: a long list must not hold the thread.
std::optional<UsbInfo::State> StickVerifier::ReadListLine()
{
    switch (m_list->ReadLine()) {
    case ChecksumList::Progress::Reading:
        return std::nullopt;
    case ChecksumList::Progress::Complete:
        m_walk = fs::recursive_directory_iterator(m_updateFolder);
        m_walking = true;
        return std::nullopt;
    case ChecksumList::Progress::Invalid:
        break;
    }
    return UsbInfo::InvalidMetadata;
}

// Moves to the next file of the update folder and starts hashing it.
std::optional<UsbInfo::State> StickVerifier::NextFile()
{
    for (; m_walk != fs::recursive_directory_iterator(); ++m_walk) {
        const fs::path& file = m_walk->path();
        if (fs::is_directory(m_walk->status()) || file == m_listFile)
            continue;
        const auto entry = m_list->Listed().find(file);
        if (entry == m_list->Listed().end()) {
            LOG(Error) << "file: " << file.string() << " is not listed in: " << m_listFile.string();
            return UsbInfo::InvalidMetadata;
        }
        m_expected = &entry->second;
        m_md5.Begin(file);
        return std::nullopt;
    }
    // Listed files that the walk did not reach do not change the verdict.
    return UsbInfo::ValidMetadata;
}

std::optional<UsbInfo::State> StickVerifier::HashChunk()
{
    if (!m_md5.Step())
        return std::nullopt;
    const fs::path file = m_walk->path();
    if (m_md5.Result() != *m_expected) {
        LOG(Error) << "checksum mismatch of file: " << file.string();
        return UsbInfo::InvalidMetadata;
    }
    m_expected = nullptr;
    m_list->Listed().erase(file);
    ++m_walk;
    return std::nullopt;
}
