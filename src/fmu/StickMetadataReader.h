#pragma once

#include "MapInfo.h"
#include "MetadataChecker.h"

#include <boost/filesystem/path.hpp>
#include <boost/optional.hpp>

#include <vector>

// Reads what the head unit wrote onto a stick: the subscription file, whose
// figures go into MapStorage, and the installed map's metadata files.
class StickMetadataReader {
public:
    explicit StickMetadataReader(const boost::filesystem::path& stickRoot);
    virtual ~StickMetadataReader() = default;

    // Stores the subscription and fills installedMap from the metadata files
    // (it stays invalid when there is none). A result means the check ends.
    boost::optional<MetadataChecker::Result> Read(MapInfo& installedMap) const;

protected:
    // The ".xml" entries of the metadata folder in name order (a seam for
    // tests: a stick can be pulled while the folder is listed).
    virtual std::vector<boost::filesystem::path> ListMetadataFiles() const;

private:
    boost::optional<MetadataChecker::Result> ReadSubscription() const;
    MetadataChecker::Result SubscriptionFailure() const;
    boost::optional<MetadataChecker::Result> ReadMetadataFiles(MapInfo& installedMap) const;

    boost::filesystem::path root;
    boost::filesystem::path metaDataDir;
    boost::filesystem::path generalJson;
};
