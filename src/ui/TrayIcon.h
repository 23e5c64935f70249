#pragma once

#include "State.h"

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QMenu;

namespace Ui {

class IUi;

// The application's icon in the notification area: one of four images, a
// two-line tooltip (the application name, then a status text) and a menu with
// "Open application", "Settings" and "Quit". What it shows follows the state
// the facade forwards; it turns clicks and menu entries into signals. It stays
// hidden until the first state arrives. GUI thread only; owned by the facade.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    struct StateData {
        QString icon; // resource path of the image
        QString toolTip; // untranslated status text
        bool openApplicationEnabled = true;
        bool settingsEnabled = true;
        std::function<void()> refresh; // run at each SetState before the record is applied
    };

    TrayIcon(IUi* facade, QObject* parent = nullptr);
    ~TrayIcon() override;

    void SetState(State newState);
    // The icon's rectangle on the screen, by which the popup is placed.
    QRect GetGeometry() const;

signals:
    void Clicked();
    void OpenApplicationClicked();
    void SettingsClicked();

public slots:
    void RetranslateUi();
    void CreateStateData();

private:
    enum Action { OpenApplication = 0, Settings = 1, Quit = 2 };

    void SetActionTexts();
    StateData Record(State s) const;
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    IUi* ui;
    QSystemTrayIcon* trayIcon; // a child of this object
    std::unique_ptr<QMenu> menu;
    std::map<int, QAction*> actions; // owned by the menu
    State state = State::Unknown;
    std::map<State, StateData> stateData;
    // One icon per image: Qt caches each icon's scaled copies under the
    // icon's own key, so a new icon at every state change filled that cache.
    std::map<QString, QIcon> icons;
};

} // namespace Ui
