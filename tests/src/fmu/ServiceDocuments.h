#pragma once

#include <cstdint>
#include <string>
#include <vector>

// XML documents as the content-update service (and the head unit, for the
// stick's metadata files) writes them.
namespace ServiceDocuments {

struct Map {
    std::string id;
    std::string region = "EUR";
    std::string release = "2023.05";
    std::string mapLineId = "LINE_EU";
    std::int64_t size = 1048576;
};

std::string PackageList(const std::vector<std::string>& ids);
std::string PackageMetadata(const Map& map);
std::string GroupMetadata(const Map& map);
std::string DownloadInfo(const std::string& url, const std::string& checksum, const std::string& type = "MD5");
std::string LocaleData(const std::string& name);

} // namespace ServiceDocuments
