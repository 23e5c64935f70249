#pragma once

// The common ground of the user interface's tests: their includes, a facade
// that ignores what it is told, clean stores, and small builders and finders.
#include "IUi.h"
#include "LogCapture.h"
#include "MapStorage.h"
#include "MarkingTranslator.h"
#include "QtPrinters.h"
#include "SelectedStick.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using Ui::State;

// The widgets under test only use the facade's signals.
class SilentUi : public Ui::IUi {
public:
    void Activate() override { }
    void SetState(State) override { }
    void UpdateUsbs() override { }
    void ConfirmQuit() override { }
};

// Empties the process-wide catalogue and stick registry before and after a test.
struct CleanStores {
    CleanStores() { Clear(); }
    ~CleanStores() { Clear(); }
    static void Clear() { MapStorage::Instance().Clear(), UsbStorage::Instance().Clear(); }
};

// Collects, while it lives, Qt's messages that contain a text.
class QtMessages {
public:
    explicit QtMessages(const char* text) { needle = text, found.clear(); }
    ~QtMessages() { qInstallMessageHandler(previous); }
    const QStringList& Found() const { return found; }

private:
    static inline QString needle;
    static inline QStringList found;
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
              if (text.contains(needle))
                  found << text;
          });
};

// A map of 4 GB named "Map <id>"; a download under way holds 1 GB of it.
inline MapInfo Map(const std::string& id, MapInfo::Type type = MapInfo::Optional,
    MapInfo::State state = MapInfo::Available, const std::string& region = "EUR", bool root = false)
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

inline void Store(const MapInfo& map)
{
    MapStorage::Instance().UpdateMap(map);
}
template <typename T = QWidget> T* Child(const QObject* parent, const char* name)
{
    return parent->findChild<T*>(name);
}
inline void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Runs the action with a translator installed that marks every text it translates.
template <typename Action> void Marked(Action action)
{
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    action();
    QCoreApplication::removeTranslator(&translator);
}
