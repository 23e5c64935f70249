#include "../UiTest.h"

// The region code is pasted into a style sheet: only capitals and digits, where pictures exist.
TEST(TableRow, OnlyPlainRegionCodesReachTheIconSheet)
{
    const auto sheet = [](const Ui::TableRow& row) { return Child<QFrame>(&row, "frameMapIcon")->styleSheet(); };
    const std::pair<std::string, QString> cases[] = {{"EUR", "url(:/icons/ic_map_optional_EUR.png);"},
        {"NAM", "url(:/icons/ic_map_optional_NAM.png);"}, {"AS1", ""}, // no such pictures
        {"", ""}, {"eur", ""}, {"EUR.png); } QWidget { background: red; } x { a: url(x", ""}, {"EUR\n", ""},
        {"../EUR", ""}, {"/../../icons/ic_help", ""}}; // a picture that exists, reached through the path
    for (const auto& [region, expected] : cases) {
        const QString got = sheet(Ui::TableRow(Map("pkg-1", MapInfo::Optional, MapInfo::Available, region)));
        EXPECT_EQ(got.isEmpty(), expected.isEmpty()) << region;
        EXPECT_TRUE(got.contains(expected)) << region << ": " << got.toStdString();
    }
    EXPECT_FALSE(sheet(Ui::TableRow(Map("pkg-1", MapInfo::Installed))).isEmpty());
    EXPECT_TRUE(sheet(Ui::TableRow(Map("pkg-1", MapInfo::Mandatory))).isEmpty()) << "no picture";
}

// Service texts stay literal, also on hover; a long name ends in "…" before the button, whole on hover, bounded.
TEST(TableRow, ServerTextIsShownAsItIsAndALongNameElided)
{
    for (const int length : {0, 300, 4 << 20}) {
        SCOPED_TRACE(length);
        MapInfo map = Map("pkg-1");
        map.name = L"<b>Europe</b> %2" + std::wstring(length, L'w');
        map.release = "%2";
        map.size = -5;
        Ui::TableRow row(map);
        row.show();
        const auto* title = Child<QLabel>(&row, "labelMapTitle");
        for (const int width : {700, 400}) {
            row.resize(width, 65);
            QCoreApplication::processEvents();
            EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), title->width());
            EXPECT_LE(title->text().size(), width);
            EXPECT_LE(title->geometry().right(), Child(&row, "pushButtonMapAction")->x());
        }
        EXPECT_TRUE(length == 0 ? title->text() == "<b>Europe</b> %2" : title->text().endsWith(QChar(0x2026)));
        EXPECT_EQ(title->textFormat(), Qt::PlainText);
        EXPECT_EQ(title->toolTip().isEmpty(), length == 0);
        const QString whole = QString::fromStdWString(map.name);
        EXPECT_EQ(QTextDocumentFragment::fromHtml(title->toolTip()).toPlainText() == whole, length == 300);
        EXPECT_LT(title->toolTip().size(), 3000) << "a tooltip of megabytes would not fit a screen";
        EXPECT_EQ(Child<QLabel>(&row, "labelDescription")->text(), "Version %2   |   0.00 B");
    }
}
