#pragma once

#include <string>
#include <vector>

// XML documents as the content service (and the head unit, on the stick) writes them.
namespace ServiceDocuments {

struct Map {
    std::string id;
    std::string region = "EUR";
    std::string release = "2023.05";
    std::string mapLineId = "LINE_EU";
};

inline std::string PackageList(const std::vector<std::string>& ids)
{
    std::string list = "<list>";
    for (const std::string& id : ids)
        list += "<packageId>" + id + "</packageId>";
    return list + "</list>";
}

// A package's metadata, with the group "G<id>" inside.
inline std::string Package(const Map& map)
{
    const auto header = [](const std::string& element, const std::string& id) {
        return "<tns:" + element + " identifier=\"" + id
            + "\" targetProduct=\"HU\" targetCustomer=\"OEM\" version=\"1\">";
    };
    return "<tns:metadata xmlns:tns=\"urn:test\">" + header("package", map.id)
        + "<tns:packageTotalSizeInBytes>1048576</tns:packageTotalSizeInBytes>" + header("group", "G" + map.id)
        + "<tns:item><tns:region>" + map.region
        + "</tns:region><tns:databaseModelVersion>1</tns:databaseModelVersion><tns:ndsMapLineId>" + map.mapLineId
        + "</tns:ndsMapLineId><tns:ndsMapId>1</tns:ndsMapId><tns:releaseCycle>" + map.release
        + "</tns:releaseCycle><tns:ndsMapProducts><tns:product baseLineMapId=\"1\" ndsDBSupplierId=\"2\" "
          "productId=\"P1\"/></tns:ndsMapProducts></tns:item></tns:group></tns:package></tns:metadata>";
}

inline std::string DownloadInfo(const std::string& url, const std::string& checksum, const std::string& type = "MD5")
{
    return "<downloadinfo><mainArchive><archive><url>" + url + "</url><checksum type=\"" + type + "\">" + checksum
        + "</checksum></archive></mainArchive></downloadinfo>";
}

inline std::string LocaleData(const std::string& name)
{
    return "<localedata><name>" + name + "</name></localedata>";
}

} // namespace ServiceDocuments
