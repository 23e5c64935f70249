// Draws the user interface's pictures (docs/ keeps the reviewed ones) and
// checks that every text the window and the popup show fits its button or
// label in every language.
//
//   draw-pictures [--check-fit] [FOLDER]
//
// Without --check-fit: English only. With a folder: the pictures are written
// there. Exits with 1 when a text is cut off.
#include "Scenes.h"

#include "Resources.h"
#include "Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// The settings and the autostart entry go to a fresh home, never the user's.
bool UseFreshHome(const QTemporaryDir& root)
{
    if (!root.isValid())
        return false;
    for (const auto& [name, sub] : {std::pair {"HOME", "home"}, {"XDG_DATA_HOME", "home/.local/share"},
             {"XDG_CONFIG_HOME", "home/.config"}, {"XDG_CACHE_HOME", "home/.cache"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = root.filePath(sub);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::setenv(name, QFile::encodeName(path).constData(), 1);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const QTemporaryDir root(QDir::tempPath() + "/draw-pictures-XXXXXX");
    if (!UseFreshHome(root))
        return 2;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool everyLanguage = arguments.removeAll("--check-fit") > 0;
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments.front().startsWith("-"))) {
        std::fprintf(stderr, "usage: draw-pictures [--check-fit] [FOLDER]\n");
        return 2;
    }
    const QString folder = arguments.value(0);
    if (!folder.isEmpty())
        QDir().mkpath(folder);

    Fonts::Load();
    Scenes scenes(folder);
    scenes.Widgets();
    const QStringList locales = everyLanguage
        ? QStringList {"en_GB", "en_US", "de_DE", "fr_FR", "fr_CA", "es_ES", "es_MX", "pt_PT", "tr_TR"}
        : QStringList {"en_GB"};
    for (const QString& locale : locales) {
        if (!Settings::Instance().SetLocale(locale) && Settings::Instance().GetLanguage() != locale) {
            std::fprintf(stderr, "draw-pictures: no translation for %s\n", qPrintable(locale));
            return 2;
        }
        scenes.WindowAndPopup(locale);
    }
    for (const QString& text : scenes.Clipped())
        std::printf("cut off: %s\n", qPrintable(text));
    std::printf("draw-pictures: %d texts cut off in %d languages\n", static_cast<int>(scenes.Clipped().size()),
        static_cast<int>(locales.size()));
    return scenes.Clipped().isEmpty() ? 0 : 1;
}
