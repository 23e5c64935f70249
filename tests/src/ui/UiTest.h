#pragma once

#include "Config.h"
#include "DynamicIcon.h"
#include "Footer.h"
#include "LogCapture.h"
#include "MainWindow.h"
#include "MapStorage.h"
#include "MarkingTranslator.h"
#include "MessageScreen.h"
#include "Popup.h"
#include "PopupPlacement.h"
#include "Progress.h"
#include "QtPrinters.h"
#include "Resources.h"
#include "SelectedStick.h"
#include "Settings.h"
#include "SettingsScreen.h"
#include "TableRow.h"
#include "Taskbar.h"
#include "TrayIcon.h"
#include "Ui.h"
#include "UrlCatcher.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMovie>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWindow>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

using testing::PrintToString;
using Ui::State;

class SilentUi : public Ui::IUi {
public:
    void Activate() override { }
    void SetState(State) override { }
    void UpdateUsbs() override { }
    void ConfirmQuit() override { }
};

struct CleanStores {
    CleanStores() { Clear(); }
    ~CleanStores() { Clear(); }
    static void Clear() { MapStorage::Instance().Clear(), UsbStorage::Instance().Clear(); }
};

// Collects, while it lives, Qt's messages that contain a text.
struct QtMessages {
    explicit QtMessages(const char* text) { needle = text, found.clear(); }
    ~QtMessages() { qInstallMessageHandler(previous); }
    static inline QString needle;
    static inline QStringList found;
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& t) {
              if (t.contains(needle))
                  found << t;
          });
};

// A map of 4 GB named "Map <id>"; a download under way holds 1 GB of it.
inline MapInfo Map(const std::string& id, MapInfo::Type type = MapInfo::Optional,
    MapInfo::State state = MapInfo::Available, const std::string& region = "EUR", bool root = false)
{
    return {type, state, id, L"Map " + std::wstring(id.begin(), id.end()), "", "2023.05", region, "", "",
        state == MapInfo::Downloading ? 1'000'000'000 : 0, 4'000'000'000, root};
}
inline const auto Store = [](const MapInfo& map) { MapStorage::Instance().UpdateMap(map); };
inline const auto Click = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); };
template <typename T = QWidget> T* Child(const QObject* parent, const char* name)
{
    return parent->findChild<T*>(name);
}

// The facade with its window, popup and tray icon over empty stores. Tests connect the
// machine's answers to its signals, so that they run inside the emit as the real ones do.
class UiTest : public ::testing::Test {
protected:
    QAction* Entry(int index) { return icon->contextMenu()->actions().at(index); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(window, name); }
    // A button and the title of the maps page's message, or of the message page's.
    QPushButton* MessageButton(bool first, const char* message = "widgetMapsMessage")
    {
        return Child<QPushButton>(Child(window, message), first ? "pushButtonPrimary" : "pushButtonSecondary");
    }
    QString Title(const char* message = "widgetMapsMessage")
    {
        return Child<QLabel>(Child(window, message), "labelMessageTitle")->text();
    }
    int Index(const char* stack) { return Child<QStackedWidget>(window, stack)->currentIndex(); }
    QWidget* Row(int row) { return Child<QTableWidget>(window, "tableWidgetMapUpdates")->cellWidget(row, 0); }
    // Focus events reach only the active window. Offscreen, a window shown again after a hide stays inactive for
    // the widgets whatever it asks.
    void Activate() { QApplication::setActiveWindow(window); }
    // Return on the help button that the program put the focus on, as a page switch does: the prompt's default
    // answers, not the help button.
    void PressReturn()
    {
        const UrlCatcher browser;
        Activate();
        Button("pushButtonHelp")->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(Button("pushButtonHelp"), Qt::Key_Return);
        Click(Button("pushButtonHelp"));
        EXPECT_EQ(browser.urls.size(), 1) << "the help button took the Return, or opens nothing";
    }

    CleanStores stores;
    std::unique_ptr<Ui::Ui> facade = std::make_unique<Ui::Ui>();
    Ui::MainWindow* window = [] {
        Ui::MainWindow* found = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            found = found ? found : qobject_cast<Ui::MainWindow*>(widget);
        return found;
    }();
    Ui::Popup* popup = window->findChild<Ui::Popup*>();
    Ui::TrayIcon* tray = facade->findChild<Ui::TrayIcon*>();
    QSystemTrayIcon* icon = tray->findChild<QSystemTrayIcon*>();
    std::vector<MapInfo::Id> downloads;
    QMetaObject::Connection recorder = QObject::connect(
        facade.get(), &Ui::IUi::DownloadMap, [this](const MapInfo::Id& id) { downloads.push_back(id); });
    QSignalSpy cancels {facade.get(), &Ui::IUi::CancelDownload};
    QSignalSpy retries {facade.get(), &Ui::IUi::Retry};
};
