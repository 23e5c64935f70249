#include "TrayIcon.h"
#include "CleanStores.h"
#include "LogCapture.h"
#include "MarkingTranslator.h"
#include "QtPrinters.h"
#include "widgets/SilentUi.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QStringList>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

using Ui::State;

namespace {

constexpr int kLastState = static_cast<int>(State::UsbTooSmall);

MapInfo Downloading()
{
    MapInfo map;
    map.id = "eu-west";
    map.state = MapInfo::Downloading;
    return map;
}

} // namespace

class TrayIconTest : public ::testing::Test {
protected:
    QSystemTrayIcon* Icon() { return tray.findChild<QSystemTrayIcon*>(); }
    QAction* Entry(int index) { return Icon()->contextMenu()->actions().at(index); }
    bool OpenEnabled() { return Entry(0)->isEnabled(); }
    bool SettingsEnabled() { return Entry(1)->isEnabled(); }

    CleanStores stores;
    SilentUi ui;
    Ui::TrayIcon tray {&ui};
};

// After a network error the window holds Retry and Cancel only while a
// download is held; "Open application" is decided afresh at every SetState.
TEST_F(TrayIconTest, NetworkErrorsOfferTheWindowExactlyWhileADownloadIsHeld)
{
    for (State state : {State::NoConnection, State::ServerError}) {
        SCOPED_TRACE(static_cast<int>(state));
        MapStorage::Instance().Clear();
        tray.SetState(state);
        EXPECT_FALSE(OpenEnabled());
        MapStorage::Instance().UpdateMap(Downloading());
        EXPECT_FALSE(OpenEnabled()); // nothing changes until the state is set again
        tray.SetState(state);
        EXPECT_TRUE(OpenEnabled());
        MapStorage::Instance().Clear();
        tray.SetState(state);
        EXPECT_FALSE(OpenEnabled());
        EXPECT_TRUE(SettingsEnabled());
    }
}

// Every state but Unknown shows a picture that loads and a status line under
// the application's name; the icon waits for the first state. Quit is always
// offered and reaches the facade (the other two entries are followed through
// the facade's tests); a check locks the other two.
TEST_F(TrayIconTest, EveryStateShowsAPictureAndAStatusLineAndOffersQuit)
{
    EXPECT_FALSE(Icon()->isVisible());
    ASSERT_EQ(Icon()->contextMenu()->actions().size(), 3);
    for (int value = 0; value <= kLastState; ++value) {
        SCOPED_TRACE(value);
        const auto state = static_cast<State>(value);
        tray.SetState(state);
        EXPECT_TRUE(Icon()->isVisible());
        const QStringList lines = Icon()->toolTip().split("\r\n");
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], "Tessaly");
        EXPECT_EQ(lines[1].isEmpty(), state == State::Unknown);
        EXPECT_EQ(Icon()->icon().pixmap(32).isNull(), state == State::Unknown);
        EXPECT_TRUE(Entry(2)->isEnabled());
        if (state == State::MapUpdateCheck) {
            EXPECT_FALSE(OpenEnabled());
            EXPECT_FALSE(SettingsEnabled());
        }
    }
    QSignalSpy quit(&ui, &Ui::IUi::Quit);
    Entry(2)->trigger();
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(TrayIconTest, OnlyASingleClickCountsAsClick)
{
    QSignalSpy clicks(&tray, &Ui::TrayIcon::Clicked);
    const struct {
        QSystemTrayIcon::ActivationReason reason;
        int clicks;
    } cases[] = {{QSystemTrayIcon::Trigger, 1}, {QSystemTrayIcon::Context, 0}, {QSystemTrayIcon::DoubleClick, 0},
        {QSystemTrayIcon::MiddleClick, 0}, {QSystemTrayIcon::Unknown, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        clicks.clear();
        emit Icon()->activated(c.reason);
        EXPECT_EQ(clicks.count(), c.clicks);
    }
}

// A language change re-sets the menu and the tooltip of the state on show,
// without a state change; a state set twice is logged once.
TEST_F(TrayIconTest, LanguageChangeTranslatesMenuAndTooltipAnew)
{
    LogCapture log;
    tray.SetState(State::MapDownload);
    tray.SetState(State::MapDownload);
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    emit ui.UpdateLocale();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(Entry(0)->text(), "[de] Open application");
    EXPECT_EQ(Entry(2)->text(), "[de] Quit");
    EXPECT_EQ(Icon()->toolTip(), "Tessaly\r\n[de] Downloading map");
    EXPECT_EQ(log.Count(Log::Debug, "Changing state from: "), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Retranslating tray icon's strings"), 1);
}
