#pragma once

#include "CleanStores.h"
#include "IUi.h"
#include "MainWindow.h"
#include "QtPrinters.h"
#include "SelectedStick.h"
#include "UrlCatcher.h"
#include "widgets/SilentUi.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStringList>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A window over an empty catalogue and stick registry, with spies on every
// signal it may send to the state machine. The state machine's answers are
// connected by the tests to the signals, so that they run inside the emit as
// the real ones do.
class MainWindowTest : public ::testing::Test {
protected:
    static MapInfo Map(const std::string& id, MapInfo::Type type, MapInfo::State state,
        const std::string& region = "EUR", bool root = false)
    {
        MapInfo map;
        map.id = id;
        map.type = type;
        map.state = state;
        map.name = L"Map " + std::wstring(id.begin(), id.end());
        map.release = "2023.05";
        map.region = region;
        map.size = 4'000'000'000;
        map.downloaded = state == MapInfo::Downloading ? 1'000'000'000 : 0;
        map.root = root;
        return map;
    }

    // Every state the state machine sets.
    static std::vector<Ui::State> AllStates()
    {
        std::vector<Ui::State> states;
        for (int value = 0; value <= static_cast<int>(Ui::State::UsbTooSmall); ++value) {
            if (static_cast<Ui::State>(value) != Ui::State::Unknown)
                states.push_back(static_cast<Ui::State>(value));
        }
        return states;
    }

    static void Store(const MapInfo& map) { MapStorage::Instance().UpdateMap(map); }

    static void InsertStick() { SelectStick(); }

    template <typename T> T* Child(const char* name) { return window.findChild<T*>(name); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }

    // The buttons and title of the message on the maps page and on the message page.
    QPushButton* MessageButton(const char* message, bool first)
    {
        return Child<QWidget>(message)->findChild<QPushButton*>(first ? "pushButtonPrimary" : "pushButtonSecondary");
    }
    QPushButton* MapsMessageButton(bool first) { return MessageButton("widgetMapsMessage", first); }
    QPushButton* PageMessageButton(bool first) { return MessageButton("widgetMessage", first); }
    QString MessageTitle(const char* message)
    {
        return Child<QWidget>(message)->findChild<QLabel*>("labelMessageTitle")->text();
    }
    QString MapsMessageTitle() { return MessageTitle("widgetMapsMessage"); }
    QString PageMessageTitle() { return MessageTitle("widgetMessage"); }

    int PageIndex() { return Child<QStackedWidget>("stackedWidgetMainWindow")->currentIndex(); }
    int ScreenIndex() { return Child<QStackedWidget>("stackedWidgetManageMaps")->currentIndex(); }

    // One text per row of the map list: a title, a message's title, or a map's name.
    QStringList RowTexts()
    {
        auto* table = Child<QTableWidget>("tableWidgetMapUpdates");
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row) {
            QWidget* cell = table->cellWidget(row, 0);
            auto* label = cell->findChild<QLabel*>("labelMapTitle");
            texts << (label ? label : cell->findChild<QLabel*>("labelTitle"))->text();
        }
        return texts;
    }

    static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Return with the focus on the header's help button, as after a click on
    // it: the prompt on show answers with its default, never the help.
    void PressReturn()
    {
        UrlCatcher browser;
        QPushButton* help = Button("pushButtonHelp");
        help->setFocus();
        QTest::keyClick(help, Qt::Key_Return);
        EXPECT_TRUE(browser.urls.isEmpty()) << "the help button took the Return";
    }
    // An impatient user: the second click lands before anything repaints.
    static void DoubleClick(QPushButton* button)
    {
        Click(button);
        Click(button);
    }

    MainWindowTest()
    {
        QObject::connect(&ui, &Ui::IUi::DownloadMap, [this](const MapInfo::Id& id) { downloads.push_back(id); });
    }

    CleanStores stores;
    SilentUi ui;
    Ui::MainWindow window {&ui};
    std::vector<MapInfo::Id> downloads;
    QSignalSpy cancels {&ui, &Ui::IUi::CancelDownload};
    QSignalSpy retries {&ui, &Ui::IUi::Retry};
    QSignalSpy forcedQuits {&ui, &Ui::IUi::ForcedQuit};
};
