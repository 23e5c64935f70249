#include "../UiTest.h"

// The "#name" parts of the sheet's selectors (declarations and comments left out: colours such as #005691 are no
// names) that no object of the form carries: a misspelt selector gives no warning, it styles nothing.
static QStringList UnknownNames(QString sheet, const QWidget& form)
{
    sheet.remove(QRegularExpression(R"(/\*.*?\*/)", QRegularExpression::DotMatchesEverythingOption));
    sheet.remove(QRegularExpression(R"(\{[^}]*\})"));
    QStringList unknown;
    for (auto it = QRegularExpression(R"(#([A-Za-z_][A-Za-z0-9_-]*))").globalMatch(sheet); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (form.objectName() != name && !form.findChild<QObject*>(name) && !unknown.contains(name))
            unknown << name;
    }
    return unknown;
}

// Every "#name" selector names an object of the form; inside a window with a sheet of its own, a form's sheet still
// reaches the probed child, on every page of its stack. A sheet that cannot be opened is reported, the style kept.
TEST(StyleSheet, EachAppliesCleanlyToItsForm)
{
    static SilentUi ui;
    const auto window = [](QWidget* parent) {
        auto* made = new Ui::MainWindow(&ui, parent);
        made->SetOptionalMap(MapInfo()); // a title, a message and a map row
        return made;
    };
    const std::tuple<const char*, std::function<QWidget*(QWidget*)>, const char*> forms[] = {
        {"MainWindowDialog", window, nullptr}, {"HeaderWidget", window, nullptr}, {"TitleRowWidget", window, nullptr},
        {"MessageRowWidget", window, nullptr},
        {"FooterWidget", [](QWidget* parent) { return new Ui::Footer(parent); }, nullptr},
        {"MapRowWidget",
            [](QWidget* parent) { return new Ui::TableRow(Map("row", MapInfo::Optional, MapInfo::Pending), parent); },
            "pushButtonDiscard"},
        {"MessageScreenWidget", [](QWidget* parent) { return new Ui::MessageScreen(&ui, parent); }, nullptr},
        {"SettingsScreenWidget", [](QWidget* parent) { return new Ui::SettingsScreen(&ui, parent); },
            "pushButtonTermsAndConditions"},
        {"UsbListWidget", [](QWidget* parent) { return new QListWidget(parent); }, nullptr},
        {"PopupDialog", [](QWidget* parent) { return new Ui::Popup(&ui, parent); }, nullptr}};
    const auto colour = [](const QWidget& form, const char* probe) {
        const QWidget* widget = Child(&form, probe);
        return widget->palette().color(
            qobject_cast<const QAbstractButton*>(widget) ? QPalette::ButtonText : QPalette::WindowText);
    };
    EXPECT_EQ(QDir(":/styles").entryList({"*.qss"}, QDir::Files).size(), static_cast<int>(std::size(forms)));
    for (const auto& [sheet, make, probe] : forms) {
        const QString path = QString(":/styles/%1.qss").arg(sheet);
        SCOPED_TRACE(path.toStdString());
        const QtMessages warnings("Could not parse");
        const std::unique_ptr<QWidget> alone(make(nullptr));
        LoadStylesheet(path, alone.get());
        alone->grab(); // styles every child as it is drawn
        EXPECT_EQ(warnings.found, QStringList());
        EXPECT_EQ(UnknownNames(alone->styleSheet(), *alone), QStringList()); // the file's text
        if (probe) {
            QWidget styled;
            styled.setStyleSheet("QWidget { color: #123456; }");
            QWidget* inside = make(&styled);
            styled.show();
            EXPECT_NE(colour(*inside, probe), QColor("#123456"));
            EXPECT_EQ(colour(*inside, probe), colour(*alone, probe));
            if (const QWidget* box = Child(inside, "checkBoxAutoStart")) { // the program's font, as every text
                EXPECT_EQ(box->font().toString(), Fonts::Get(Fonts::Regular, 12).toString());
            }
        }
    }
    const LogCapture log;
    QWidget widget;
    widget.setStyleSheet("QWidget { color: #606061; }");
    LoadStylesheet(":/styles/NoSuchWidget.qss", &widget);
    EXPECT_EQ(widget.styleSheet(), "QWidget { color: #606061; }");
    EXPECT_EQ(log.Count(Log::Warning, "Could not open file: :/styles/NoSuchWidget.qss"), 1);
}

// Every picture the program loads by path is compiled in and decodes: a missing or truncated one shows nothing
// without a word. Fonts and style sheets are checked by what loads them.
TEST(Resources, EveryFileLoadedByPathIsCompiledIn)
{
    QStringList paths = {":/icons/PNG/256.png", ":/icons/chevron-forward.png", ":/icons/ic_checkbox_filled.png",
        ":/icons/ic_connected.png", ":/icons/ic_device_notification.png", ":/icons/ic_dropdown_arrow_down.png",
        ":/icons/ic_dropdown_arrow_up.png", ":/icons/ic_footer_head-unit.png", ":/icons/ic_footer_usb.png",
        ":/icons/ic_help.png", ":/icons/ic_help_active.png", ":/icons/ic_help_hover.png", ":/icons/ic_settings.png",
        ":/icons/ic_settings_active.png", ":/icons/ic_settings_disabled.png", ":/icons/ic_settings_hover.png",
        ":/icons/ic_warning_big.png", ":/icons/ic_win_attention.png", ":/icons/ic_win_default.png",
        ":/icons/ic_win_finished.png", ":/icons/ic_win_progress.png", ":/icons/logo_footer.png",
        ":/icons/logo_header.png", ":/icons/logo_popup.png", ":/icons/notification-downloading.png",
        ":/icons/notification-pending.png"};
    for (const char* kind : {"root", "optional", "uptodate", "pending"})
        for (const char* region : {"EUR", "NAM"})
            paths << QString(":/icons/ic_map_%1_%2.png").arg(kind, region);
    for (const auto& [pattern, first, last] : {std::tuple {":/icons/ic_progress_72/ic_progress_%1.png", 0, 32},
             {":/icons/ic_delete_72/ic_delete_%1.png", 0, 32}, {":/icons/ic_spinner_1414/ic_spinner_%1.png", 1, 18}})
        for (int frame = first; frame <= last; ++frame)
            paths << QString(pattern).arg(frame);
    for (const QString& path : paths)
        EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
    EXPECT_GT(QFile(":/legal/license_win.htm").size(), 0);
}

// Each type of text gets the program's own font of that weight, at the pixel size asked, without kerning.
TEST(FontsTest, EachTypeResolvesToTheApplicationFont)
{
    Fonts::Load();
    const std::pair<Fonts::FontType, const char*> cases[] = {
        {Fonts::Regular, "Dravo Sans Regular"}, {Fonts::Medium, "Dravo Sans Medium"}, {Fonts::Bold, "Dravo Sans Bold"}};
    for (const auto& [type, family] : cases) {
        const QFont font = Fonts::Get(type, 14);
        EXPECT_FALSE(font.kerning()) << family;
        EXPECT_EQ(QFontInfo(font).family(), family);
        EXPECT_EQ(QFontInfo(font).pixelSize(), 14) << family;
    }
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(3), 14), std::logic_error);
    EXPECT_THROW(Fonts::Get(static_cast<Fonts::FontType>(-1), 14), std::logic_error);
}
