#include "Footer.h"

#include "ElidedText.h"
#include "Filesystem.h"
#include "Log.h"
#include "MapStorage.h"
#include "Progress.h"
#include "Resources.h"
#include "UsbStorage.h"
#include "ui_FooterWidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTextDocument>

#include <algorithm>
#include <initializer_list>

namespace Ui {

namespace {

constexpr int kRefreshMs = 1000;
// The list ends this far short of the stick label's right edge.
constexpr int kListRightInset = 16;
const char* const kFreeColour = "#005691";
const char* const kNothingFreeColour = "#EA0016";

using Widgets = std::initializer_list<QWidget*>;

} // namespace

Footer::Footer(QWidget* parent)
    : QWidget(parent)
    , form(std::make_unique<FooterWidget>())
    , usbList(new QListWidget(parent))
{
    form->setupUi(this);
    LoadStylesheet(":/styles/FooterWidget.qss", this);
    for (QLabel* label : {form->labelHu, form->labelHuSpace, form->labelUsb, form->labelUsbSpace})
        label->setFont(Fonts::Get(Fonts::Medium, 12));
    // The space texts are markup of our own around sizes; never guess.
    form->labelHuSpace->setTextFormat(Qt::RichText);
    form->labelUsbSpace->setTextFormat(Qt::RichText);
    // Stick paths are shown as they are; what tells sticks apart is mostly at a path's end.
    form->labelUsb->setTextFormat(Qt::PlainText);
    usbPath = new ElidedText(form->labelUsb, Qt::ElideMiddle);

    usbList->setSortingEnabled(true);
    usbList->setFocusPolicy(Qt::NoFocus);
    usbList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    usbList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    usbList->setTextElideMode(Qt::ElideMiddle);
    usbList->setFont(Fonts::Get(Fonts::Regular, 12));
    LoadStylesheet(":/styles/UsbListWidget.qss", usbList);
    usbList->hide();
    form->pushButtonUsb->setChecked(false);

    connect(form->pushButtonUsb, &QPushButton::clicked, this, &Footer::ToggleUsbList);
    connect(usbList, &QListWidget::itemClicked, this, &Footer::OnItemClicked);
    connect(&spaceTimer, &QTimer::timeout, this, &Footer::UpdateSpaceInfo);
    qApp->installEventFilter(this);
}

Footer::~Footer()
{
    // Without a parent nobody else would delete the list.
    if (!usbList->parent())
        delete usbList;
}

void Footer::UpdateState()
{
    LOG(Debug) << "Updating state";
    usbList->clear();
    SetVisibleUsbPanel(false);
    SetVisibleHeadUnitPanel(false);

    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (!selected.IsValid()) {
        HideUsbList(); // nothing to choose from: an open list would float empty
        return;
    }
    SetVisibleUsbPanel(true);
    usbPath->SetText(QString::fromStdWString(selected.path));

    const auto addItem = [this](const UsbInfo& usb, bool isSelected) {
        auto* item = new QListWidgetItem(QString::fromStdWString(usb.path));
        item->setData(Qt::UserRole, QVariant::fromValue<quint64>(usb.id));
        item->setToolTip(Qt::convertFromPlainText(item->text()));
        usbList->addItem(item);
        item->setSelected(isSelected);
    };
    if (selected.state == UsbInfo::NoMetadata) {
        for (const auto& [id, usb] : UsbStorage::Instance().GetUsbs(UsbInfo::NoMetadata))
            addItem(usb, id == selected.id);
    } else {
        addItem(selected, true);
        SetVisibleHeadUnitPanel(true);
    }

    UpdateSpaceInfo();

    const MapStorage& maps = MapStorage::Instance();
    const bool busy = maps.GetDownloadingMap().IsValid() || maps.GetDeletingMap().IsValid();
    form->pushButtonUsb->setEnabled(usbList->count() > 1 && !busy);

    if (isVisible()) { // an open list takes its new size and place
        ToggleUsbList();
        ToggleUsbList();
    }
}

void Footer::UpdateSpaceInfo()
{
    spaceTimer.start(kRefreshMs);
    const UsbInfo selected = UsbStorage::Instance().GetSelectedUsb();
    if (!selected.IsValid())
        return;
    if (selected.state != UsbInfo::NoMetadata) {
        const SubscriptionInfo subscription = MapStorage::Instance().GetSubscription();
        const std::int64_t freeSpace = std::max<std::int64_t>(subscription.availableMapSpace, 0);
        const std::int64_t totalSpace = std::max<std::int64_t>(subscription.totalMapSpace, 0);
        LOG(Debug) << "Setting head unit free space: " << freeSpace << ", total space: " << totalSpace;
        SetSpaceInfo(freeSpace, totalSpace, form->progressBarHu, form->labelHuSpace);
    }
    LOG(Debug) << "Setting usb free space: " << selected.availableSpace << ", total space: " << selected.totalSpace;
    SetSpaceInfo(static_cast<std::int64_t>(selected.availableSpace), static_cast<std::int64_t>(selected.totalSpace),
        form->progressBarUsb, form->labelUsbSpace);
}

void Footer::SetSpaceInfo(std::int64_t freeSpace, std::int64_t totalSpace, QProgressBar* bar, QLabel* label)
{
    const QString colour = freeSpace != 0 ? kFreeColour : kNothingFreeColour;
    bar->setStyleSheet(QString("::chunk{ background: %1; }").arg(colour));
    bar->setValue(UsedBarValue(freeSpace, totalSpace, bar->minimum(), bar->maximum()));
    // The free figure in the colour, then " free of" and the total in grey;
    // the grey element is closed after the translated text.
    const QString figure = QString("<font color=\"%1\" valign=\"center\">%2</font><font color=\"#606061\">")
                               .arg(colour, FormatSize(static_cast<std::uint64_t>(freeSpace), 2));
    label->setText(QCoreApplication::translate("global", "%1 free of %2")
                       .arg(figure, FormatSize(static_cast<std::uint64_t>(totalSpace), 2))
        + "</font>");
}

void Footer::ToggleUsbList(bool)
{
    LOG(Debug) << "Toggling usb list";
    if (usbList->isVisible()) {
        HideUsbList();
        return;
    }
    const QLabel* label = form->labelUsb;
    const int width = label->x() + label->width() - kListRightInset;
    const int height = usbList->sizeHintForRow(0) * usbList->count() + 1;
    usbList->resize(width, height);
    usbList->move(x(), y() + label->y() - height - form->gLayoutFooter->verticalSpacing());
    usbList->show();
    usbList->raise();
    form->pushButtonUsb->setChecked(true);
}

void Footer::HideUsbList()
{
    usbList->hide();
    form->pushButtonUsb->setChecked(false);
}

void Footer::OnItemClicked(QListWidgetItem* item)
{
    UsbInfo usb = UsbStorage::Instance().GetUsb(item->data(Qt::UserRole).value<quint64>());
    if (!usb.IsValid())
        return; // the stick went away while the list was open
    usb.selected = true;
    UsbStorage::Instance().UpdateUsb(usb);
    UpdateState();
}

bool Footer::eventFilter(QObject* watched, QEvent* event)
{
    // A press reaches the window object before the widget under the mouse, so
    // only widgets are looked at: the list must live until its item has the
    // click, and the button toggles the list itself.
    if (event->type() == QEvent::MouseButtonPress && usbList->isVisible() && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const bool own
            = widget == this || widget == form->pushButtonUsb || widget == usbList || usbList->isAncestorOf(widget);
        if (!own) {
            LOG(Debug) << "Hiding usb list";
            HideUsbList();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Footer::SetVisibleHeadUnitPanel(bool visible)
{
    LOG(Debug) << (visible ? "Showing" : "Hiding") << " navigation panel";
    for (QWidget* widget : Widgets {form->labelHuIcon, form->labelHu, form->progressBarHu, form->labelHuSpace})
        widget->setVisible(visible);
}

void Footer::SetVisibleUsbPanel(bool visible)
{
    LOG(Debug) << (visible ? "Showing" : "Hiding") << " memory drive panel";
    for (QWidget* widget :
        Widgets {form->pushButtonUsb, form->labelUsbIcon, form->labelUsb, form->progressBarUsb, form->labelUsbSpace})
        widget->setVisible(visible);
}

void Footer::RetranslateUi()
{
    form->labelHu->setText(QCoreApplication::translate("global", "Navigation System"));
    form->labelHu->adjustSize();
    // Both caption columns are as wide as the translated head-unit caption.
    form->labelUsb->setFixedWidth(form->labelHu->width());
}

} // namespace Ui
