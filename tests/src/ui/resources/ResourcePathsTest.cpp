#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <QString>

#include <gtest/gtest.h>

#include <vector>

// Every compiled-in file the program loads by path.

namespace {

std::vector<QString> Sequence(const QString& pattern, int first, int last)
{
    std::vector<QString> paths;
    for (int frame = first; frame <= last; ++frame)
        paths.push_back(pattern.arg(frame));
    return paths;
}

std::vector<QString> IconPaths()
{
    std::vector<QString> paths = {":/icons/PNG/256.png", ":/icons/chevron-forward.png",
        ":/icons/ic_checkbox_filled.png", ":/icons/ic_connected.png", ":/icons/ic_device_notification.png",
        ":/icons/ic_dropdown_arrow_down.png", ":/icons/ic_dropdown_arrow_up.png", ":/icons/ic_footer_head-unit.png",
        ":/icons/ic_footer_usb.png", ":/icons/ic_help.png", ":/icons/ic_help_active.png", ":/icons/ic_help_hover.png",
        ":/icons/ic_settings.png", ":/icons/ic_settings_active.png", ":/icons/ic_settings_disabled.png",
        ":/icons/ic_settings_hover.png", ":/icons/ic_spinner.gif", ":/icons/ic_warning_big.png",
        ":/icons/ic_win_attention.png", ":/icons/ic_win_default.png", ":/icons/ic_win_finished.png",
        ":/icons/ic_win_progress.png", ":/icons/logo_footer.png", ":/icons/logo_header.png", ":/icons/logo_popup.png",
        ":/icons/notification-downloading.png", ":/icons/notification-pending.png"};
    for (const char* kind : {"root", "optional", "uptodate", "pending"}) {
        for (const char* region : {"EUR", "NAM"})
            paths.push_back(QString(":/icons/ic_map_%1_%2.png").arg(kind, region));
    }
    for (const auto& sequence : {Sequence(":/icons/ic_progress_72/ic_progress_%1.png", 0, 32),
             Sequence(":/icons/ic_delete_72/ic_delete_%1.png", 0, 32),
             Sequence(":/icons/ic_spinner_1414/ic_spinner_%1.png", 1, 18)})
        paths.insert(paths.end(), sequence.begin(), sequence.end());
    return paths;
}

} // namespace

// Present and not empty; a picture must also decode (a truncated or
// mis-named file would show nothing without a word). Fonts and style sheets
// are checked by what loads them; the legal page is only read by path.
TEST(Resources, EveryFileLoadedByPathIsCompiledIn)
{
    std::vector<QString> paths = IconPaths();
    paths.push_back(":/legal/license_win.htm");
    for (const QString& path : paths) {
        QFile file(path);
        EXPECT_GT(file.size(), 0) << "missing or empty: " << path.toStdString();
        if (path.endsWith(".png")) {
            EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        }
    }
}

// The spinner animation plays as a movie of several frames, each of which decodes.
TEST(IconsMovie, SpinnerGifIsAnAnimation)
{
    const QString path = ":/icons/ic_spinner.gif";
    QMovie movie(path);
    ASSERT_TRUE(movie.isValid());
    EXPECT_GT(movie.frameCount(), 1);
    QImageReader reader(path);
    for (int frame = 0; frame < movie.frameCount(); ++frame)
        EXPECT_FALSE(reader.read().isNull()) << "frame " << frame << ": " << reader.errorString().toStdString();
}
