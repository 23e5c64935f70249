#include "Config.h"
#include "Settings.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LinkCase {
    const char* language;
    std::function<QString(const QString&)> link;
    const char* expectedPath;
};

class Links : public ::testing::TestWithParam<LinkCase> { };

const auto terms = [](const QString& language) { return Config::GetTermsAndConditionsUrl(language); };
const auto guideline = [](const QString& language) { return Config::GetUserGuidelineUrl(language); };
const auto copyright = [](const QString& language) { return Config::GetCopyrightMapDataUrl(language); };
const auto report = [](const QString& language) { return Config::GetReportMapErrorUrl(language); };

} // namespace

// Unknown languages fall back to the British documents, both countries of a
// language share theirs, and the report link carries the language as it stands.
TEST_P(Links, PathForLanguage)
{
    const QUrl url(GetParam().link(GetParam().language));
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_EQ(url.path(), GetParam().expectedPath);
}

INSTANTIATE_TEST_SUITE_P(Languages, Links,
    ::testing::Values(LinkCase {"it_IT", terms, "/en/terms-and-conditions/"},
        LinkCase {"it_IT", guideline, "/media/downloads/zuk_guideline/zuk_user_guideline_en.pdf"},
        LinkCase {"", terms, "/en/terms-and-conditions/"},
        LinkCase {"fr_CA", guideline, "/media/downloads/zuk_guideline/zuk_user_guideline_fr.pdf"},
        LinkCase {"fr_CA", terms, "/fr/terms-and-conditions/"},
        LinkCase {"es_MX", guideline, "/media/downloads/zuk_guideline/zuk_user_guideline_es.pdf"},
        LinkCase {"tr_TR", terms, "/tr/terms-and-conditions/"}, LinkCase {"en_US", report, "/en_US/account/login.html"},
        LinkCase {"de_DE", report, "/de_DE/account/login.html"},
        LinkCase {"en_US", copyright, "/en_gb/thirdpartyproductterms/"},
        LinkCase {"it_IT", copyright, "/en_gb/thirdpartyproductterms/"}));

// Terms and guides live on the customer's site, map data terms and error
// reports on the maker's: two different hosts.
TEST(LinkHosts, CustomerAndMakerSitesDiffer)
{
    const QString customer = QUrl(Config::GetTermsAndConditionsUrl("en_GB")).host();
    EXPECT_EQ(QUrl(Config::GetUserGuidelineUrl("en_GB")).host(), customer);
    const QString maker = QUrl(Config::GetReportMapErrorUrl("en_GB")).host();
    EXPECT_EQ(QUrl(Config::GetCopyrightMapDataUrl("en_GB")).host(), maker);
    EXPECT_NE(customer, maker);
}

// The getters without argument follow the user's current language.
TEST(LinkHosts, FollowTheCurrentLanguage)
{
    ASSERT_TRUE(Settings::Instance().SetLocale("fr_CA"));
    EXPECT_TRUE(Config::GetUserGuidelineUrl().endsWith("zuk_user_guideline_fr.pdf"));
    EXPECT_TRUE(Config::GetReportMapErrorUrl().endsWith("/fr_CA/account/login.html"));
}
