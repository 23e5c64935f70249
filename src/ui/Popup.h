#pragma once

#include "PopupLink.h"
#include "State.h"

#include <QDialog>
#include <QRect>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace Ui {

class IUi;
class PopupDialog; // uic's class for PopupDialog.ui

// The small frameless window beside the tray icon that tells at a glance what
// the application is doing: a strip about the USB stick, then a title, an
// icon, a text and one link. Each state brings it up (except three quiet
// cases); it stays 5000 ms, or as long as the mouse is over it, and then fades
// out. After the removed-stick message it holds that message until "Continue"
// is clicked or a download starts. GUI thread only; owned by the facade, a
// child window of the main window.
class Popup : public QDialog {
    Q_OBJECT

public:
    struct StateData {
        QString statusTitle;
        QString statusText;
        QString statusStyle; // style sheet of the status text label
        QString statusIcon;
        std::int32_t statusIconFrames; // as DynamicIcon::Init
        QString contentTitle;
        QString contentIcon;
        std::int32_t contentIconFrames;
        QString contentText;
        QString linkText;
        PopupLink link;
        StateData();
    };

    // The panel's rectangle and edge (TaskbarEdge) for a tray icon's rectangle.
    using TaskbarSource = std::function<QRect(int& edge, const QRect& trayIcon)>;

    Popup(IUi* facade, QWidget* parent = nullptr);
    ~Popup() override;

    void SetState(State newState);
    // Fills or hides the stick status strip.
    void UpdateStatus();
    // Places the popup beside the tray icon whose rectangle is given.
    void SetGeometry(const QRect& trayIcon);
    void ShowAndActivate();
    void setVisible(bool visible) override;

    // Where the panel is read from; the desktop's by default.
    void SetTaskbarSource(TaskbarSource source);

signals:
    void LinkClicked(PopupLink link);

public slots:
    void OnFadeTimeout();
    void OnLinkButtonClicked();
    void RetranslateUi();

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void CreateStateData();
    StateData Record(State s) const;
    void ApplyContent(const StateData& record);

    std::unique_ptr<PopupDialog> form;
    State state = State::Unknown;
    std::map<State, StateData> stateData;
    QTimer visibleTimer;
    QTimer fadeTimer;
    bool mouseInside = false;
    TaskbarSource taskbar;
};

} // namespace Ui
