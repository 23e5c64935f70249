#include "ServiceDocuments.h"

namespace ServiceDocuments {

namespace {

std::string Attributes(const std::string& id)
{
    return " identifier=\"" + id + "\" targetProduct=\"HU\" targetCustomer=\"OEM\" version=\"1\"";
}

std::string Group(const std::string& id, const Map& map)
{
    return "<tns:group" + Attributes(id) + "><tns:item><tns:region>" + map.region
        + "</tns:region><tns:databaseModelVersion>1</tns:databaseModelVersion><tns:ndsMapLineId>" + map.mapLineId
        + "</tns:ndsMapLineId><tns:ndsMapId>1</tns:ndsMapId><tns:releaseCycle>" + map.release
        + "</tns:releaseCycle><tns:ndsMapProducts><tns:product baseLineMapId=\"1\" databaseModelVersion=\"1\" "
          "ndsDBSupplierId=\"2\" productId=\"P1\"/></tns:ndsMapProducts></tns:item></tns:group>";
}

std::string Document(const std::string& content)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tns:metadata xmlns:tns=\"urn:test\">" + content
        + "</tns:metadata>\n";
}

} // namespace

std::string PackageList(const std::vector<std::string>& ids)
{
    std::string list = "<list>";
    for (const std::string& id : ids)
        list += "<packageId>" + id + "</packageId>";
    return list + "</list>";
}

std::string PackageMetadata(const Map& map)
{
    return Document("<tns:package" + Attributes(map.id) + "><tns:packageTotalSizeInBytes>" + std::to_string(map.size)
        + "</tns:packageTotalSizeInBytes>" + Group("G" + map.id, map) + "</tns:package>");
}

std::string GroupMetadata(const Map& map)
{
    return Document(Group(map.id, map));
}

std::string DownloadInfo(const std::string& url, const std::string& checksum, const std::string& type)
{
    return "<downloadinfo><mainArchive><archive><url>" + url + "</url><checksum type=\"" + type + "\">" + checksum
        + "</checksum></archive></mainArchive></downloadinfo>";
}

std::string LocaleData(const std::string& name)
{
    return "<localedata><name>" + name + "</name><description>d</description></localedata>";
}

} // namespace ServiceDocuments
