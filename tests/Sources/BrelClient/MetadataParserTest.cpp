// Metadata documents, as the service answers them and as the stick carries them.
#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace pt = boost::property_tree;

const std::string products = "<tns:ndsMapProducts>"
                             "<tns:ndsMapProduct baseLineMapId=\"1\" databaseModelVersion=\"2.5\" isComplete=\"1\" "
                             "ndsDBSupplierId=\"7\" productId=\"P1\" productType=\"BASE\" versionId=\"3\"/>"
                             "</tns:ndsMapProducts>";
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

// The document with the first occurrence of one text replaced by another.
std::string With(const std::string& from, const std::string& to, std::string document = Document(package))
{
    const auto at = document.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return document.replace(at, from.size(), to);
}

// Read as the callers read: boost's XML reader without flags.
Brel::Metadata Parse(const std::string& xml)
{
    std::istringstream in(xml);
    pt::ptree tree;
    pt::read_xml(in, tree);
    return Brel::ParseMetadata(tree);
}

Brel::Group ExpectedGroup()
{
    Brel::NdsMapProduct product {1, std::string("2.5"), 1, 7, "P1", std::string("BASE"), 3};
    Brel::Item item {"EUR", std::string("DB1"), "2.5.4", "EU-1", 12, "2023.11", std::string("0"), {product}};
    return {"EG_2023_11", "NDS", "DRAVO", "1", item};
}

const Brel::Package& AsPackage(const Brel::Metadata& metadata)
{
    return boost::get<Brel::Package>(metadata);
}

const Brel::Item& ItemOf(const Brel::Metadata& metadata)
{
    return AsPackage(metadata).group.item;
}

TEST(MetadataParserTest, ChoosesPackageBeforeGroupAndDefaultsToAnEmptyGroup)
{
    const Brel::Package expected {"EU_2023_11", "NDS", "DRAVO", "1", 436500480, ExpectedGroup()};
    EXPECT_EQ(AsPackage(Parse(Document(package))), expected);
    EXPECT_EQ(AsPackage(Parse(Document(group + package))), expected);
    EXPECT_EQ(boost::get<Brel::Group>(Parse(Document(group))), ExpectedGroup());

    const Brel::Metadata empty = Parse(Document("<tns:other/>"));
    EXPECT_EQ(empty.which(), 0);
    EXPECT_EQ(boost::get<Brel::Group>(empty), Brel::Group());

    EXPECT_THROW(Parse("<metadata>" + package + "</metadata>"), pt::ptree_bad_path);
    // The prefix is matched as written, not by its namespace.
    EXPECT_THROW(Parse("<ns:metadata xmlns:ns=\"urn:x\"/>"), pt::ptree_bad_path);
}

TEST(MetadataParserTest, RequiredFieldsMissingFailAndOptionalOnesStayEmpty)
{
    const struct {
        std::string from;
        std::string to;
    } missing[] = {
        {" identifier=\"EU_2023_11\"", ""},
        {" targetCustomer=\"DRAVO\"", ""},
        {"<tns:packageTotalSizeInBytes>436500480</tns:packageTotalSizeInBytes>", ""},
        {group, ""},
        {item, ""},
        {"<tns:region>EUR</tns:region>", ""},
        {"<tns:databaseModelVersion>2.5.4</tns:databaseModelVersion>", ""},
        {"<tns:ndsMapLineId>EU-1</tns:ndsMapLineId>", ""},
        {"<tns:ndsMapId>12</tns:ndsMapId>", ""},
        {"<tns:releaseCycle>2023.11</tns:releaseCycle>", ""},
        {products, ""},
        {" baseLineMapId=\"1\"", ""},
        {" ndsDBSupplierId=\"7\"", ""},
        {" productId=\"P1\"", ""},
        {"<tns:ndsMapProducts>", "<tns:ndsMapProducts><tns:ndsMapProduct/>"},
    };
    for (const auto& change : missing) {
        SCOPED_TRACE(change.from);
        EXPECT_THROW(Parse(With(change.from, change.to)), pt::ptree_bad_path);
    }

    const std::string bare = "<tns:ndsMapProducts><tns:ndsMapProduct baseLineMapId=\"1\" ndsDBSupplierId=\"7\" "
                             "productId=\"P1\"/></tns:ndsMapProducts>";
    const Brel::Item item = ItemOf(Parse(With(products, bare,
        With("<tns:sourceDatabase identifier=\"DB1\"/>", "",
            With("<tns:redeliveryCount>0</tns:redeliveryCount>", "")))));
    EXPECT_FALSE(item.sourceDatabaseId);
    EXPECT_FALSE(item.redeliveryCount);
    ASSERT_EQ(item.ndsMapProducts.size(), 1u);
    EXPECT_EQ(
        item.ndsMapProducts[0], (Brel::NdsMapProduct {1, boost::none, boost::none, 7, "P1", boost::none, boost::none}));
}

