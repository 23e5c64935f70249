// The parsers of the service's XML answers, read as the callers read them: boost's XML reader without flags.
#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace {

namespace pt = boost::property_tree;

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

std::string LocaleData(const std::string& name, const std::string& description, const std::string& date)
{
    return "<localedata><name>" + name + "</name><description>" + description + "</description><releasedate>" + date
        + "</releasedate></localedata>";
}

} // namespace

// The package is chosen before the group; comments and attributes of the product list are no products, optional
// numbers that do not convert stay empty; locale texts are UTF-8 of any plane; package ids skip other elements.
TEST(ParserTest, AnswersAreReadAsTheyStand)
{
    const std::string bare
        = "<tns:ndsMapProducts count=\"2\"><!-- base map --><tns:ndsMapProduct baseLineMapId=\"1\" "
          "ndsDBSupplierId=\"7\" productId=\"P1\" isComplete=\"true\" versionId=\"99999999999\"/>"
          "<tns:extra baseLineMapId=\"2\" ndsDBSupplierId=\"8\" productId=\"P2\"/></tns:ndsMapProducts>";
    std::string document = With(products, bare);
    document.insert(document.find("<tns:package"), group);
    const auto whole = boost::get<Brel::Package>(Brel::ParseMetadata(Read(document)));
    EXPECT_EQ(whole.totalSizeInBytes, 436500480);
    ASSERT_EQ(whole.group.item.ndsMapProducts.size(), 2u);
    EXPECT_EQ(whole.group.item.ndsMapProducts[0], (Brel::NdsMapProduct {1, {}, {}, 7, "P1", {}, {}}));
    EXPECT_EQ(whole.group.item.ndsMapProducts[1].productId, "P2");
    EXPECT_EQ(Brel::ParseLocaleData(Read(LocaleData("Europa \xc3\xa4 \xf0\x9f\x97\xba", "Karte", "2024-05-10"))),
        (Brel::LocaleData {L"Europa \u00e4 \U0001F5FA", std::wstring(L"Karte"), std::wstring(L"2024-05-10")}));
    EXPECT_EQ(Brel::ParsePackageIds(Read("<list count=\"3\"><packageId>a</packageId><!-- note --><other>x</other>"
                                         "<packageId></packageId><packageId>c</packageId></list>")),
        (std::vector<std::string> {"a", "", "c"}));
}

TEST(ParserTest, BrokenAnswersFail)
{
    using Parse = std::function<void(const pt::ptree&)>;
    const Parse metadata = [](const pt::ptree& tree) { Brel::ParseMetadata(tree); };
    const Parse info = [](const pt::ptree& tree) { Brel::ParseDownloadInfo(tree); };
    const Parse locale = [](const pt::ptree& tree) { Brel::ParseLocaleData(tree); };
    const Parse ids = [](const pt::ptree& tree) { Brel::ParsePackageIds(tree); };
    const std::string url = "<url>u</url>";
    std::vector<std::tuple<std::string, Parse, std::string>> cases = {
        {"<metadata>" + package + "</metadata>", metadata, "path"},
        {With(" identifier=\"EU_2023_11\"", ""), metadata, "path"},
        {With(item, ""), metadata, "path"},
        {With(" productId=\"P1\"", ""), metadata, "path"},
        {With("<tns:ndsMapProducts>", "<tns:ndsMapProducts><tns:ndsMapProduct/>"), metadata, "path"},
        {With(">12<", ">2147483648<"), metadata, "data"},
        {With(">12<", ">12x<"), metadata, "data"},
        {With("436500480", "9223372036854775808"), metadata, "data"},
        {With("baseLineMapId=\"1\"", "baseLineMapId=\"one\""), metadata, "data"},
        {"<downloadinfo><mainArchive><archive>" + url + "</archive></mainArchive></downloadinfo>", info, "path"},
        {"<downloadinfo><mainArchive><archive>" + url + "<checksum>1</checksum></archive></mainArchive></downloadinfo>",
            info, "path"},
        {"<localedata><description>x</description></localedata>", locale, "path"},
        {"<packages><packageId>a</packageId></packages>", ids, "path"},
    };
    for (const std::string bad :
        {"\xc3", "ab\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff", "\x80"}) {
        for (const auto& xml : {LocaleData(bad, "d", "r"), LocaleData("n", bad, "r"), LocaleData("n", "d", bad)})
            cases.emplace_back(xml, locale, "bad conversion");
    }
    for (const auto& [xml, parse, expected] : cases) {
        SCOPED_TRACE(xml);
        try {
            parse(Read(xml));
            ADD_FAILURE() << "no error";
        } catch (const pt::ptree_bad_path&) {
            EXPECT_EQ(expected, "path");
        } catch (const pt::ptree_bad_data&) {
            EXPECT_EQ(expected, "data");
        } catch (const std::range_error& error) {
            EXPECT_EQ(expected, error.what());
        }
    }
}
