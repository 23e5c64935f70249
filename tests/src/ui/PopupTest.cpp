#include "UiTest.h"

#include "Popup.h"
#include "PopupPlacement.h"
#include "Taskbar.h"

#include <QWindow>

using Ui::PopupLink;

class PopupTest : public ::testing::Test {
protected:
    QString Text(const char* label) { return Child<QLabel>(&popup, label)->text(); }
    // Visible within the popup, whether or not the popup itself is shown.
    bool Shows(const char* name) { return Child(&popup, name)->isVisibleTo(&popup); }
    static void Stick(std::optional<UsbInfo::State> stick)
    {
        CleanStores::Clear();
        if (stick)
            SelectStick(*stick);
    }

    CleanStores stores;
    const int linkType = qRegisterMetaType<PopupLink>("PopupLink"); // as the facade does, before the spy
    SilentUi ui;
    Ui::Popup popup {&ui};
    QSignalSpy links {&popup, &Ui::Popup::LinkClicked};
};

// After the removed-stick message, with no stick offering metadata, only a
// download replaces it; "Continue" lets the popup follow the states again.
TEST_F(PopupTest, RemovedStickMessageIsHeldUntilContinueOrADownload)
{
    const struct {
        const char* name;
        std::optional<UsbInfo::State> stick;
        bool clickContinue;
        State next;
        bool held;
    } cases[] = {
        {"no stick: a check is ignored", std::nullopt, false, State::MapUpdateCheck, true},
        {"stick without update folder: ignored", UsbInfo::NoMetadata, false, State::MapUpdateCheck, true},
        {"no stick: an offer is ignored", std::nullopt, false, State::OptionalUpdate, true},
        {"no stick: a download is shown", std::nullopt, false, State::MapDownload, false},
        {"stick with valid metadata: followed", UsbInfo::ValidMetadata, false, State::MapUpdateCheck, false},
        {"stick with invalid metadata: followed", UsbInfo::InvalidMetadata, false, State::MapUpdateCheck, false},
        {"no stick, after Continue: followed", std::nullopt, true, State::MapUpdateCheck, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Stick(c.stick);
        popup.SetState(State::UsbRemoved);
        const QString removed = Text("labelContentText");
        ASSERT_TRUE(removed.startsWith("The USB stick has been removed"));
        if (c.clickContinue) {
            Click(Child<QPushButton>(&popup, "pushButtonContentLink"));
            ASSERT_EQ(links.count(), 1);
            EXPECT_EQ(links.takeFirst().at(0).value<PopupLink>(), PopupLink::Continue);
        }
        popup.SetState(c.next);
        EXPECT_EQ(Text("labelContentText") == removed, c.held);
        popup.SetState(State::MapDownload); // leaves the hold for the next case
    }
}

// Three quiet cases update the content without bringing the popup up.
TEST_F(PopupTest, OnlyTheQuietCasesLeaveThePopupDown)
{
    const struct {
        State state;
        std::optional<UsbInfo::State> stick;
        bool shows;
    } cases[] = {{State::RootUpdate, UsbInfo::ValidMetadata, false}, {State::UsbCheck, UsbInfo::ValidMetadata, false},
        {State::MapUpdateCheck, std::nullopt, false}, {State::MapUpdateCheck, UsbInfo::NoMetadata, false},
        {State::MapUpdateCheck, UsbInfo::InvalidMetadata, true}, {State::MapUpdateCheck, UsbInfo::ValidMetadata, true},
        {State::ServerError, std::nullopt, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.state));
        Stick(c.stick);
        popup.SetState(State::MapDownload);
        const QString before = Text("labelContentText");
        popup.hide();
        popup.SetState(c.state);
        EXPECT_EQ(popup.isVisible(), c.shows);
        EXPECT_NE(Text("labelContentText"), before);
    }
}

