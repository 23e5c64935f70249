#include "PopupLink.h"
#include "State.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

template <typename Enum> std::string Print(Enum value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace

TEST(UiEnumTest, PrintsNamesAndNothingOutsideTheRange)
{
    EXPECT_EQ(Print(Ui::State::CancelDownload), "CancelDownload");
    EXPECT_EQ(Print(Ui::State::Unknown), "Unknown");
    EXPECT_EQ(Print(Ui::State::UsbTooSmall), "UsbTooSmall");
    EXPECT_EQ(Print(static_cast<Ui::State>(19)), "");
    EXPECT_EQ(Print(static_cast<Ui::State>(-1)), "");
    EXPECT_EQ(Print(Ui::PopupLink::Blank), "Blank");
    EXPECT_EQ(Print(Ui::PopupLink::Retry), "Retry");
    EXPECT_EQ(Print(static_cast<Ui::PopupLink>(6)), "");
}
