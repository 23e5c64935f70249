#include "../UiTest.h"

// Only an available map offers a download and only a pending one its discarding; the picture follows the state
// first, then the root flag, then the type (a mandatory map of another line has none).
TEST(TableRow, WhatARowOffersFollowsTheMapsStateTypeAndRootFlag)
{
    const auto pending = MapInfo::Pending, available = MapInfo::Available;
    const std::tuple<MapInfo, bool, bool, QString> cases[]
        = {{Map("m", MapInfo::Mandatory, pending), false, true, "pending_EUR"},
            {Map("m", MapInfo::Optional, pending, "NAM", true), false, true, "pending_NAM"},
            {Map("m", MapInfo::Mandatory, available, "EUR", true), true, false, "root_EUR"},
            {Map("m", MapInfo::Mandatory, available), true, false, ""},
            {Map("m", MapInfo::Optional, available), true, false, "optional_EUR"},
            {Map("m", MapInfo::Installed, MapInfo::Unknown, "NAM"), false, false, "uptodate_NAM"},
            {Map("m", MapInfo::Optional, MapInfo::Downloading), false, false, "optional_EUR"},
            {Map("m", MapInfo::Optional, MapInfo::Deleting), false, false, "optional_EUR"}};
    for (const auto& [map, download, discard, icon] : cases) {
        SCOPED_TRACE(PrintToString(map.type) + " " + PrintToString(map.state) + (map.root ? " root" : ""));
        const Ui::TableRow row(map);
        const auto offered
            = [&](const char* name) { return !Child(&row, name)->isHidden() && Child(&row, name)->isEnabled(); };
        EXPECT_EQ(Child<QLabel>(&row, "labelDescription")->text().startsWith("Version 2023.05"), !discard);
        EXPECT_EQ(offered("pushButtonMapAction"), download);
        EXPECT_EQ(offered("pushButtonDiscard"), discard);
        EXPECT_EQ(!Child(&row, "labelButtonSeparator")->isHidden(), discard);
        const QString sheet = Child<QFrame>(&row, "frameMapIcon")->styleSheet();
        EXPECT_EQ(sheet.isEmpty(), icon.isEmpty());
        EXPECT_TRUE(sheet.contains("url(:/icons/ic_map_" + icon + ".png);") || icon.isEmpty()) << sheet.toStdString();
    }
}

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