// Each fade step takes 0.025 off the opacity; the popup hides itself before it
// would fall below 0.01. The pointer over it keeps it opaque and on top;
// leaving starts the countdown to the fade again.
TEST_F(PopupTest, FadesOutUnlessThePointerIsOverIt)
{
    popup.SetState(State::UpToDate);
    double last = popup.windowOpacity();
    int steps = 0;
    for (; popup.isVisible() && steps < 100; ++steps) {
        popup.OnFadeTimeout();
        if (popup.isVisible()) {
            EXPECT_GT(last - popup.windowOpacity(), 0.02);
            last = popup.windowOpacity();
        }
    }
    EXPECT_LE(steps, 41);
    EXPECT_LT(last, 0.035);
    popup.show();
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);

    popup.OnFadeTimeout();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&popup, &enter);
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);
    EXPECT_TRUE(popup.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&popup, &leave);
    EXPECT_FALSE(popup.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QTRY_VERIFY_WITH_TIMEOUT(!popup.isVisible(), 60000);
}

// Expected corners worked out by hand on a 1280x800 screen with a panel 24
// (bottom, top) or 28 (left, right) pixels deep; rectangles are inclusive.
TEST(PopupPlacementTest, SitsBesideTheIconOnEveryEdgeAndInsideTheAvailableArea)
{
    const QRect bottomBar(0, 776, 1280, 24), bottomArea(0, 0, 1280, 776), leftBar(0, 0, 28, 800),
        leftArea(28, 0, 1252, 800), rightBar(1252, 0, 28, 800), rightArea(0, 0, 1252, 800);
    const QRect frameless(100, 100, 240, 371), framed(100, 100, 250, 381);
    const int bottom = TaskbarEdge::Bottom;
    const struct {
        const char* name;
        QRect outer, tray, taskbar;
        int edge;
        QRect area, expected;
    } cases[] = {
        {"bottom, centred", frameless, {600, 777, 20, 20}, bottomBar, bottom, bottomArea, {489, 405, 240, 371}},
        {"bottom, at the right", frameless, {1250, 777, 20, 20}, bottomBar, bottom, bottomArea, {1040, 405, 240, 371}},
        {"bottom, at the left", frameless, {10, 777, 20, 20}, bottomBar, bottom, bottomArea, {0, 405, 240, 371}},
        {"top", frameless, {1250, 2, 20, 20}, {0, 0, 1280, 24}, TaskbarEdge::Top, {0, 24, 1280, 776},
            {1040, 24, 240, 371}},
        {"left", frameless, {3, 700, 22, 22}, leftBar, TaskbarEdge::Left, leftArea, {28, 351, 240, 371}},
        {"left, near the top", frameless, {3, 100, 22, 22}, leftBar, TaskbarEdge::Left, leftArea, {28, 0, 240, 371}},
        {"right", frameless, {1255, 700, 22, 22}, rightBar, TaskbarEdge::Right, rightArea, {1012, 351, 240, 371}},
        {"right, past the area's bottom", frameless, {1255, 790, 22, 22}, rightBar, TaskbarEdge::Right, rightArea,
            {1012, 429, 240, 371}},
        {"a 5 px frame keeps 7 px from the panel", framed, {600, 777, 20, 20}, bottomBar, bottom, bottomArea,
            {489, 399, 240, 371}},
        {"larger than the area: top-left corner visible", frameless, {150, 305, 10, 10}, {0, 300, 200, 20}, bottom,
            {0, 0, 200, 300}, {0, 0, 240, 371}},
        {"no area known", frameless, {1250, 777, 20, 20}, bottomBar, bottom, {}, {1139, 406, 240, 371}},
        {"unknown edge: unchanged", frameless, {1250, 777, 20, 20}, {}, TaskbarEdge::Unknown, bottomArea, frameless},
        {"invalid tray rectangle: unchanged", {-500, 2000, 240, 371}, {0, 0, 0, 0}, bottomBar, bottom, bottomArea,
            {-500, 2000, 240, 371}},
        {"invalid tray rectangle, framed: client size kept", framed, {}, bottomBar, bottom, bottomArea,
            {100, 100, 240, 371}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ui::PlacePopup({c.outer, QSize(240, 371), c.tray, c.taskbar, c.edge, c.area}), c.expected) << c.name;
}