TEST(MetadataParserTest, NumbersConvertWholeWithinTheirType)
{
    const struct {
        std::string field;
        std::string text;
        bool converts;
    } numbers[] = {
        {"tns:ndsMapId", "12", true},
        {"tns:ndsMapId", " 12 ", true},
        {"tns:ndsMapId", "-2147483648", true},
        {"tns:ndsMapId", "12x", false},
        {"tns:ndsMapId", "2147483648", false},
        {"tns:ndsMapId", "", false},
        {"tns:packageTotalSizeInBytes", "4294967296", true},
        {"tns:packageTotalSizeInBytes", "9223372036854775807", true},
        {"tns:packageTotalSizeInBytes", "9223372036854775808", false},
        {"tns:packageTotalSizeInBytes", "1.5", false},
    };
    for (const auto& number : numbers) {
        SCOPED_TRACE(number.field + " = \"" + number.text + "\"");
        const std::string open = "<" + number.field + ">";
        const auto start = Document(package).find(open) + open.size();
        const auto end = Document(package).find("</" + number.field + ">");
        const std::string xml = Document(package).replace(start, end - start, number.text);
        if (number.converts)
            EXPECT_NO_THROW(Parse(xml));
        else
            EXPECT_THROW(Parse(xml), pt::ptree_bad_data);
    }
    EXPECT_EQ(AsPackage(Parse(With("436500480", "4294967296"))).totalSizeInBytes, 4294967296LL);
    EXPECT_THROW(Parse(With("baseLineMapId=\"1\"", "baseLineMapId=\"one\"")), pt::ptree_bad_data);
}

TEST(MetadataParserTest, OptionalNumbersThatDoNotConvertStayEmpty)
{
    EXPECT_EQ(ItemOf(Parse(Document(package))).ndsMapProducts[0].isComplete, 1);
    const auto product = ItemOf(
        Parse(With("versionId=\"3\"", "versionId=\"99999999999\"", With("isComplete=\"1\"", "isComplete=\"true\""))))
                             .ndsMapProducts[0];
    EXPECT_FALSE(product.isComplete);
    EXPECT_FALSE(product.versionId);
}

TEST(MetadataParserTest, OnlyChildElementsOfTheProductListAreProducts)
{
    const std::string list = "<tns:ndsMapProducts count=\"2\"><!-- base map -->"
                             "<tns:ndsMapProduct baseLineMapId=\"1\" ndsDBSupplierId=\"7\" productId=\"P1\"/>"
                             "<!-- any element name counts -->"
                             "<tns:extraProduct baseLineMapId=\"2\" ndsDBSupplierId=\"8\" productId=\"P2\"/>"
                             "</tns:ndsMapProducts>";
    const auto parsed = ItemOf(Parse(With(products, list))).ndsMapProducts;
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0].productId, "P1");
    EXPECT_EQ(parsed[1].productId, "P2");
    EXPECT_TRUE(ItemOf(Parse(With(products, "<tns:ndsMapProducts/>"))).ndsMapProducts.empty());
}

TEST(MetadataParserTest, TextIsTakenAsItStandsAndTheFirstFailureWins)
{
    EXPECT_EQ(ItemOf(Parse(With("<tns:region>EUR<", "<tns:region> EUR <"))).region, " EUR ");
    try {
        Parse(With("<tns:ndsMapId>12<", "<tns:ndsMapId>x<", With("<tns:region>EUR</tns:region>", "")));
        FAIL() << "no error";
    } catch (const pt::ptree_bad_path& error) {
        EXPECT_NE(std::string(error.what()).find("tns:region"), std::string::npos) << error.what();
    }
}

} // namespace
