#include "ProductionCollaborators.h"

#include "FullMapUpdateManager.h"
#include "UsbManager.h"

Collaborators ProductionCollaborators(std::function<std::unique_ptr<Ui::IUi>()> makeUi)
{
    Collaborators collaborators;
    collaborators.makeUi = std::move(makeUi);
    collaborators.makeUsbManager = [] { return std::make_unique<UsbManager>(); };
    collaborators.makeMapUpdateManager = [] { return std::make_unique<FullMapUpdateManager>(); };
    return collaborators;
}
