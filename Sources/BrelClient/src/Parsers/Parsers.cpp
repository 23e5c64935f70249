#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <codecvt>
#include <locale>
#include <stdexcept>

namespace Brel {

namespace {

using Tree = boost::property_tree::ptree;

// Keys of the reader's own children, which stand for no element.
bool IsElement(const std::string& key)
{
    return key != "<xmlattr>" && key != "<xmlcomment>" && key != "<xmltext>";
}

// The fields that a package and a group share, from the element's attributes.
template <typename Record> void ReadHeader(const Tree& element, Record& record)
{
    record.identifier = element.get<std::string>("<xmlattr>.identifier");
    record.targetProduct = element.get<std::string>("<xmlattr>.targetProduct");
    record.targetCustomer = element.get<std::string>("<xmlattr>.targetCustomer");
    record.version = element.get<std::string>("<xmlattr>.version");
}

NdsMapProduct ReadProduct(const Tree& element)
{
    const Tree& attributes = element.get_child("<xmlattr>");
    NdsMapProduct product;
    product.baseLineMapId = attributes.get<std::int32_t>("baseLineMapId");
    product.databaseModelVersion = attributes.get_optional<std::string>("databaseModelVersion");
    product.ndsDBSupplierId = attributes.get<std::int32_t>("ndsDBSupplierId");
    product.isComplete = attributes.get_optional<std::int32_t>("isComplete");
    product.productId = attributes.get<std::string>("productId");
    product.productType = attributes.get_optional<std::string>("productType");
    product.versionId = attributes.get_optional<std::int32_t>("versionId");
    return product;
}

Item ReadItem(const Tree& element)
{
    Item item;
    item.region = element.get<std::string>("tns:region");
    item.sourceDatabaseId = element.get_optional<std::string>("tns:sourceDatabase.<xmlattr>.identifier");
    item.databaseModelVersion = element.get<std::string>("tns:databaseModelVersion");
    item.ndsMapLineId = element.get<std::string>("tns:ndsMapLineId");
    item.ndsMapId = element.get<std::int32_t>("tns:ndsMapId");
    item.releaseCycle = element.get<std::string>("tns:releaseCycle");
    item.redeliveryCount = element.get_optional<std::string>("tns:redeliveryCount");
    // Attributes or comments of the list element are no products.
    for (const auto& child : element.get_child("tns:ndsMapProducts"))
        if (IsElement(child.first))
            item.ndsMapProducts.push_back(ReadProduct(child.second));
    return item;
}

Group ReadGroup(const Tree& element)
{
    Group group;
    ReadHeader(element, group);
    group.item = ReadItem(element.get_child("tns:item"));
    return group;
}

Package ReadPackage(const Tree& element)
{
    Package package;
    ReadHeader(element, package);
    package.totalSizeInBytes = element.get<std::int64_t>("tns:packageTotalSizeInBytes");
    package.group = ReadGroup(element.get_child("tns:group"));
    return package;
}

// The standard converter lets a truncated sequence at the end vanish and passes UTF-16 surrogates through, so
// both are checked here.
std::wstring DecodeUtf8(const std::string& text)
{
    std::wstring_convert<std::codecvt_utf8<wchar_t>> converter;
    std::wstring wide;
    try {
        wide = converter.from_bytes(text);
    } catch (const std::range_error&) {
        throw std::range_error("bad conversion");
    }
    const bool surrogate = std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
    if (converter.converted() != text.size() || surrogate)
        throw std::range_error("bad conversion");
    return wide;
}

boost::optional<std::wstring> DecodeOptional(const boost::optional<std::string>& text)
{
    return text ? boost::optional<std::wstring>(DecodeUtf8(*text)) : boost::none;
}

} // namespace

Metadata ParseMetadata(const Tree& document)
{
    const Tree& metadata = document.get_child("tns:metadata");
    if (const auto package = metadata.get_child_optional("tns:package"))
        return ReadPackage(*package);
    if (const auto group = metadata.get_child_optional("tns:group"))
        return ReadGroup(*group);
    return Metadata();
}

boost::optional<Archive> ParseDownloadInfo(const Tree& document)
{
    const Tree& element = document.get_child("downloadinfo.mainArchive.archive");
    Archive archive;
    archive.url = element.get<std::string>("url");
    archive.checksum = element.get<std::string>("checksum");
    archive.checksumType = element.get<std::string>("checksum.<xmlattr>.type");
    return archive;
}

LocaleData ParseLocaleData(const Tree& document)
{
    LocaleData data;
    data.name = DecodeUtf8(document.get<std::string>("localedata.name"));
    data.description = DecodeOptional(document.get_optional<std::string>("localedata.description"));
    data.releaseDate = DecodeOptional(document.get_optional<std::string>("localedata.releasedate"));
    return data;
}

std::vector<std::string> ParsePackageIds(const Tree& document)
{
    std::vector<std::string> ids;
    for (const auto& child : document.get_child("list"))
        if (child.first == "packageId")
            ids.push_back(child.second.data());
    return ids;
}

} // namespace Brel
