#include "StickMetadataReader.h"

#include "Config.h"
#include "Documents.h"
#include "Filesystem.h"
#include "Log.h"
#include "MapStorage.h"

#include "Parsers.h"

#include <boost/filesystem/operations.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <boost/variant/apply_visitor.hpp>

#include <QDate>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace fs = boost::filesystem;
using Tree = boost::property_tree::ptree;

namespace {

std::int64_t ReadSpace(const Tree& tree, const char* key, const char* negative)
{
    const auto value = tree.get<std::int64_t>(key);
    if (value < 0)
        throw std::runtime_error(negative);
    return value;
}

SubscriptionInfo ReadFigures(const Tree& tree, const QDate& endDate)
{
    const std::int64_t available = ReadSpace(tree, "available_map_space", "Available map space is negative");
    const std::int64_t used = ReadSpace(tree, "used_map_space", "Used map space is negative");
    // Their sum is the total; figures that cannot be added are no figures.
    if (used > std::numeric_limits<std::int64_t>::max() - available)
        throw std::runtime_error("Map space is too large");
    return {endDate, available, available + used};
}

void ReadMetadataFile(const fs::path& file, MapInfo& map)
{
    const Brel::Metadata metadata = Brel::ParseMetadata(Documents::ReadXmlFile(file.native()));
    boost::apply_visitor([&map](const auto& document) { map.SetMetadata(document); }, metadata);
    map.state = MapInfo::Available;
}

} // namespace

StickMetadataReader::StickMetadataReader(const fs::path& stickRoot)
    : root(stickRoot)
    , metaDataDir(stickRoot / Config::Instance().metaDataDir)
    , generalJson(stickRoot / Config::Instance().generalJson)
{
}

boost::optional<MetadataChecker::Result> StickMetadataReader::Read(MapInfo& installedMap) const
{
    if (const auto ended = ReadSubscription())
        return ended;
    return ReadMetadataFiles(installedMap);
}

boost::optional<MetadataChecker::Result> StickMetadataReader::ReadSubscription() const
{
    try {
        LOG(Debug) << "Parsing: " << generalJson.string();
        const Tree tree = Documents::ReadJsonFile(generalJson.native());
        const std::string endText = tree.get<std::string>("subscription_end_date");
        if (endText.empty() || endText == "NotAuthorized") {
            LOG(Warning) << "Subscription end date is not set";
            return MetadataChecker::NoSubscription;
        }
        const QDate endDate = QDate::fromString(QString::fromStdString(endText), QStringLiteral("yyyy-MM-dd"));
        if (!endDate.isValid())
            throw std::runtime_error("Subscription end date is not valid");
        LOG(Info) << "Subscription end date is set to: " << endDate.toString(Qt::TextDate);
        MapStorage::Instance().SetSubscription(ReadFigures(tree, endDate));
        return boost::none;
    } catch (const std::runtime_error& error) {
        LOG(Error) << "Failed to read: " << generalJson << ": " << error.what();
        return SubscriptionFailure();
    }
}

MetadataChecker::Result StickMetadataReader::SubscriptionFailure() const
{
    if (PathExists(generalJson))
        return MetadataChecker::InvalidMetadata;
    if (!PathExists(root))
        return MetadataChecker::UsbRemoved;
    if (PathExists(metaDataDir))
        return MetadataChecker::InvalidMetadata;
    return MetadataChecker::NoMetadata;
}

boost::optional<MetadataChecker::Result> StickMetadataReader::ReadMetadataFiles(MapInfo& installedMap) const
{
    std::vector<fs::path> files;
    try {
        files = ListMetadataFiles();
    } catch (const std::runtime_error& error) {
        // A folder that cannot be listed is judged like a file that cannot
        // be read.
        LOG(Error) << "Failed to list metadata at: " << metaDataDir << ", : " << error.what();
        return PathExists(metaDataDir) ? MetadataChecker::InvalidMetadata : MetadataChecker::UsbRemoved;
    }
    for (const fs::path& file : files) {
        LOG(Debug) << "Reading metadata from file: " << file;
        try {
            ReadMetadataFile(file, installedMap);
        } catch (const std::runtime_error& error) {
            LOG(Error) << "Failed to read metadata at: " << file << ", : " << error.what();
            return PathExists(file) ? MetadataChecker::InvalidMetadata : MetadataChecker::UsbRemoved;
        }
    }
    return boost::none;
}

// The files are read in name order, so that with several files the same one
// decides on every system.
std::vector<fs::path> StickMetadataReader::ListMetadataFiles() const
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(metaDataDir)) {
        if (entry.path().extension() == ".xml")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}
