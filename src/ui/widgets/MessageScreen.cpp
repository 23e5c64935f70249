#include "MessageScreen.h"

#include "IUi.h"
#include "ui_MessageScreenWidget.h"

namespace Ui {

MessageScreen::MessageScreen(IUi* facade, QWidget* parent)
    : QWidget(parent)
    , ui(facade)
    , form(std::make_unique<MessageScreenWidget>())
{
    form->setupUi(this);
}

MessageScreen::~MessageScreen() = default;

void MessageScreen::Show(MessageType) { }

void MessageScreen::Init(MessageType, const MapInfo&) { }

void MessageScreen::RetranslateUi() { }

} // namespace Ui
