#include "Footer.h"

#include "ui_FooterWidget.h"

#include <QListWidget>

namespace Ui {

Footer::Footer(QWidget* parent)
    : QWidget(parent)
    , form(std::make_unique<FooterWidget>())
    , usbList(new QListWidget(parent))
{
    form->setupUi(this);
    usbList->hide();
}

Footer::~Footer() = default;

void Footer::UpdateState() { }

void Footer::UpdateSpaceInfo() { }

void Footer::ToggleUsbList(bool) { }

void Footer::SetVisibleHeadUnitPanel(bool) { }

void Footer::SetVisibleUsbPanel(bool) { }

void Footer::RetranslateUi() { }

bool Footer::eventFilter(QObject* watched, QEvent* event)
{
    return QWidget::eventFilter(watched, event);
}

} // namespace Ui
