// Draws every icon of the application into a resource folder, the frames of the
// animated spinner into a scratch folder, and a contact sheet of all of them.
// Run by generate.sh; the output is committed, so the build never runs this.

#include "ContactSheet.h"
#include "Glyphs.h"
#include "IconCatalogue.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

QString LoadFont(const QString& file)
{
    const int id = QFontDatabase::addApplicationFont(file);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        std::fprintf(stderr, "draw-icons: cannot load the font %s\n", qPrintable(file));
        return {};
    }
    return families.first();
}

bool Save(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Quality 0 asks for the strongest compression.
    if (image.save(path, "PNG", 0))
        return true;
    std::fprintf(stderr, "draw-icons: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QString fonts = "/usr/share/fonts/truetype/dejavu/";
    parser.addOptions({
        {"icons", "Folder that receives the icons.", "dir"},
        {"frames", "Folder that receives the frames of the animated spinner.", "dir"},
        {"sheet", "Contact sheet to write.", "png"},
        {"mark-font", "Font of the word mark and glyphs.", "ttf", fonts + "DejaVuSans-Bold.ttf"},
        {"label-font", "Font of the contact sheet's labels.", "ttf", fonts + "DejaVuSans.ttf"},
    });
    parser.process(app);
    if (!parser.isSet("icons") || !parser.isSet("frames") || !parser.isSet("sheet"))
        parser.showHelp(2);

    const QString markFamily = LoadFont(parser.value("mark-font"));
    const QString labelFamily = LoadFont(parser.value("label-font"));
    if (markFamily.isEmpty() || labelFamily.isEmpty())
        return 1;
    Glyphs::SetFontFamily(markFamily);

    const std::vector<IconGroup> groups = IconCatalogue();
    int written = 0;
    for (const IconGroup& group : groups) {
        const QDir folder(parser.value(group.resource ? "icons" : "frames"));
        for (const Icon& icon : group.icons) {
            if (!Save(icon.Render(), folder.filePath(icon.path)))
                return 1;
            ++written;
        }
    }
    if (!Save(ContactSheet(groups, labelFamily), parser.value("sheet")))
        return 1;
    std::printf("draw-icons: %d pictures and the contact sheet written\n", written);
    return 0;
}
