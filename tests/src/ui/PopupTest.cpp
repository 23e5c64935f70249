#include "Popup.h"
#include "CleanStores.h"
#include "LogCapture.h"
#include "MarkingTranslator.h"
#include "QtPrinters.h"
#include "QtWarnings.h"
#include "SelectedStick.h"
#include "Taskbar.h"
#include "widgets/SilentUi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

using Ui::PopupLink;
using Ui::State;

class PopupTest : public ::testing::Test {
protected:
    static void Clear() { CleanStores::Clear(); }
    template <typename T> T* Child(const char* name) { return popup.findChild<T*>(name); }
    QString Text(const char* label) { return Child<QLabel>(label)->text(); }
    QPushButton* Link() { return Child<QPushButton>("pushButtonContentLink"); }
    // Visible within the popup, whether or not the popup itself is shown.
    bool Shows(const char* name) { return Child<QWidget>(name)->isVisibleTo(&popup); }

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
    const QString removed = "The USB stick has been removed while the system was still accessing it. Please "
                            "reconnect the USB stick";
    const QString checking = "Checking for map updates. Please do not disconnect the USB stick.";
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
        Clear();
        if (c.stick)
            SelectStick(*c.stick);
        popup.SetState(State::UsbRemoved);
        ASSERT_EQ(Text("labelContentText"), removed);
        if (c.clickContinue) {
            QTest::mouseClick(Link(), Qt::LeftButton);
            ASSERT_EQ(links.count(), 1);
            EXPECT_EQ(links.takeFirst().at(0).value<PopupLink>(), PopupLink::Continue);
        }
        LogCapture log;
        popup.SetState(c.next);
        EXPECT_EQ(log.Count(Log::Debug, "Ignoring: "), c.held ? 1 : 0);
        if (c.held) {
            EXPECT_EQ(Text("labelContentText"), removed);
        } else if (c.next == State::MapUpdateCheck) {
            EXPECT_EQ(Text("labelContentText"), checking);
        }
        popup.SetState(State::MapDownload); // leaves the hold for the next case
    }
}

// A language change builds the texts anew and brings the popup up again,
// also while it holds the removed-stick message.
TEST_F(PopupTest, LanguageChangeTranslatesAndShowsAgainAlsoWhileHeld)
{
    popup.SetState(State::UsbRemoved);
    popup.hide();
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    emit ui.UpdateLocale();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(Link()->text(), "[de] Continue");
    EXPECT_EQ(Text("labelStatusText"), "[de] Error");
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
        Clear();
        if (c.stick)
            SelectStick(*c.stick);
        popup.SetState(State::MapDownload);
        const QString before = Text("labelContentText");
        popup.hide();
        popup.SetState(c.state);
        EXPECT_EQ(popup.isVisible(), c.shows);
        EXPECT_NE(Text("labelContentText"), before);
    }
}

// The strip shows only with a selected stick, except on the removed-stick
// message, which shows "Error" in red with the notification icon.
TEST_F(PopupTest, StatusStripFollowsTheSelectedStick)
{
    const struct {
        const char* name;
        std::optional<UsbInfo::State> stick;
        State state;
        const char* text; // empty: no strip
        const char* color;
        const char* icon;
    } cases[] = {
        {"no stick", std::nullopt, State::UpToDate, "", "", ""},
        {"stick", UsbInfo::ValidMetadata, State::UpToDate, "Connected", "#78BE20", ":/icons/ic_connected.png"},
        {"no stick, stick removed", std::nullopt, State::UsbRemoved, "Error", "#EA0016",
            ":/icons/ic_device_notification.png"},
        {"unreadable stick", UsbInfo::InvalidMetadata, State::MetadataCorrupt, "Error", "#EA0016",
            ":/icons/ic_device_notification.png"},
        {"stick being checked", UsbInfo::NoMetadata, State::UsbCheck, "Connected", "#78BE20",
            ":/icons/ic_spinner_1414/ic_spinner_1.png"},
    };
    const auto argb = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        if (c.stick)
            SelectStick(*c.stick);
        popup.SetState(c.state);
        EXPECT_EQ(Shows("widgetStatus"), *c.text != '\0');
        if (*c.text != '\0') {
            EXPECT_EQ(Text("labelStatusText"), c.text);
            EXPECT_TRUE(Child<QLabel>("labelStatusText")->styleSheet().contains(c.color));
            EXPECT_TRUE(Shows("labelStatusIcon"));
            EXPECT_EQ(
                argb(Child<QLabel>("labelStatusIcon")->pixmap(Qt::ReturnByValue).toImage()), argb(QImage(c.icon)));
        }
        popup.SetState(State::MapDownload); // leaves the hold for the next case
    }
}

