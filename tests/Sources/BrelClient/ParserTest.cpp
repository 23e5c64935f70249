// The parsers of the service's XML answers, read as the callers read them: boost's XML reader without flags.
#include "BrelTest.h"
#include "Parsers.h"

#include <boost/property_tree/xml_parser.hpp>

#include <functional>

namespace pt = boost::property_tree;

namespace {

pt::ptree Read(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree tree;
    pt::read_xml(in, tree);
    return tree;
}

const std::string products = "<tns:ndsMapProducts><tns:ndsMapProduct baseLineMapId=\"1\" databaseModelVersion=\"2.5\" "
                             "isComplete=\"1\" ndsDBSupplierId=\"7\" productId=\"P1\" productType=\"BASE\" "
                             "versionId=\"3\"/></tns:ndsMapProducts>";
const std::string item = "<tns:item><tns:region>EUR</tns:region><tns:sourceDatabase identifier=\"DB1\"/>"
                         "<tns:databaseModelVersion>2.5.4</tns:databaseModelVersion>"
                         "<tns:ndsMapLineId>EU-1</tns:ndsMapLineId><tns:ndsMapId>12</tns:ndsMapId>"
                         "<tns:releaseCycle>2023.11</tns:releaseCycle><tns:redeliveryCount>0</tns:redeliveryCount>"
    + products + "</tns:item>";
const std::string header = " targetProduct=\"NDS\" targetCustomer=\"DRAVO\" version=\"1\"";
const std::string group = "<tns:group identifier=\"EG_2023_11\"" + header + ">" + item + "</tns:group>";
const std::string package = "<tns:package identifier=\"EU_2023_11\"" + header
    + "><tns:packageTotalSizeInBytes>436500480</tns:packageTotalSizeInBytes>" + group + "</tns:package>";

std::string Document(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tns:metadata xmlns:tns=\"urn:x\">" + body + "</tns:metadata>";
}

// The package document with the first occurrence of one text replaced by another.
std::string With(const std::string& from, const std::string& to)
{
    std::string document = Document(package);
    const auto at = document.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return document.replace(at, from.size(), to);
}

Brel::Metadata Metadata(const std::string& xml)
{
    return Brel::ParseMetadata(Read(xml));
}

} // namespace

// Comments and attributes of the product list are no products; an optional number that does not convert stays
// empty; locale texts are UTF-8 of any plane, while truncated sequences and surrogates, which the standard converter
// lets through, fail in any of the texts; package ids skip other elements.
TEST(ParserTest, AnswersAreReadAsTheyStandAndLocaleTextsAreStrictUtf8)
{
    const auto localeData = [](const std::string& name, const std::string& description = "d") {
        return "<localedata><name>" + name + "</name><description>" + description + "</description></localedata>";
    };
    const std::string header = " targetProduct=\"NDS\" targetCustomer=\"DRAVO\" version=\"1\"";
    const auto package = boost::get<Brel::Package>(Brel::ParseMetadata(Read(
        "<tns:metadata xmlns:tns=\"urn:x\"><tns:package identifier=\"EU\"" + header
        + "><tns:packageTotalSizeInBytes>436500480</tns:packageTotalSizeInBytes><tns:group identifier=\"EG\"" + header
        + "><tns:item><tns:region>EUR</tns:region><tns:databaseModelVersion>2.5.4</tns:databaseModelVersion>"
          "<tns:ndsMapLineId>EU-1</tns:ndsMapLineId><tns:ndsMapId>12</tns:ndsMapId><tns:releaseCycle>2023.11"
          "</tns:releaseCycle><tns:ndsMapProducts count=\"2\"><!-- base --><tns:ndsMapProduct baseLineMapId=\"1\" "
          "ndsDBSupplierId=\"7\" productId=\"P1\" versionId=\"99999999999\"/><tns:extra baseLineMapId=\"2\" "
          "ndsDBSupplierId=\"8\" productId=\"P2\"/></tns:ndsMapProducts></tns:item></tns:group></tns:package>"
          "</tns:metadata>")));
    ASSERT_EQ(package.group.item.ndsMapProducts.size(), 2u);
    EXPECT_EQ(package.group.item.ndsMapProducts[0], (Brel::NdsMapProduct {1, {}, {}, 7, "P1", {}, {}}));
    EXPECT_EQ(package.group.item.ndsMapProducts[1].productId, "P2");
    EXPECT_EQ(Brel::ParseLocaleData(Read(localeData("Europa \xc3\xa4 \xf0\x9f\x97\xba"))),
        (Brel::LocaleData {L"Europa \u00e4 \U0001F5FA", std::wstring(L"d"), {}}));
    EXPECT_EQ(Brel::ParsePackageIds(Read("<list count=\"3\"><packageId>a</packageId><!-- note --><other>x</other>"
                                         "<packageId></packageId><packageId>c</packageId></list>")),
        (std::vector<std::string> {"a", "", "c"}));
    for (const std::string bad : {"\xc3", "ab\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff", "\x80"})
        for (const auto& xml : {localeData(bad), localeData("n", bad)})
            EXPECT_THROW(Brel::ParseLocaleData(Read(xml)), std::range_error) << xml;
}

