#include "UiTest.h"

class PopupTest : public UiTest {
protected:
    // Starts a case over empty stores with the stick given, or none; returns its trace.
    static std::string Begin(State state, const std::optional<UsbInfo::State>& stick)
    {
        CleanStores::Clear();
        if (stick)
            SelectStick(*stick);
        return PrintToString(state) + (stick ? " stick " + std::to_string(*stick) : " no stick");
    }
    QString Text() { return Child<QLabel>(popup, "labelContentText")->text(); }
};

// With no stick offering metadata, only a download or "Continue" ends the hold.
TEST_F(PopupTest, RemovedStickMessageIsHeldUntilContinueOrADownload)
{
    const std::tuple<std::optional<UsbInfo::State>, bool, State, bool> cases[] = {
        {std::nullopt, false, State::MapUpdateCheck, true}, {UsbInfo::NoMetadata, false, State::MapUpdateCheck, true},
        {std::nullopt, false, State::OptionalUpdate, true}, {std::nullopt, false, State::MapDownload, false},
        {UsbInfo::ValidMetadata, false, State::MapUpdateCheck, false},
        {UsbInfo::InvalidMetadata, false, State::MapUpdateCheck, false},
        {std::nullopt, true, State::MapUpdateCheck, false}};
    for (const auto& [stick, clickContinue, next, held] : cases) {
        SCOPED_TRACE(Begin(next, stick));
        popup->SetState(State::UsbRemoved);
        const QString removed = Text();
        if (clickContinue)
            Click(Child(popup, "pushButtonContentLink"));
        popup->SetState(next);
        EXPECT_EQ(Text() == removed, held);
        popup->SetState(State::MapDownload); // leaves the hold for the next case
    }
}

// Three quiet cases update the content without bringing the popup up: the offer of root maps, the stick check, and a
// map check while no stick offers metadata.
TEST_F(PopupTest, OnlyTheQuietCasesLeaveThePopupDown)
{
    const std::tuple<State, std::optional<UsbInfo::State>, bool> cases[]
        = {{State::RootUpdate, UsbInfo::ValidMetadata, false}, {State::UsbCheck, UsbInfo::ValidMetadata, false},
            {State::MapUpdateCheck, std::nullopt, false}, {State::MapUpdateCheck, UsbInfo::NoMetadata, false},
            {State::MapUpdateCheck, UsbInfo::InvalidMetadata, true},
            {State::MapUpdateCheck, UsbInfo::ValidMetadata, true}, {State::ServerError, std::nullopt, true}};
    for (const auto& [state, stick, shows] : cases) {
        SCOPED_TRACE(Begin(state, stick));
        popup->SetState(State::MapDownload);
        const QString before = Text();
        popup->hide();
        popup->SetState(state);
        EXPECT_EQ(popup->isVisible(), shows);
        EXPECT_NE(Text(), before);
    }
}

// The strip shows only with a selected stick, except on the removed-stick message, which says "Error" in red.
TEST_F(PopupTest, StatusStripFollowsTheSelectedStick)
{
    const std::tuple<std::optional<UsbInfo::State>, State, const char*, const char*> cases[]
        = {{std::nullopt, State::UpToDate, "", ""},
            {UsbInfo::ValidMetadata, State::UpToDate, "Connected", ":/icons/ic_connected.png"},
            {std::nullopt, State::UsbRemoved, "Error", ":/icons/ic_device_notification.png"},
            {UsbInfo::InvalidMetadata, State::MetadataCorrupt, "Error", ":/icons/ic_device_notification.png"},
            {UsbInfo::NoMetadata, State::UsbCheck, "Connected", ":/icons/ic_spinner_1414/ic_spinner_1.png"}};
    const auto argb = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
    for (const auto& [stick, state, text, icon] : cases) {
        SCOPED_TRACE(Begin(state, stick));
        popup->SetState(state);
        const auto* status = Child<QLabel>(popup, "labelStatusText");
        const auto* picture = Child<QLabel>(popup, "labelStatusIcon");
        EXPECT_EQ(Child(popup, "widgetStatus")->isVisibleTo(popup), *text != '\0');
        if (*text != '\0') {
            EXPECT_EQ(status->text(), text);
            EXPECT_EQ(status->styleSheet().contains("#EA0016"), status->text() == "Error");
            EXPECT_TRUE(picture->isVisibleTo(popup));
            EXPECT_EQ(argb(picture->pixmap(Qt::ReturnByValue).toImage()), argb(QImage(icon)));
        }
        popup->SetState(State::MapDownload); // leaves the hold for the next case
    }
}

// Shown, it stays a while and then fades out. The pointer over it stops the countdown and a fade under way, also
// across hiding and showing it; leaving counts down anew. Three popups wait out the program's own countdown at once.
TEST_F(PopupTest, StaysWhileHoveredAndFadesAfterLeaving)
{
    const QtMessages opacity("opacity"); // offscreen windows keep it without drawing it
    Ui::Popup hovered(facade.get()), reshown(facade.get()), fading(facade.get()), left(facade.get());
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    const auto onTop = [](Ui::Popup& p) { return p.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    for (Ui::Popup* shown : {&hovered, &reshown, &fading, &left})
        shown->SetState(State::UpToDate);
    QCoreApplication::sendEvent(&hovered, &enter);
    EXPECT_TRUE(onTop(hovered));
    QCoreApplication::sendEvent(&reshown, &enter);
    reshown.hide();
    reshown.show(); // again under the pointer: no new countdown
    QCoreApplication::sendEvent(&left, &enter);
    QCoreApplication::sendEvent(&left, &leave); // left last: the last countdown
    EXPECT_FALSE(onTop(left));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fading.windowOpacity() < 1.0; }, 20000));
    QCoreApplication::sendEvent(&fading, &enter);
    EXPECT_DOUBLE_EQ(fading.windowOpacity(), 1.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !left.isVisible(); }, 20000));
    left.show();
    EXPECT_EQ(left.windowOpacity(), 1.0) << "shown again after its fade";
    const std::pair<const char*, Ui::Popup*> stay[]
        = {{"hovered", &hovered}, {"reshown", &reshown}, {"fading", &fading}};
    for (const auto& [name, stays] : stay)
        EXPECT_TRUE(stays->isVisible() && stays->windowOpacity() == 1.0) << name;
}

// Expected corners worked out by hand on a 1280x800 screen with a panel 24
// (bottom, top) or 28 (left, right) pixels deep; rectangles are inclusive.
TEST(PopupPlacementTest, SitsBesideTheIconOnEveryEdgeAndInsideTheAvailableArea)
{
    const QRect bottomBar(0, 776, 1280, 24), bottomArea(0, 0, 1280, 776), leftBar(0, 0, 28, 800),
        leftArea(28, 0, 1252, 800), rightBar(1252, 0, 28, 800), rightArea(0, 0, 1252, 800);
    const QRect frameless(100, 100, 240, 371), framed(100, 100, 250, 381);
    const int bottom = TaskbarEdge::Bottom;
    const std::tuple<const char*, QRect, QRect, QRect, int, QRect, QRect> cases[] = {
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
            {100, 100, 240, 371}}};
    for (const auto& [name, outer, tray, taskbar, edge, area, expected] : cases)
        EXPECT_EQ(Ui::PlacePopup({outer, QSize(240, 371), tray, taskbar, edge, area}), expected) << name;
}
