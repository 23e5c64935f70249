#include "TableRow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocumentFragment>

#include <gtest/gtest.h>

namespace {

MapInfo Map(MapInfo::Type type, MapInfo::State state, bool root, const std::string& region = "EUR")
{
    MapInfo map;
    map.type = type;
    map.state = state;
    map.root = root;
    map.region = region;
    map.id = "pkg-1";
    map.name = L"Europe West";
    map.release = "2023.05";
    map.size = 1536; // 1.50 KB
    return map;
}

struct RowView {
    explicit RowView(const MapInfo& map)
        : row(map)
    {
    }
    QString Text(const char* name) const { return row.findChild<QWidget*>(name)->property("text").toString(); }
    bool Shown(const char* name) const { return !row.findChild<QWidget*>(name)->isHidden(); }
    bool Enabled(const char* name) const { return row.findChild<QWidget*>(name)->isEnabled(); }
    QString IconSheet() const { return row.findChild<QFrame*>("frameMapIcon")->styleSheet(); }
    QPushButton* Button(const char* name) const { return row.findChild<QPushButton*>(name); }

    Ui::TableRow row;
};

// What a label's tooltip shows, as text.
QString ToolTip(const QLabel* label)
{
    return QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText();
}

const QString kVersionLine = "Version 2023.05   |   1.50 KB";
const QString kDone = "Map update downloading completed";

} // namespace

