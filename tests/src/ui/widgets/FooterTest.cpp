#include "../UiTest.h"
#include "Filesystem.h"

#include <QProgressBar>

class FooterTest : public ::testing::Test {
protected:
    FooterTest()
    {
        window.resize(800, 600);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content, 1);
        layout->addWidget(footer);
        footer->RetranslateUi(); // as the main window does: the caption columns' width
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QListWidget* List() const { return window.findChild<QListWidget*>(); }
    void ClickAt(QWidget* widget, QPoint point = {}) // through the window, as a user's click goes
    {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
            widget->mapTo(&window, point.isNull() ? widget->rect().center() : point));
    }

    CleanStores stores;
    QWidget window;
    QWidget* content = new QWidget(&window);
    Ui::Footer* footer = new Ui::Footer(&window);
};

// Sticks without metadata are listed in order while no map is being written; a
// press on the button closes the open list without opening it again on the release.
TEST_F(FooterTest, StickListSelectsByClickAndClosesOnAPressOutside)
{
    const QString path = "/media/c/" + QString(175, 'p') + "/STICK-42"; // shown elided in the middle
    const std::tuple<UsbInfo::Id, std::wstring, UsbInfo::State> sticks[]
        = {{3, path.toStdWString(), UsbInfo::NoMetadata}, {1, L"/media/a", UsbInfo::NoMetadata},
            {2, L"/media/b", UsbInfo::NoMetadata}, {4, L"/media/d", UsbInfo::ValidMetadata}}; // never listed
    for (const auto& [id, at, state] : sticks)
        UsbStorage::Instance().UpdateUsb({id, at, 4000, 1000, state, id == 2});
    auto* button = Child<QPushButton>(footer, "pushButtonUsb");
    for (const auto busy : {MapInfo::Downloading, MapInfo::Deleting}) {
        Store(Map("busy", MapInfo::Optional, busy));
        footer->UpdateState();
        EXPECT_FALSE(button->isEnabled()) << "not while the stick is busy";
        MapStorage::Instance().Clear();
    }
    footer->UpdateState();
    ASSERT_EQ(List()->count(), 3);
    EXPECT_EQ(List()->item(0)->text() + List()->item(1)->text() + List()->item(2)->text(), "/media/a/media/b" + path);
    EXPECT_EQ(List()->selectedItems().value(0)->text(), "/media/b");

    for (QWidget* target : {static_cast<QWidget*>(button), content}) {
        ClickAt(button);
        ASSERT_TRUE(List()->isVisible());
        ClickAt(target);
        EXPECT_FALSE(List()->isVisible());
        EXPECT_FALSE(button->isChecked());
    }
    ClickAt(button);
    const auto* label = Child<QLabel>(footer, "labelUsb");
    EXPECT_EQ(List()->height(), 3 * List()->sizeHintForRow(0) + 1);
    EXPECT_EQ(List()->geometry().bottom() + 1 + 6, footer->y() + label->y()) << "just above";
    ClickAt(List()->viewport(), List()->visualItemRect(List()->item(2)).topLeft() + QPoint(9, 9));
    EXPECT_EQ(UsbStorage::Instance().GetSelectedUsb().id, 3u);

    const QStringList ends = label->text().split(QChar(0x2026)); // the path's start and end around an ellipsis
    ASSERT_EQ(ends.size(), 2) << label->text().toStdString();
    EXPECT_TRUE(ends[0].size() > 1 && ends[1].size() > 1 && path.startsWith(ends[0]) && path.endsWith(ends[1]));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_EQ(QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText(), path);
    UsbStorage::Instance().RemoveUsb(1);
    footer->UpdateState();
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(List()->height(), 2 * List()->sizeHintForRow(0) + 1);
    UsbStorage::Instance().RemoveUsb(2);
    footer->UpdateState();
    EXPECT_FALSE(button->isEnabled()) << "one stick leaves nothing to choose";
    UsbStorage::Instance().Clear();
    footer->UpdateState();
    EXPECT_FALSE(List()->isVisible());
}

// The stick's panel shows with a selected stick, the navigation system's only with the stick's metadata.
TEST_F(FooterTest, PanelsFollowTheSelectedStick)
{
    const std::tuple<std::optional<UsbInfo::State>, bool, bool> cases[]
        = {{std::nullopt, false, false}, {UsbInfo::NoMetadata, true, false}, {UsbInfo::InvalidMetadata, true, true},
            {UsbInfo::ValidMetadata, true, true}};
    for (const auto& [stick, usbPanel, headUnitPanel] : cases) {
        SCOPED_TRACE(stick ? std::to_string(*stick) : "no stick");
        CleanStores::Clear();
        if (stick)
            SelectStick(*stick);
        footer->UpdateState();
        for (const char* name : {"pushButtonUsb", "labelUsbIcon", "labelUsb", "progressBarUsb", "labelUsbSpace"})
            EXPECT_EQ(Child(footer, name)->isVisible(), usbPanel) << name;
        for (const char* name : {"labelHuIcon", "labelHu", "progressBarHu", "labelHuSpace"})
            EXPECT_EQ(Child(footer, name)->isVisible(), headUnitPanel) << name;
        EXPECT_EQ(List()->count(), usbPanel ? 1 : 0);
    }
}

// The free figure is red when nothing is free and the bar fills with the used part; the navigation system's figures
// come from the subscription, the stick's from the stick, and those follow it every second.
TEST_F(FooterTest, SpaceFiguresColourFillAndRefresh)
{
    const std::tuple<std::int64_t, std::int64_t, const char*, int, std::uint64_t, std::uint64_t> cases[]
        = {{1000, 4000, "#005691", 75, 1000, 4000}, {0, 4000, "#EA0016", 100, 0, 4000}, {-50, -10, "#EA0016", 0, 0, 0},
            {0, 0, "#EA0016", 0, 0, 0}};
    SelectStick();
    for (const auto& [available, total, colour, bar, shownFree, shownTotal] : cases) {
        SCOPED_TRACE(available);
        MapStorage::Instance().SetSubscription({QDate(), available, total});
        footer->UpdateState();
        EXPECT_EQ(Child<QLabel>(footer, "labelHuSpace")->text(),
            QString("<font color=\"%1\" valign=\"center\">%2</font><font color=\"#606061\"> free of %3</font>")
                .arg(colour, FormatSize(shownFree, 2), FormatSize(shownTotal, 2)));
        EXPECT_TRUE(Child<QProgressBar>(footer, "progressBarHu")->styleSheet().contains(colour));
        EXPECT_EQ(Child<QProgressBar>(footer, "progressBarHu")->value(), bar);
    }
    const auto* stickSpace = Child<QLabel>(footer, "labelUsbSpace");
    EXPECT_TRUE(stickSpace->text().contains(FormatSize(9'000'000'000, 2) + "</font>"));
    UsbStorage::Instance().UpdateUsbSpace(7, 16'000'000'000, 3'000'000'000); // nobody calls the footer after this
    EXPECT_TRUE(QTest::qWaitFor([&] { return stickSpace->text().contains(FormatSize(3'000'000'000, 2)); }, 20000));
}
