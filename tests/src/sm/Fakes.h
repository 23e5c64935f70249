#pragma once

#include "Collaborators.h"
#include "IUi.h"
#include "MapDownloader.h"
#include "MetadataChecker.h"
#include "State.h"
#include "UsbInfo.h"

#include <QObject>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

// What the machine did to its collaborators, in order, one entry per call:
// "SetState MapUpdateCheck", "CheckMapUpdates", "DownloadMap EU", "quit", ...
using Journal = std::vector<std::string>;

// The user interface as the machine sees it: records the four slots, and
// emits the six signals when a test says so (never from inside a slot).
class FakeUi : public Ui::IUi {
    Q_OBJECT

public:
    explicit FakeUi(std::shared_ptr<Journal> journal)
        : journal(std::move(journal))
    {
    }
    ~FakeUi() override { journal->push_back("delete ui"); }

    void Activate() override { journal->push_back("Activate"); }
    void SetState(Ui::State state) override
    {
        std::ostringstream text;
        text << "SetState " << state;
        journal->push_back(text.str());
    }
    void UpdateUsbs() override { journal->push_back("UpdateUsbs"); }
    void ConfirmQuit() override { journal->push_back("ConfirmQuit"); }

private:
    std::shared_ptr<Journal> journal;
};

class FakeUsbManager : public QObject {
    Q_OBJECT

public:
    explicit FakeUsbManager(std::shared_ptr<Journal> journal)
        : journal(std::move(journal))
    {
    }
    ~FakeUsbManager() override { journal->push_back("delete usb manager"); }

    Q_INVOKABLE void StartUsbDiscovery() { journal->push_back("StartUsbDiscovery"); }

signals:
    void UsbCheckStarted();
    void UsbCheckComplete(UsbInfo::Id usbId);
    void UsbRemoved(UsbInfo::Id usbId);

public slots:
    void Stop() { journal->push_back("Stop usb manager"); }

private:
    std::shared_ptr<Journal> journal;
};

class FakeMapUpdateManager : public QObject {
    Q_OBJECT

public:
    explicit FakeMapUpdateManager(std::shared_ptr<Journal> journal)
        : journal(std::move(journal))
    {
    }
    ~FakeMapUpdateManager() override { journal->push_back("delete map update manager"); }

signals:
    void RootUpdatesChecked(MetadataChecker::Result result);
    void RelatedUpdatesChecked(MetadataChecker::Result result);
    void OperationStarted();
    void OperationFinished(MapDownloader::Result result);
    void CheckStarted();

public slots:
    void CheckMapUpdates()
    {
        journal->push_back("CheckMapUpdates");
        emit CheckStarted();
    }
    void AbortCheck() { journal->push_back("AbortCheck"); }
    void UpdateLocale() { journal->push_back("UpdateLocale"); }
    void DownloadMap(MapInfo::Id mapId) { journal->push_back("DownloadMap " + mapId); }
    void AbortMapDownload() { journal->push_back("AbortMapDownload"); }
    void Stop() { journal->push_back("Stop map update manager"); }

private:
    std::shared_ptr<Journal> journal;
};

// The fake whose slots can be put out of reach of calls by name, as a slot
// renamed behind the check at start would be.
class ReachableMapUpdateManager : public FakeMapUpdateManager {
public:
    using FakeMapUpdateManager::FakeMapUpdateManager;
    const QMetaObject* metaObject() const override
    {
        return reachable ? FakeMapUpdateManager::metaObject() : &QObject::staticMetaObject;
    }
    bool reachable = true;
};

// Makes a fake on the journal and, when asked, points `made` at it.
template <class Fake> auto FakeMaker(const std::shared_ptr<Journal>& journal, Fake** made = nullptr)
{
    return [journal, made] {
        auto fake = std::make_unique<Fake>(journal);
        if (made)
            *made = fake.get();
        return fake;
    };
}

// The three fakes, the managers kept on the GUI thread.
inline Collaborators FakeCollaborators(const std::shared_ptr<Journal>& journal, FakeUi** ui = nullptr,
    FakeUsbManager** usb = nullptr, ReachableMapUpdateManager** maps = nullptr)
{
    Collaborators collaborators;
    collaborators.makeUi = FakeMaker(journal, ui);
    collaborators.makeUsbManager = FakeMaker(journal, usb);
    collaborators.makeMapUpdateManager = FakeMaker(journal, maps);
    collaborators.managersOnThreads = false;
    return collaborators;
}
