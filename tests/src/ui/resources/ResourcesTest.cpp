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
