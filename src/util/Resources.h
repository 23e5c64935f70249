#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

class QWidget;

namespace Fonts {

// The three application fonts compiled into the resources.
enum FontType : std::int32_t { Regular = 0, Medium = 1, Bold = 2 };

// Registers the compiled-in fonts with the application's font database.
void Load();

// A font of the given type and pixel size, without kerning. Throws
// std::logic_error for a type outside the enumeration.
QFont Get(FontType type, int pixelSize);

} // namespace Fonts

// Sets the text of a compiled-in style sheet on the widget; a sheet that cannot
// be opened is logged and the widget keeps its style.
void LoadStylesheet(const QString& path, QWidget* widget);
