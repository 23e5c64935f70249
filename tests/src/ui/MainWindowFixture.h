#pragma once

#include "IUi.h"
#include "MainWindow.h"
#include "MapStorage.h"
#include "QtPrinters.h"
#include "SelectedStick.h"
#include "UsbStorage.h"
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
    struct CleanStores {
        CleanStores() { Clear(); }
        ~CleanStores() { Clear(); }
        static void Clear()
        {
            MapStorage::Instance().Clear();
            UsbStorage::Instance().Clear();
        }
    };

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

    static void Store(const MapInfo& map) { MapStorage::Instance().UpdateMap(map); }

    static void InsertStick() { SelectStick(); }

    template <typename T> T* Child(const char* name) { return window.findChild<T*>(name); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }

    // The buttons of the message on the maps page and on the message page.
    QPushButton* MapsMessageButton(bool first)
    {
        return Child<QWidget>("widgetMapsMessage")
            ->findChild<QPushButton*>(first ? "pushButtonPrimary" : "pushButtonSecondary");
    }
    QPushButton* PageMessageButton(bool first)
    {
        return Child<QWidget>("widgetMessage")
            ->findChild<QPushButton*>(first ? "pushButtonPrimary" : "pushButtonSecondary");
    }
    QString MapsMessageTitle()
    {
        return Child<QWidget>("widgetMapsMessage")->findChild<QLabel*>("labelMessageTitle")->text();
    }
    QString PageMessageTitle()
    {
        return Child<QWidget>("widgetMessage")->findChild<QLabel*>("labelMessageTitle")->text();
    }

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
