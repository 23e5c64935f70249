#include "Resources.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>

namespace {

struct FontCase {
    Fonts::FontType type;
    const char* family;
};

void PrintTo(const FontCase& font, std::ostream* out)
{
    *out << font.family;
}

class FontsTest : public ::testing::TestWithParam<FontCase> {
protected:
    static void SetUpTestSuite() { Fonts::Load(); }
};

} // namespace

// A wrong family name fails silently (another font stands in), so the family
// is checked on what the font database actually resolved.
TEST_P(FontsTest, ResolvesToTheApplicationFont)
{
    const QFont font = Fonts::Get(GetParam().type, 14);
    EXPECT_EQ(font.pixelSize(), 14);
    EXPECT_FALSE(font.kerning());
    const QFontInfo info(font);
    EXPECT_EQ(info.family(), GetParam().family);
    EXPECT_EQ(info.pixelSize(), 14);
}

INSTANTIATE_TEST_SUITE_P(Types, FontsTest,
    ::testing::Values(FontCase {Fonts::Regular, "Dravo Sans Regular"}, FontCase {Fonts::Medium, "Dravo Sans Medium"},
        FontCase {Fonts::Bold, "Dravo Sans Bold"}),
    [](const ::testing::TestParamInfo<FontCase>& info) {
        return std::string(info.param.family).substr(std::string("Dravo Sans ").size());
    });

TEST(FontsGet, TypeOutsideTheEnumerationThrows)
{
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(3), 14), std::logic_error);
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(-1), 14), std::logic_error);
}
