#pragma once

#include "MapInfo.h"
#include "MapStorage.h"
#include "PopupLink.h"
#include "State.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

namespace Ui {

class AimedReturn;
class IUi;
class MainWindowDialog; // uic's class for MainWindowDialog.ui
class MessageScreen;
class SettingsScreen;
enum class MessageType : std::int32_t;

// The application's window: a header with three buttons, the maps, settings
// and message pages, and the footer. It turns each state into what the user
// sees through a per-state table, offers the user's choices as buttons and
// hands them to the state machine through the facade's signals, which run the
// machine (and a nested SetState) before the emitting handler continues.
// GUI thread only; created hidden and owned by the facade.
class MainWindow : public QDialog {
    Q_OBJECT

public:
    // The index in the page stack, and in the maps page's screen stack.
    enum class Page : std::int32_t { None = -1, Maps = 0, Settings = 1, Message = 2 };
    enum class Screen : std::int32_t { None = -1, MapUpdates = 0, Message = 1 };

    struct StateData {
        QString title; // English banner title, translated when shown
        QString text; // English banner text; the banner shows exactly when it is not empty
        QPixmap image;
        std::function<void()> action; // run on every SetState with this state
        bool mapUpdatesEnabled = true; // also: entering a state without it hides the window
        bool settingsEnabled = true;
    };

    explicit MainWindow(IUi* facade, QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetPage(Page newPage);
    void SetScreen(Screen newScreen);
    void ShowMapMessageScreen();
    // The maps page's message screen as a prompt: the focus on its default.
    void ShowMapPrompt();
    void ShowMapUpdatesScreen();
    void ShowQuitApplicationMessage();

    // The map list.
    void AddTitleRow(int row, const QString& title);
    void AddMessageRow(int row, const QString& title, const QString& message);
    void AddMapRow(int row, const MapInfo& mapInfo);
    void SetRootMaps(const MapStorage::Maps& maps);
    void SetOptionalMap(const MapInfo& mapInfo);
    void SetPendingMap(const MapInfo& mapInfo);

    // Full-page messages on the maps page; none of them shows the window.
    void SetMandatoryMap(const MapInfo& mapInfo);
    void SetDownloadingMap(const MapInfo& mapInfo);
    void SetDeletingMap(const MapInfo& mapInfo);
    void SetUsbTooSmall(const MapInfo& mapInfo);
    void SetNoConnection();
    void SetServerError();
    void SetSubscriptionExpired();
    void SetUsbBlocked();
    void SetUsbFull();
    void SetNoUsb();

    void CancelMapDownload();
    void RetryMapDownload();

public slots:
    void Show();
    void Hide();
    void SetState(::Ui::State newState);
    void UpdateUsbs();
    void PopupClicked(::Ui::PopupLink link);
    void ShowMapsPage();
    void ShowSettingsPage();
    void ShowMessagePage();
    void RetranslateUi();
    void ShowUpdateMapMessage(const MapInfo& mapInfo);
    void ShowStopDownloadMessage();
    void ShowDiscardUpdateMessage();
    void ShowDiscardSettingsMessage(bool forced);

private:
    using Handler = std::function<void()>;

    void SetUpForm();
    void Connect();
    void CreateStateData();
    StateData Record(State s) const;
    // False when the state has no action.
    bool RunAction(State s);
    void ApplyHeader(const StateData& record);
    void ApplyBanner(const StateData& record);
    void SelectMapsPage();
    void SelectSettingsPage();
    Page PageBeforePrompt() const;
    bool PageNamesDefault() const;
    // On a page that names no default the focus stays only on the button the
    // user chose; else it goes to the window itself, from where Tab reaches
    // the first control. A button the program put it on would show the ring,
    // yet Return does nothing there while Space presses it.
    void DropUnchosenFocus();
    void RefreshSubscription();
    void ShowMapsOrDiscardSettings();

    void ClearMapList();
    void PlaceRow(int row, QWidget* widget);
    // Rows come after the footer in the tab order as they are made; it stands below them.
    void KeepFooterLastInTabOrder();
    void PutMapsMessage(MessageType kind, Handler first, Handler second = {});
    // False, with nothing rewired, when the map is not valid.
    bool PutMapsMessage(MessageType kind, const MapInfo& mapInfo, Handler first, Handler second = {});
    void Rewire(MessageScreen* screen, Handler first, Handler second);
    void StartDownload(const MapInfo::Id& mapId);
    void ReturnToPreviousScreen();

    // The per-state actions.
    void ShowDeletingMap();
    void ShowDownloadingMap();
    void ShowMandatoryMap();
    void ShowOptionalMap();
    void ShowInstalledMap();
    void ShowPendingMap();
    void ShowRootMaps();
    void ShowUsbTooSmall();
    void ShowConnectionLost();
    void ShowServerUnavailable();
    void ShowNetworkError(State networkState, void (MainWindow::*setter)());

    IUi* ui;
    std::unique_ptr<MainWindowDialog> form;
    MessageScreen* mapsMessageScreen;
    MessageScreen* messageScreen;
    SettingsScreen* settingsScreen;
    AimedReturn* aimedReturn = nullptr;
    Page page = Page::None;
    Page previousPage = Page::None;
    Screen screen = Screen::None;
    Screen previousScreen = Screen::None;
    State state = State::Unknown;
    std::map<State, StateData> stateData;
};

// Writes the value's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, MainWindow::Page page);
std::ostream& operator<<(std::ostream& out, MainWindow::Screen screen);

// The root maps in the order the list shows them: by region (byte-wise, so
// "EUR" before "NAM"), then by id, so that rebuilding the list never swaps
// the rows of one region.
std::vector<MapInfo> SortRootMaps(const MapStorage::Maps& maps);

} // namespace Ui
