#pragma once

#include "MapInfo.h"
#include "State.h"

#include <QObject>

namespace Ui {

// What the state machine sees of the user interface: four slots by which it
// says what to show, six signals by which the user says what to do.
class IUi : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~IUi() override = default;

public slots:
    virtual void Activate() = 0;
    virtual void SetState(State state) = 0;
    virtual void UpdateUsbs() = 0;
    virtual void ConfirmQuit() = 0;

signals:
    void DownloadMap(MapInfo::Id mapId);
    void CancelDownload();
    void Retry();
    void UpdateLocale();
    void Quit();
    void ForcedQuit();
};

} // namespace Ui
