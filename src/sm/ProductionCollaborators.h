#pragma once

#include "Collaborators.h"

// The real USB manager and map update manager on threads of their own, with
// the given user interface.
Collaborators ProductionCollaborators(std::function<std::unique_ptr<Ui::IUi>()> makeUi);
