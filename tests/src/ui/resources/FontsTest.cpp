#include "Resources.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <stdexcept>

// A wrong family name fails silently (another font stands in), so the family
// is checked on what the font database actually resolved.
TEST(FontsTest, EachTypeResolvesToTheApplicationFont)
{
    Fonts::Load();
    const struct {
        Fonts::FontType type;
        const char* family;
    } cases[] = {
        {Fonts::Regular, "Dravo Sans Regular"}, {Fonts::Medium, "Dravo Sans Medium"}, {Fonts::Bold, "Dravo Sans Bold"}};
    for (const auto& c : cases) {
        const QFont font = Fonts::Get(c.type, 14);
        EXPECT_FALSE(font.kerning()) << c.family;
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), c.family);
        EXPECT_EQ(info.pixelSize(), 14) << c.family;
    }
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(3), 14), std::logic_error);
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(-1), 14), std::logic_error);
}
