// The short answers of the service: download information, localised names and package lists.
#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

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

std::string DownloadInfo(const std::string& archive)
{
    return "<downloadinfo><mainArchive>" + archive + "</mainArchive></downloadinfo>";
}

std::string LocaleData(const std::string& name, const std::string& description, const std::string& date)
{
    return "<localedata><name>" + name + "</name><description>" + description + "</description><releasedate>" + date
        + "</releasedate></localedata>";
}

TEST(AnswerParserTest, DownloadInfoNeedsUrlChecksumAndItsType)
{
    const std::string url = "<url>https://127.0.0.1/files/EU.tar</url>";
    const std::string checksum = "<checksum type=\"MD5\">2d37de88d3e1a394f1f421627211ffe6</checksum>";
    const auto archive = Brel::ParseDownloadInfo(Read(DownloadInfo("<archive>" + url + checksum + "</archive>")));
    ASSERT_TRUE(archive);
    EXPECT_EQ(*archive, (Brel::Archive {"https://127.0.0.1/files/EU.tar", "2d37de88d3e1a394f1f421627211ffe6", "MD5"}));

    const std::string broken[] = {
        DownloadInfo(""),
        DownloadInfo("<archive>" + checksum + "</archive>"),
        DownloadInfo("<archive>" + url + "</archive>"),
        DownloadInfo("<archive>" + url + "<checksum>2d37</checksum></archive>"),
        "<info><mainArchive><archive>" + url + checksum + "</archive></mainArchive></info>",
    };
    for (const auto& xml : broken) {
        SCOPED_TRACE(xml);
        EXPECT_THROW(Brel::ParseDownloadInfo(Read(xml)), pt::ptree_bad_path);
    }
}

TEST(AnswerParserTest, LocaleDataIsDecodedFromUtf8)
{
    const auto data
        = Brel::ParseLocaleData(Read(LocaleData("Europa \xc3\xa4 \xf0\x9f\x97\xba", "Karte", "2024-05-10")));
    EXPECT_EQ(
        data, (Brel::LocaleData {L"Europa \u00e4 \U0001F5FA", std::wstring(L"Karte"), std::wstring(L"2024-05-10")}));

    const auto nameOnly = Brel::ParseLocaleData(Read("<localedata><name>Europe</name></localedata>"));
    EXPECT_EQ(nameOnly, (Brel::LocaleData {L"Europe", boost::none, boost::none}));
    EXPECT_THROW(
        Brel::ParseLocaleData(Read("<localedata><description>x</description></localedata>")), pt::ptree_bad_path);
}

TEST(AnswerParserTest, MalformedUtf8InAnyLocaleTextFails)
{
    const std::string malformed[] = {
        "\xc3", // truncated at the end
        "ab\xe2\x82", // truncated three-byte sequence
        "\xc0\xaf", // overlong
        "\xed\xa0\x80", // UTF-16 surrogate
        "\xf4\x90\x80\x80", // beyond U+10FFFF
        "\xff",
        "\x80",
    };
    for (const auto& text : malformed) {
        for (const auto& xml : {LocaleData(text, "d", "r"), LocaleData("n", text, "r"), LocaleData("n", "d", text)}) {
            SCOPED_TRACE(xml);
            try {
                Brel::ParseLocaleData(Read(xml));
                ADD_FAILURE() << "no error";
            } catch (const std::range_error& error) {
                EXPECT_STREQ(error.what(), "bad conversion");
            }
        }
    }
}

TEST(AnswerParserTest, PackageListsKeepOnlyPackageIdsInOrder)
{
    const auto ids = Brel::ParsePackageIds(Read("<list count=\"3\"><packageId>a</packageId><!-- note -->"
                                                "<other>x</other><packageId></packageId><packageId>c</packageId>"
                                                "</list>"));
    EXPECT_EQ(ids, (std::vector<std::string> {"a", "", "c"}));
    EXPECT_TRUE(Brel::ParsePackageIds(Read("<list/>")).empty());
    EXPECT_THROW(Brel::ParsePackageIds(Read("<packages><packageId>a</packageId></packages>")), pt::ptree_bad_path);
}

} // namespace
