#pragma once

#include <QMetaType>

#include <cstdint>
#include <ostream>

namespace Ui {

// The action behind the popup's link button, kept in its "LinkId" property.
enum class PopupLink : std::int32_t { Blank, Continue, Dismiss, ShowHelp, ManageMaps, Retry };

// Writes the value's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, PopupLink link);

} // namespace Ui

Q_DECLARE_METATYPE(Ui::PopupLink)