TEST(TableRow, WhatARowOffersFollowsTheMapsStateTypeAndRootFlag)
{
    const struct {
        const char* name;
        MapInfo map;
        QString description;
        bool download;
        bool discard;
        QString icon; // empty: no background at all
    } cases[] = {
        {"pending mandatory", Map(MapInfo::Mandatory, MapInfo::Pending, false), kDone, false, true,
            ":/icons/ic_map_pending_EUR.png"},
        {"pending root", Map(MapInfo::Optional, MapInfo::Pending, true, "NAM"), kDone, false, true,
            ":/icons/ic_map_pending_NAM.png"},
        {"available root, mandatory", Map(MapInfo::Mandatory, MapInfo::Available, true), kVersionLine, true, false,
            ":/icons/ic_map_root_EUR.png"},
        {"available mandatory", Map(MapInfo::Mandatory, MapInfo::Available, false), kVersionLine, true, false, ""},
        {"available optional", Map(MapInfo::Optional, MapInfo::Available, false), kVersionLine, true, false,
            ":/icons/ic_map_optional_EUR.png"},
        {"installed", Map(MapInfo::Installed, MapInfo::Unknown, false, "NAM"), kVersionLine, false, false,
            ":/icons/ic_map_uptodate_NAM.png"},
        {"downloading", Map(MapInfo::Optional, MapInfo::Downloading, false), kVersionLine, false, false,
            ":/icons/ic_map_optional_EUR.png"},
        {"deleting", Map(MapInfo::Optional, MapInfo::Deleting, false), kVersionLine, false, false,
            ":/icons/ic_map_optional_EUR.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RowView view(c.map);
        EXPECT_EQ(view.Text("labelDescription"), c.description);
        EXPECT_EQ(view.Shown("pushButtonMapAction"), c.download);
        EXPECT_EQ(view.Enabled("pushButtonMapAction"), c.download);
        EXPECT_EQ(view.Shown("pushButtonDiscard"), c.discard);
        EXPECT_EQ(view.Enabled("pushButtonDiscard"), c.discard);
        EXPECT_EQ(view.Shown("labelButtonSeparator"), c.discard);
        const QString expected = c.icon.isEmpty() ? "" : "url(" + c.icon + ");";
        EXPECT_EQ(view.IconSheet().isEmpty(), expected.isEmpty());
        EXPECT_TRUE(view.IconSheet().contains(expected)) << view.IconSheet().toStdString();
    }
}

// The region code is pasted into a style sheet: only capital letters and
// digits may get there, and only where the pictures exist.
TEST(TableRow, OnlyPlainRegionCodesReachTheIconSheet)
{
    const struct {
        std::string region;
        QString expected;
    } cases[] = {{"EUR", "url(:/icons/ic_map_optional_EUR.png);"}, {"NAM", "url(:/icons/ic_map_optional_NAM.png);"},
        {"AS1", ""}, // no such pictures
        {"", ""}, {"eur", ""}, {"EUR.png); } QWidget { background: red; } x { a: url(x", ""}, {"EUR\n", ""},
        {"../EUR", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region);
        const RowView view(Map(MapInfo::Optional, MapInfo::Available, false, c.region));
        EXPECT_EQ(view.IconSheet().isEmpty(), c.expected.isEmpty());
        EXPECT_TRUE(view.IconSheet().contains(c.expected)) << view.IconSheet().toStdString();
    }
}

// Names and releases come from the service: markup and markers stay literal.
TEST(TableRow, ServerTextIsShownAsItIs)
{
    MapInfo map = Map(MapInfo::Optional, MapInfo::Available, false);
    map.name = L"<b>Europe</b> %2";
    map.release = "%2";
    map.size = -5;
    const RowView view(map);
    auto* title = view.row.findChild<QLabel*>("labelMapTitle");
    EXPECT_EQ(title->text(), "<b>Europe</b> %2");
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
    map.name += std::wstring(300, L'x');
    const RowView elided(map);
    EXPECT_EQ(ToolTip(elided.row.findChild<QLabel*>("labelMapTitle")), QString::fromStdWString(map.name));
    EXPECT_EQ(view.Text("labelDescription"), "Version %2   |   0.00 B");
}

// A name longer than the row ends in an ellipsis before the button, whole on
// hover; what the row lays out stays bounded however long the name is.
TEST(TableRow, LongNamesAreElidedToTheRowAndWholeOnHover)
{
    const struct {
        const char* name;
        std::wstring title;
    } cases[] = {
        {"fits", L"Europe West"}, {"300 characters", std::wstring(300, L'w')}, {"4 MiB", std::wstring(4 << 20, L'w')}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MapInfo map = Map(MapInfo::Optional, MapInfo::Available, false);
        map.name = c.title;
        QWidget window;
        auto* row = new Ui::TableRow(map, &window);
        row->resize(700, 65);
        window.show();
        const auto* label = row->findChild<QLabel*>("labelMapTitle");
        const QString name = QString::fromStdWString(c.title);
        for (int width : {700, 400}) {
            row->resize(width, 65);
            QCoreApplication::processEvents();
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
            EXPECT_LE(label->text().size(), width);
            EXPECT_LE(label->geometry().right(), row->findChild<QWidget*>("pushButtonMapAction")->x());
        }
        const bool elided = name.size() > 100;
        EXPECT_EQ(label->text() == name, !elided);
        EXPECT_EQ(label->text().endsWith(QChar(0x2026)), elided);
        EXPECT_EQ(label->toolTip().isEmpty(), !elided);
        if (name.size() == 300) {
            EXPECT_EQ(ToolTip(label), name);
        }
        EXPECT_LT(label->toolTip().size(), 3000) << "a tooltip of megabytes would not fit a screen";
    }
}

TEST(TableRow, ButtonsReportTheMapAsItWasWhenTheRowWasBuilt)
{
    MapInfo map = Map(MapInfo::Optional, MapInfo::Available, false);
    const RowView available(map);
    map.name = L"changed since";
    map.state = MapInfo::Pending;
    const RowView pending(map);

    std::vector<MapInfo> reset;
    QObject::connect(
        &available.row, &Ui::TableRow::ResetMapButtonClicked, [&](const MapInfo& m) { reset.push_back(m); });
    QSignalSpy discard(&pending.row, &Ui::TableRow::DiscardMapButtonClicked);
    available.Button("pushButtonMapAction")->click();
    pending.Button("pushButtonDiscard")->click();

    ASSERT_EQ(reset.size(), 1u);
    EXPECT_EQ(reset[0].id, "pkg-1");
    EXPECT_EQ(reset[0].name, L"Europe West");
    EXPECT_EQ(reset[0].state, MapInfo::Available);
    EXPECT_EQ(discard.count(), 1);
    EXPECT_TRUE(available.Button("pushButtonMapAction")->isEnabled()); // a click disables nothing
}

// The main window has a sheet of its own; the row's sheet must still reach
// every child of a row built inside it.
TEST(TableRow, ItsStyleSheetAppliesInsideAStyledWindow)
{
    QWidget window;
    window.setStyleSheet("QLabel { color: #123456; }");
    auto* row = new Ui::TableRow(Map(MapInfo::Optional, MapInfo::Pending, false), &window);
    window.show();
    EXPECT_EQ(row->findChild<QLabel*>("labelDescription")->palette().color(QPalette::WindowText), QColor("#7D8790"));
    EXPECT_EQ(
        row->findChild<QPushButton*>("pushButtonDiscard")->palette().color(QPalette::ButtonText), QColor("#005691"));
}
