#include "Resources.h"

#include "Log.h"

#include <QFile>
#include <QFontDatabase>
#include <QWidget>

#include <stdexcept>

namespace Fonts {

void Load()
{
    static const char* const paths[]
        = {":/fonts/DravoSans-Bold.ttf", ":/fonts/DravoSans-Medium.ttf", ":/fonts/DravoSans-Regular.ttf"};
    LOG(Info) << "Loading application fonts";
    for (const char* path : paths) {
        if (QFontDatabase::addApplicationFont(path) < 0)
            LOG(Error) << "Failed to load font from: " << path;
    }
}

QFont Get(FontType type, int pixelSize)
{
    static const char* const families[] = {"Dravo Sans Regular", "Dravo Sans Medium", "Dravo Sans Bold"};
    if (type < Regular || type > Bold)
        throw std::logic_error("Failed to get a font: font type is not supported");
    QFont font;
    font.setFamily(families[type]);
    font.setPixelSize(pixelSize);
    font.setKerning(false);
    return font;
}

} // namespace Fonts

void LoadStylesheet(const QString& path, QWidget* widget)
{
    LOG(Debug) << "Loading stylesheet from: " << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LOG(Warning) << "Could not open file: " << path;
        return; // the widget keeps its style
    }
    widget->setStyleSheet(QString::fromUtf8(file.readAll()));
}