// What each state's record makes appear: every picture it names exists, the
// link carries its action, a state without a record shows nothing and links
// nowhere ("Manage maps" on a stick too small dismisses the download rather
// than opening the maps); no text makes Qt warn about a missing place marker.
TEST_F(PopupTest, EveryStateShowsItsOwnPicturesAndLink)
{
    SelectStick();
    QtWarnings argWarnings("QString::arg");
    for (int value = 0; value <= static_cast<int>(State::UsbTooSmall); ++value) {
        const auto state = static_cast<State>(value);
        SCOPED_TRACE(value);
        popup.SetState(state);
        const auto* icon = Child<QLabel>("labelContentIcon");
        if (Shows("labelContentIcon")) {
            EXPECT_TRUE(!icon->pixmap(Qt::ReturnByValue).isNull() || (icon->movie() && icon->movie()->isValid()));
        }
        const bool hasLink = Shows("pushButtonContentLink");
        EXPECT_EQ(hasLink, Link()->property("LinkId").toInt() != static_cast<int>(PopupLink::Blank));
        EXPECT_EQ(state == State::Unknown,
            !Shows("labelContentTitle") && !Shows("labelContentText") && !Shows("labelContentIcon") && !hasLink);
        if (hasLink) {
            links.clear();
            QTest::mouseClick(Link(), Qt::LeftButton);
            ASSERT_EQ(links.count(), 1);
            if (state == State::UsbTooSmall) {
                EXPECT_EQ(links.at(0).at(0).value<PopupLink>(), PopupLink::Dismiss);
            }
        }
        popup.SetState(State::MapDownload); // a Continue click or the removed-stick message may hold it
    }
    EXPECT_EQ(argWarnings.Found(), QStringList());
}

// Placement reads the panel through its source and logs both rectangles.
TEST_F(PopupTest, PlacedByThePanelItIsGivenAndLogged)
{
    popup.SetState(State::UpToDate);
    const QRect screen = popup.screen()->availableGeometry(); // offscreen: no panel reserves anything
    const QRect bar(screen.left(), screen.bottom() - 23, screen.width(), 24);
    QRect asked;
    popup.SetTaskbarSource([&](int& edge, const QRect& trayIcon) {
        asked = trayIcon;
        edge = TaskbarEdge::Bottom;
        return bar;
    });
    const QRect tray(screen.right() - 30, bar.top() + 2, 20, 20);
    LogCapture log;
    popup.SetGeometry(tray);
    EXPECT_EQ(asked, tray);
    EXPECT_EQ(popup.geometry().right(), screen.right());
    // The offscreen screen reserves no strip, so only the panel's top decides.
    EXPECT_EQ(popup.geometry().bottom(), bar.top());
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: [("), 1);

    const QPoint before = popup.pos();
    popup.SetGeometry(QRect());
    EXPECT_EQ(popup.pos(), before);
    EXPECT_EQ(log.Count(Log::Debug, "Updating popup geometry from: [("), 2);
}

// Each fade step takes 0.025 off the opacity (stored in 1/255 steps); the
// popup hides itself before the opacity would fall below 0.01.
TEST_F(PopupTest, FadeStepsDownAndHidesWhenNearlyTransparent)
{
    popup.SetState(State::UpToDate);
    double last = popup.windowOpacity();
    int steps = 0;
    while (popup.isVisible() && steps < 100) {
        popup.OnFadeTimeout();
        ++steps;
        if (popup.isVisible()) {
            EXPECT_LT(popup.windowOpacity(), last);
            EXPECT_GT(last - popup.windowOpacity(), 0.02);
            last = popup.windowOpacity();
        }
    }
    EXPECT_FALSE(popup.isVisible());
    EXPECT_LE(steps, 41);
    EXPECT_LT(last, 0.035);
    popup.show();
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);
}

// Shown, it stays opaque for 5000 ms; the mouse over it keeps it opaque and on
// top however long; leaving starts another 5000 ms, then it fades out. Bounds
// are lower ones only: a timer never fires that much early.
TEST_F(PopupTest, StaysWhileHoveredAndFadesAfterLeaving)
{
    QElapsedTimer clock;
    clock.start();
    popup.SetState(State::UpToDate);
    QTest::qWait(4000);
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&popup, &enter);
    EXPECT_TRUE(popup.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::qWait(3000); // past the first 5000 ms
    EXPECT_TRUE(popup.isVisible());
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);

    popup.hide();
    popup.show(); // shown again while the mouse is over it: no new countdown
    QTest::qWait(200);
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);

    QEvent leave(QEvent::Leave);
    clock.restart();
    QCoreApplication::sendEvent(&popup, &leave);
    EXPECT_FALSE(popup.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::qWait(4000);
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup.windowOpacity() < 1.0; }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.isVisible(); }, 5000));
    EXPECT_GE(clock.elapsed(), 5000 + 30 * 50 * 9 / 10);
}
