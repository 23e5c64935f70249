// The maps page of the main window: the map list, its full-page messages and
// the prompts about a map.
#include "MainWindow.h"

#include "Footer.h"
#include "IUi.h"
#include "Log.h"
#include "MessageScreen.h"
#include "Resources.h"
#include "TableRow.h"
#include "UsbStorage.h"
#include "ui_MainWindowDialog.h"
#include "ui_MessageRowWidget.h"
#include "ui_TitleRowWidget.h"

#include <QCoreApplication>

#include <algorithm>
#include <tuple>

namespace Ui {

namespace {

const char* const kTitleRowStyle = ":/styles/TitleRowWidget.qss";
const char* const kMessageRowStyle = ":/styles/MessageRowWidget.qss";

QString Translate(const char* text)
{
    return QCoreApplication::translate("global", text);
}

} // namespace

std::vector<MapInfo> SortRootMaps(const MapStorage::Maps& maps)
{
    std::vector<MapInfo> sorted;
    sorted.reserve(maps.size());
    for (const auto& entry : maps)
        sorted.push_back(entry.second);
    std::sort(sorted.begin(), sorted.end(),
        [](const MapInfo& a, const MapInfo& b) { return std::tie(a.region, a.id) < std::tie(b.region, b.id); });
    return sorted;
}

void MainWindow::PlaceRow(int row, QWidget* widget)
{
    QTableWidget* table = form->tableWidgetMapUpdates;
    if (table->rowCount() < row + 1)
        table->setRowCount(row + 1);
    table->setCellWidget(row, 0, widget);
    table->setRowHeight(row, widget->height());
    KeepFooterLastInTabOrder();
}

void MainWindow::AddTitleRow(int row, const QString& title)
{
    auto* widget = new QWidget(this);
    LoadStylesheet(kTitleRowStyle, widget);
    TitleRowWidget rowForm;
    rowForm.setupUi(widget);
    rowForm.labelTitle->setFont(Fonts::Get(Fonts::Bold, 18));
    rowForm.labelTitle->setText(rowForm.labelTitle->text().replace("%TITLE%", title));
    PlaceRow(row, widget);
}

void MainWindow::AddMessageRow(int row, const QString& title, const QString& message)
{
    auto* widget = new QWidget(this);
    LoadStylesheet(kMessageRowStyle, widget);
    MessageRowWidget rowForm;
    rowForm.setupUi(widget);
    rowForm.labelTitle->setFont(Fonts::Get(Fonts::Bold, 18));
    rowForm.labelTitle->setText(title);
    rowForm.labelTitle->show();
    rowForm.labelMessage->setFont(Fonts::Get(Fonts::Regular, 12));
    rowForm.labelMessage->setText(message);
    rowForm.labelMessage->show();
    PlaceRow(row, widget);
}

void MainWindow::AddMapRow(int row, const MapInfo& mapInfo)
{
    auto* widget = new TableRow(mapInfo, this);
    connect(widget, &TableRow::ResetMapButtonClicked, this, [this](const MapInfo& map) {
        if (UsbStorage::Instance().IsEmpty())
            SetNoUsb();
        else
            ShowUpdateMapMessage(map);
    });
    connect(widget, &TableRow::DiscardMapButtonClicked, this, &MainWindow::ShowDiscardUpdateMessage);
    PlaceRow(row, widget);
}

void MainWindow::ClearMapList()
{
    form->widgetFooter->UpdateState();
    form->tableWidgetMapUpdates->clearContents(); // the rows go later, so a row's own click may run on
    form->tableWidgetMapUpdates->setRowCount(0);
}

void MainWindow::SetRootMaps(const MapStorage::Maps& maps)
{
    LOG(Debug) << "Setting: " << maps.size() << " root maps";
    RefreshSubscription();
    ClearMapList();
    AddTitleRow(0, Translate(QT_TRANSLATE_NOOP("global", "Available maps")));
    int row = 1;
    for (const MapInfo& map : SortRootMaps(maps))
        AddMapRow(row++, map);
    SetScreen(Screen::MapUpdates);
}

void MainWindow::SetOptionalMap(const MapInfo& mapInfo)
{
    LOG(Debug) << "Setting optional map: " << mapInfo.id;
    RefreshSubscription();
    ClearMapList();
    AddTitleRow(0, Translate(QT_TRANSLATE_NOOP("global", "Available maps")));
    AddMessageRow(1, Translate(QT_TRANSLATE_NOOP("global", "No maps available")),
        Translate(QT_TRANSLATE_NOOP("global", "Available map updates already downloaded.")));
    AddTitleRow(2, Translate(QT_TRANSLATE_NOOP("global", "Optional map updates")));
    AddMapRow(3, mapInfo);
    SetScreen(Screen::MapUpdates);
}

void MainWindow::SetPendingMap(const MapInfo& mapInfo)
{
    LOG(Debug) << "Setting pending map: " << mapInfo.id;
    ClearMapList();
    AddTitleRow(0, Translate(QT_TRANSLATE_NOOP("global", "Pending map updates")));
    AddMapRow(1, mapInfo);
    SetScreen(Screen::MapUpdates);
}

void MainWindow::PutMapsMessage(MessageType kind, Handler first, Handler second)
{
    mapsMessageScreen->Show(kind);
    Rewire(mapsMessageScreen, std::move(first), std::move(second));
}

bool MainWindow::PutMapsMessage(MessageType kind, const MapInfo& mapInfo, Handler first, Handler second)
{
    mapsMessageScreen->Init(kind, mapInfo);
    // Without a map the page keeps the message before it; its buttons must
    // keep their own handlers, or "Continue" would ask for a map without id.
    if (!mapInfo.IsValid())
        return false;
    Rewire(mapsMessageScreen, std::move(first), std::move(second));
    return true;
}

void MainWindow::StartDownload(const MapInfo::Id& mapId)
{
    LOG(Debug) << "Starting map download";
    emit ui->DownloadMap(mapId);
}

void MainWindow::ReturnToPreviousScreen()
{
    LOG(Debug) << "Returning to previous screen";
    SetScreen(previousScreen);
}

void MainWindow::SetDeletingMap(const MapInfo& mapInfo)
{
    LOG(Debug) << "Setting deleting map: " << mapInfo.id;
    form->widgetFooter->UpdateState();
    mapsMessageScreen->Show(MessageType::MapDelete); // no buttons, so no handlers to replace
    SetScreen(Screen::Message);
}

void MainWindow::SetDownloadingMap(const MapInfo& mapInfo)
{
    LOG(Debug) << "Setting downloading map: " << mapInfo.id;
    form->widgetFooter->UpdateState();
    PutMapsMessage(MessageType::MapDownload, [this] { ShowStopDownloadMessage(); });
    SetScreen(Screen::Message);
}

void MainWindow::SetMandatoryMap(const MapInfo& mapInfo)
{
    LOG(Debug) << "Setting mandatory map: " << mapInfo.id;
    RefreshSubscription();
    form->widgetFooter->UpdateState();
    if (PutMapsMessage(MessageType::MapUpdate, mapInfo, [this, id = mapInfo.id] { StartDownload(id); }))
        SetScreen(Screen::Message);
}

void MainWindow::SetNoConnection()
{
    LOG(Debug) << "Showing no connection message";
    PutMapsMessage(
        MessageType::NoConnection, [this] { RetryMapDownload(); }, [this] { ShowStopDownloadMessage(); });
    SetScreen(Screen::Message);
}

void MainWindow::SetServerError()
{
    LOG(Debug) << "Showing server error message";
    PutMapsMessage(
        MessageType::ServerError, [this] { RetryMapDownload(); }, [this] { ShowStopDownloadMessage(); });
    SetScreen(Screen::Message);
}

void MainWindow::SetSubscriptionExpired()
{
    LOG(Debug) << "Showing subscription expired message";
    RefreshSubscription();
    PutMapsMessage(
        MessageType::SubscriptionExpired, [this] { StartDownload(MapStorage::Instance().GetInstalledMap().id); });
    SetScreen(Screen::Message);
}

void MainWindow::SetUsbBlocked()
{
    LOG(Debug) << "Showing usb blocked message";
    PutMapsMessage(MessageType::UsbBlocked, [this] { CancelMapDownload(); });
    SetScreen(Screen::Message);
}

void MainWindow::SetUsbFull()
{
    LOG(Debug) << "Showing usb full message";
    PutMapsMessage(MessageType::UsbFull, [this] { CancelMapDownload(); });
    SetScreen(Screen::Message);
}

void MainWindow::SetUsbTooSmall(const MapInfo& mapInfo)
{
    LOG(Debug) << "Showing usb too small message";
    if (PutMapsMessage(MessageType::UsbTooSmall, mapInfo, [this] { CancelMapDownload(); }))
        SetScreen(Screen::Message);
}

void MainWindow::SetNoUsb()
{
    LOG(Debug) << "Showing no usb message";
    PutMapsMessage(MessageType::NoUsb, [this] { ShowMapUpdatesScreen(); });
    SetScreen(Screen::Message);
}

void MainWindow::ShowUpdateMapMessage(const MapInfo& mapInfo)
{
    LOG(Debug) << "Showing update map message";
    if (PutMapsMessage(
            MessageType::MapUpdate, mapInfo, [this, id = mapInfo.id] { StartDownload(id); },
            [this] { ReturnToPreviousScreen(); }))
        ShowMapPrompt();
}

void MainWindow::ShowDiscardUpdateMessage()
{
    LOG(Debug) << "Showing discard update message";
    PutMapsMessage(
        MessageType::DiscardUpdate, [this] { CancelMapDownload(); }, [this] { ReturnToPreviousScreen(); });
    ShowMapPrompt();
}

void MainWindow::ShowStopDownloadMessage()
{
    LOG(Debug) << "Showing stop download message";
    PutMapsMessage(
        MessageType::StopDownload, [this] { CancelMapDownload(); },
        [this] {
            LOG(Debug) << "Returning to previous screen";
            // The current state's action puts back the page it shows; a state
            // without one leaves nothing to put back but the screen before.
            if (!RunAction(state))
                SetScreen(previousScreen);
        });
    ShowMapPrompt();
}

} // namespace Ui
