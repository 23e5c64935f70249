#pragma once

#include <QString>

namespace TestHome {

// Points HOME and the XDG folders at fresh folders below root, before Qt is
// set up, so that no test touches the real user's files.
void PointAt(const QString& root);

// Lets requests go straight to their host again (the local content service).
void ClearProxies();

} // namespace TestHome
