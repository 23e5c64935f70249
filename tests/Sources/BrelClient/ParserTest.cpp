// The parsers of the service's XML answers, read as the callers read them: boost's XML reader without flags.
#include "BrelTest.h"
#include "Parsers.h"

#include <boost/property_tree/xml_parser.hpp>

// Comments and attributes of the product list are no products; an optional number that does not convert stays
// empty; locale texts are UTF-8 of any plane, while truncated sequences and surrogates, which the standard converter
// lets through, fail in any of the texts; package ids skip other elements.
TEST(ParserTest, AnswersAreReadAsTheyStandAndLocaleTextsAreStrictUtf8)
{
    const auto read = [](const std::string& xml) {
        std::istringstream in(xml);
        boost::property_tree::ptree tree;
        boost::property_tree::read_xml(in, tree);
        return tree;
    };
    const auto localeData = [](const std::string& name, const std::string& description = "d") {
        return "<localedata><name>" + name + "</name><description>" + description + "</description></localedata>";
    };
    const std::string header = " targetProduct=\"NDS\" targetCustomer=\"DRAVO\" version=\"1\"";
    const auto package = boost::get<Brel::Package>(Brel::ParseMetadata(read(
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
    EXPECT_EQ(Brel::ParseLocaleData(read(localeData("Europa \xc3\xa4 \xf0\x9f\x97\xba"))),
        (Brel::LocaleData {L"Europa \u00e4 \U0001F5FA", std::wstring(L"d"), {}}));
    EXPECT_EQ(Brel::ParsePackageIds(read("<list count=\"3\"><packageId>a</packageId><!-- note --><other>x</other>"
                                         "<packageId></packageId><packageId>c</packageId></list>")),
        (std::vector<std::string> {"a", "", "c"}));
    for (const std::string bad : {"\xc3", "ab\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff", "\x80"})
        for (const auto& xml : {localeData(bad), localeData("n", bad)})
            EXPECT_THROW(Brel::ParseLocaleData(read(xml)), std::range_error) << xml;
}
