#include "StyleSheetForms.h"

#include "../QtWarnings.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "Resources.h"

#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Applies the sheet the way the forms do and returns the parse warnings.
QStringList Apply(const QString& path, QWidget& widget)
{
    const QtWarnings warnings("Could not parse");
    LoadStylesheet(path, &widget);
    widget.ensurePolished();
    widget.grab(); // styles every child as it is drawn
    return warnings.Found();
}

// The "#name" parts of the sheet's selectors (declarations and comments are
// left out, so colours such as #005691 are not taken for names).
QSet<QString> SelectorNames(QString sheet)
{
    sheet.remove(QRegularExpression(R"(/\*.*?\*/)", QRegularExpression::DotMatchesEverythingOption));
    sheet.remove(QRegularExpression(R"(\{[^}]*\})"));
    QSet<QString> names;
    auto it = QRegularExpression(R"(#([A-Za-z_][A-Za-z0-9_-]*))").globalMatch(sheet);
    while (it.hasNext())
        names.insert(it.next().captured(1));
    return names;
}

// Selector names that no object of the form carries.
QStringList UnknownNames(const QString& sheet, const QWidget& form)
{
    QSet<QString> objects = {form.objectName()};
    for (const QObject* child : form.findChildren<QObject*>())
        objects.insert(child->objectName());
    QStringList unknown;
    for (const QString& name : SelectorNames(sheet)) {
        if (!objects.contains(name))
            unknown << name;
    }
    unknown.sort();
    return unknown;
}

QString Read(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

std::vector<QString> Sheets()
{
    std::vector<QString> sheets;
    QDirIterator it(":/styles", {"*.qss"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        sheets.push_back(it.next());
    return sheets;
}

} // namespace

// Every sheet parses without a warning, on its own form where that exists,
// and every "#name" selector names an object of that form; every form's row
// names a sheet that is compiled in.
TEST(StyleSheet, EachAppliesCleanlyToItsForm)
{
    const std::vector<QString> sheets = Sheets();
    for (const QString& sheet : sheets) {
        SCOPED_TRACE(sheet.toStdString());
        const auto row = std::find_if(StyleSheetForms().begin(), StyleSheetForms().end(),
            [&](const StyleSheetForm& form) { return form.sheet == sheet; });
        const bool hasForm = row != StyleSheetForms().end();
        const std::unique_ptr<QWidget> form = hasForm ? row->make() : std::make_unique<QWidget>();
        EXPECT_EQ(Apply(sheet, *form), QStringList());
        if (hasForm) {
            EXPECT_EQ(UnknownNames(Read(sheet), *form), QStringList());
        }
    }
    for (const StyleSheetForm& form : StyleSheetForms())
        EXPECT_NE(std::find(sheets.begin(), sheets.end(), form.sheet), sheets.end()) << form.sheet.toStdString();
}

// The two checks above see what they are for: a sheet that does not parse, and
// a selector misspelt among colours, comments and names that do exist.
TEST(StyleSheetChecks, CatchParseErrorsAndMisspeltNames)
{
    QWidget form;
    form.setObjectName("PanelWidget");
    auto* layout = new QVBoxLayout(&form);
    auto* label = new QLabel("x");
    label->setObjectName("labelTitle");
    layout->addWidget(label);
    const QString sheet = "/* #commentName */\nQWidget#PanelWidget { background: #FFFFFF; }\n"
                          "QLabel#labelTitle, QLabel#labelTitel:hover { color: #005691; }";
    EXPECT_EQ(UnknownNames(sheet, form), QStringList {"labelTitel"});

    QTemporaryFile broken;
    ASSERT_TRUE(broken.open());
    broken.write("QLabel#labelTitle { color: #005691; ");
    broken.close();
    EXPECT_FALSE(Apply(broken.fileName(), form).isEmpty());
}

// A sheet that cannot be opened is reported and leaves the widget's style.
TEST(StyleSheetChecks, MissingSheetKeepsTheStyle)
{
    const LogCapture log;
    QWidget widget;
    widget.setStyleSheet("QWidget { color: #606061; }");
    LoadStylesheet(":/styles/NoSuchWidget.qss", &widget);
    EXPECT_EQ(widget.styleSheet(), "QWidget { color: #606061; }");
    EXPECT_EQ(log.Count(Log::Warning, "Could not open file: :/styles/NoSuchWidget.qss"), 1);
}
