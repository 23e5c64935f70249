// The parsers of the service's XML answers, read as the callers read them: boost's XML reader without flags.
#include "Parsers.h"

#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace pt = boost::property_tree;

pt::ptree Read(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree tree;
    pt::read_xml(in, tree);
    return tree;
}

// A package document (comments and attributes in the product list) with the first occurrence of one text replaced.
std::string Package(const std::string& from = "", const std::string& to = "")
{
    const std::string header = " targetProduct=\"NDS\" targetCustomer=\"DRAVO\" version=\"1\"";
    std::string document = "<tns:metadata xmlns:tns=\"urn:x\"><tns:package identifier=\"EU\"" + header
        + "><tns:packageTotalSizeInBytes>436500480</tns:packageTotalSizeInBytes><tns:group identifier=\"EG\"" + header
        + "><tns:item><tns:region>EUR</tns:region><tns:databaseModelVersion>2.5.4</tns:databaseModelVersion>"
          "<tns:ndsMapLineId>EU-1</tns:ndsMapLineId><tns:ndsMapId>12</tns:ndsMapId><tns:releaseCycle>2023.11"
          "</tns:releaseCycle><tns:ndsMapProducts count=\"2\"><!-- base --><tns:ndsMapProduct baseLineMapId=\"1\" "
          "ndsDBSupplierId=\"7\" productId=\"P1\" versionId=\"99999999999\"/><tns:extra baseLineMapId=\"2\" "
          "ndsDBSupplierId=\"8\" productId=\"P2\"/></tns:ndsMapProducts></tns:item></tns:group></tns:package>"
          "</tns:metadata>";
    return from.empty() ? document : document.replace(document.find(from), from.size(), to);
}

std::string LocaleData(const std::string& name, const std::string& description = "d")
{
    return "<localedata><name>" + name + "</name><description>" + description + "</description></localedata>";
}

} // namespace

// Comments and attributes of the product list are no products; an optional number that does not convert stays
// empty; locale texts are UTF-8 of any plane; package ids skip other elements.
TEST(ParserTest, AnswersAreReadAsTheyStand)
{
    const auto package = boost::get<Brel::Package>(Brel::ParseMetadata(Read(Package())));
    ASSERT_EQ(package.group.item.ndsMapProducts.size(), 2u);
    EXPECT_EQ(package.group.item.ndsMapProducts[0], (Brel::NdsMapProduct {1, {}, {}, 7, "P1", {}, {}}));
    EXPECT_EQ(package.group.item.ndsMapProducts[1].productId, "P2");
    EXPECT_EQ(Brel::ParseLocaleData(Read(LocaleData("Europa \xc3\xa4 \xf0\x9f\x97\xba"))),
        (Brel::LocaleData {L"Europa \u00e4 \U0001F5FA", std::wstring(L"d"), {}}));
    EXPECT_EQ(Brel::ParsePackageIds(Read("<list count=\"3\"><packageId>a</packageId><!-- note --><other>x</other>"
                                         "<packageId></packageId><packageId>c</packageId></list>")),
        (std::vector<std::string> {"a", "", "c"}));
}

// Missing and out-of-range fields; truncated sequences and surrogates the standard converter lets through.
TEST(ParserTest, BrokenAnswersFail)
{
    std::vector<std::pair<std::string, std::string>> cases = {
        {Package(" productId=\"P1\""), "path"},
        {Package(">12<", ">2147483648<"), "data"},
        {Package("436500480", "9223372036854775808"), "data"},
        {Package("baseLineMapId=\"1\"", "baseLineMapId=\"one\""), "data"},
    };
    for (const std::string bad : {"\xc3", "ab\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff", "\x80"})
        for (const auto& xml : {LocaleData(bad), LocaleData("n", bad)})
            cases.emplace_back(xml, "bad conversion");
    for (const auto& [xml, expected] : cases) {
        SCOPED_TRACE(xml);
        try {
            const pt::ptree tree = Read(xml);
            tree.count("localedata") ? (void)Brel::ParseLocaleData(tree) : (void)Brel::ParseMetadata(tree);
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