// A package wins over a group beside it; numbers keep their full range; a missing optional stays empty.
TEST(ParserTest, MetadataIsReadWholeWithThePackageChosenBeforeTheGroup)
{
    const Brel::NdsMapProduct product {1, std::string("2.5"), 1, 7, "P1", std::string("BASE"), 3};
    const Brel::Group expected {"EG_2023_11", "NDS", "DRAVO", "1",
        {"EUR", std::string("DB1"), "2.5.4", "EU-1", 12, "2023.11", std::string("0"), {product}}};
    const Brel::Package whole {"EU_2023_11", "NDS", "DRAVO", "1", 436500480, expected};
    EXPECT_EQ(boost::get<Brel::Package>(Metadata(Document(group + package))), whole);
    EXPECT_EQ(boost::get<Brel::Group>(Metadata(Document(group))), expected);
    EXPECT_EQ(boost::get<Brel::Group>(Metadata(Document("<tns:other/>"))), Brel::Group());
    const auto itemOf = [](const std::string& xml) { return boost::get<Brel::Package>(Metadata(xml)).group.item; };
    EXPECT_EQ(itemOf(With("<tns:ndsMapId>12<", "<tns:ndsMapId> -2147483648 <")).ndsMapId, -2147483648LL);
    EXPECT_EQ(boost::get<Brel::Package>(Metadata(With("436500480", "9223372036854775807"))).totalSizeInBytes,
        9223372036854775807LL);
    EXPECT_FALSE(itemOf(With("<tns:sourceDatabase identifier=\"DB1\"/>", "")).sourceDatabaseId);
    EXPECT_EQ(Brel::ParseLocaleData(Read("<localedata><name>E</name><releasedate>2024-05-10</releasedate>"
                                         "</localedata>")),
        (Brel::LocaleData {L"E", {}, std::wstring(L"2024-05-10")}));
}

// A required field that is missing, or a number that does not fit, fails the whole answer.
TEST(ParserTest, BrokenAnswersFail)
{
    using Parse = std::function<void(const pt::ptree&)>;
    const Parse metadata = [](const pt::ptree& tree) { Brel::ParseMetadata(tree); };
    const Parse info = [](const pt::ptree& tree) { Brel::ParseDownloadInfo(tree); };
    const Parse locale = [](const pt::ptree& tree) { Brel::ParseLocaleData(tree); };
    const Parse ids = [](const pt::ptree& tree) { Brel::ParsePackageIds(tree); };
    const std::string url = "<url>u</url>";
    const std::tuple<std::string, Parse, bool> cases[] = {
        // bool: a bad path, not bad data
        {"<metadata>" + package + "</metadata>", metadata, true},
        {With(" identifier=\"EU_2023_11\"", ""), metadata, true},
        {With(item, ""), metadata, true},
        {With(" productId=\"P1\"", ""), metadata, true},
        {With("<tns:ndsMapProducts>", "<tns:ndsMapProducts><tns:ndsMapProduct/>"), metadata, true},
        {With(">12<", ">2147483648<"), metadata, false},
        {With(">12<", ">12x<"), metadata, false},
        {With("436500480", "9223372036854775808"), metadata, false},
        {With("baseLineMapId=\"1\"", "baseLineMapId=\"one\""), metadata, false},
        {"<downloadinfo><mainArchive><archive>" + url + "</archive></mainArchive></downloadinfo>", info, true},
        {"<downloadinfo><mainArchive><archive>" + url + "<checksum>1</checksum></archive></mainArchive></downloadinfo>",
            info, true},
        {"<localedata><description>x</description></localedata>", locale, true},
        {"<packages><packageId>a</packageId></packages>", ids, true},
    };
    for (const auto& [xml, parse, path] : cases) {
        if (path)
            EXPECT_THROW(parse(Read(xml)), pt::ptree_bad_path) << xml;
        else
            EXPECT_THROW(parse(Read(xml)), pt::ptree_bad_data) << xml;
    }
}
