#pragma once

#include "MapInfo.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui {

class IUi;
class MessageScreenWidget; // uic's class for MessageScreenWidget.ui

// The kind of a full-page message. The numbers are fixed: the main window
// passes them.
enum class MessageType : std::int32_t {
    MapDelete = 0,
    DiscardUpdate = 1,
    SaveSettings = 2,
    MapDownload = 3,
    HeadUnitFull = 4,
    NoConnection = 5,
    NoUsb = 6,
    QuitApplication = 7,
    ServerError = 8,
    StopDownload = 9,
    SubscriptionExpired = 10,
    None = 11,
    MapUpdate = 12,
    UsbBlocked = 13,
    UsbFull = 14,
    UsbTooSmall = 15,
};

// A full-page message of the main window: an icon or progress picture, a
// title, a description and up to two buttons. It builds the texts of each
// kind in the current language and tells its owner which button was pressed;
// it decides nothing itself. The download and deletion pages re-read the map
// catalogue every 500 ms. GUI thread only; owned by the main window.
class MessageScreen : public QWidget {
    Q_OBJECT

public:
    MessageScreen(IUi* facade, QWidget* parent = nullptr);
    ~MessageScreen() override;

    // Shows a kind that needs no map; the map-dependent kinds and values
    // outside the enumeration leave the content as it is.
    void Show(MessageType messageType);
    // Shows a kind that needs a map; an invalid map changes nothing at all.
    void Init(MessageType messageType, const MapInfo& mapInfo);
    // Puts the focus on the page's default, or on no button where it names
    // none, as a prompt shows: a Return the user did not aim confirms nothing.
    void FocusDefault();

public slots:
    // Rebuilds the message on show in the current language.
    void RetranslateUi();

signals:
    void FirstButtonClicked();
    void SecondButtonClicked();

private:
    void SetContent(const QString& title, const QString& description, const QString& firstText,
        const QString& secondText, int progress, bool deletion);
    // Stops both refreshes and enables both buttons, ahead of a new message.
    void StartOver();
    void OnButtonClicked(bool first);

    // The pages of a fixed text under the warning icon, one builder for all.
    void ShowWarning(MessageType messageType);
    // The two progress pages; also the slots of their timers.
    void ShowMapDownload();
    void ShowMapDelete();
    void ShowMapUpdate(const MapInfo& mapInfo);
    void ShowUsbTooSmall(const MapInfo& mapInfo);

    IUi* ui;
    std::unique_ptr<MessageScreenWidget> form;
    MessageType type = MessageType::None;
    MapInfo map;
    QTimer downloadTimer;
    QTimer deletionTimer;
};

} // namespace Ui
