#include "PopupLink.h"
#include "State.h"

#include <gtest/gtest.h>

// Values read from elsewhere may lie outside the enumerations: they print as
// nothing rather than reading past the names.
TEST(UiEnumTest, PrintsNamesAndNothingOutsideTheRange)
{
    EXPECT_EQ(testing::PrintToString(Ui::State::UsbTooSmall), "UsbTooSmall");
    EXPECT_EQ(testing::PrintToString(Ui::PopupLink::Retry), "Retry");
    for (int value : {-1, 19})
        EXPECT_EQ(testing::PrintToString(static_cast<Ui::State>(value)), "") << value;
    EXPECT_EQ(testing::PrintToString(static_cast<Ui::PopupLink>(6)), "");
}
