#include "Footer.h"
#include "../CleanStores.h"
#include "Filesystem.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

UsbInfo Stick(UsbInfo::Id id, const std::wstring& path, UsbInfo::State state, bool selected = false)
{
    return {id, path, 4000, 1000, state, selected};
}

// The footer at the bottom of a window, as the main window holds it.
class FooterTest : public ::testing::Test {
protected:
    FooterTest()
    {
        window.resize(800, 600);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        content = new QWidget(&window);
        footer = new Ui::Footer(&window);
        footer->RetranslateUi(); // as the main window does: fixes the caption columns' width
        layout->addWidget(content, 1);
        layout->addWidget(footer);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    template <typename T> T* Child(const char* name) const { return footer->findChild<T*>(name); }
    QListWidget* List() const { return window.findChild<QListWidget*>(); }
    QStringList Items() const
    {
        QStringList texts;
        for (int row = 0; row < List()->count(); ++row)
            texts << List()->item(row)->text();
        return texts;
    }
    // A press and release that go through the window, as a user's click does.
    void ClickAt(QWidget* widget, QPoint point = {})
    {
        const QPoint at = widget->mapTo(&window, point.isNull() ? widget->rect().center() : point);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    }
    void SelectThreeSticksWithoutMetadata()
    {
        UsbStorage::Instance().UpdateUsb(Stick(3, L"/media/c", UsbInfo::NoMetadata));
        UsbStorage::Instance().UpdateUsb(Stick(1, L"/media/a", UsbInfo::NoMetadata));
        UsbStorage::Instance().UpdateUsb(Stick(2, L"/media/b", UsbInfo::NoMetadata, true));
        UsbStorage::Instance().UpdateUsb(Stick(4, L"/media/d", UsbInfo::ValidMetadata)); // never listed
        footer->UpdateState();
    }

    CleanStores stores;
    QWidget window;
    QWidget* content;
    Ui::Footer* footer;
};

TEST_F(FooterTest, PanelsFollowTheSelectedStick)
{
    const struct {
        const char* name;
        int state; // -1: no stick selected
        bool usbPanel, headUnitPanel;
        int items;
    } cases[] = {
        {"none", -1, false, false, 0},
        {"no metadata", UsbInfo::NoMetadata, true, false, 1},
        {"invalid metadata", UsbInfo::InvalidMetadata, true, true, 1},
        {"valid metadata", UsbInfo::ValidMetadata, true, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsbStorage::Instance().Clear();
        if (c.state >= 0)
            UsbStorage::Instance().UpdateUsb(Stick(7, L"/media/usb", static_cast<UsbInfo::State>(c.state), true));
        footer->UpdateState();
        for (const char* name : {"pushButtonUsb", "labelUsbIcon", "labelUsb", "progressBarUsb", "labelUsbSpace"})
            EXPECT_EQ(Child<QWidget>(name)->isVisible(), c.usbPanel) << name;
        for (const char* name : {"labelHuIcon", "labelHu", "progressBarHu", "labelHuSpace"})
            EXPECT_EQ(Child<QWidget>(name)->isVisible(), c.headUnitPanel) << name;
        EXPECT_TRUE(Child<QLabel>("labelLogoFooter")->isVisible());
        EXPECT_EQ(List()->count(), c.items);
        if (c.usbPanel) {
            EXPECT_EQ(Child<QLabel>("labelUsb")->text(), "/media/usb");
        }
    }
}

TEST_F(FooterTest, SticksWithoutMetadataAreListedInOrderWithTheSelectedOneMarked)
{
    SelectThreeSticksWithoutMetadata();
    EXPECT_EQ(Items(), QStringList({"/media/a", "/media/b", "/media/c"}));
    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->selectedItems().front()->text(), "/media/b");
    EXPECT_TRUE(Child<QPushButton>("pushButtonUsb")->isEnabled());

    for (auto state : {MapInfo::Downloading, MapInfo::Deleting}) { // not while the stick is busy
        MapInfo map;
        map.id = "busy";
        map.state = state;
        MapStorage::Instance().UpdateMap(map);
        footer->UpdateState();
        EXPECT_FALSE(Child<QPushButton>("pushButtonUsb")->isEnabled()) << state;
        MapStorage::Instance().Clear();
    }

    UsbStorage::Instance().RemoveUsb(1);
    UsbStorage::Instance().RemoveUsb(3);
    footer->UpdateState();
    EXPECT_FALSE(Child<QPushButton>("pushButtonUsb")->isEnabled()) << "one stick leaves nothing to choose";
}

TEST_F(FooterTest, SpaceFiguresColourAndFill)
{
    const struct {
        const char* name;
        std::int64_t available, total;
        const char* colour;
        int bar;
        std::uint64_t shownFree, shownTotal;
    } cases[] = {
        {"a quarter free", 1000, 4000, "#005691", 75, 1000, 4000},
        {"nothing free", 0, 4000, "#EA0016", 100, 0, 4000},
        {"negative figures", -50, -10, "#EA0016", 0, 0, 0},
        {"no total", 0, 0, "#EA0016", 0, 0, 0},
    };
    UsbStorage::Instance().UpdateUsb(Stick(7, L"/media/usb", UsbInfo::ValidMetadata, true));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MapStorage::Instance().SetSubscription({QDate(), c.available, c.total});
        footer->UpdateSpaceInfo();
        const QString text = Child<QLabel>("labelHuSpace")->text();
        EXPECT_EQ(text,
            QString("<font color=\"%1\" valign=\"center\">%2</font><font color=\"#606061\"> free of %3</font>")
                .arg(c.colour, FormatSize(c.shownFree, 2), FormatSize(c.shownTotal, 2)));
        EXPECT_TRUE(Child<QProgressBar>("progressBarHu")->styleSheet().contains(c.colour));
        EXPECT_EQ(Child<QProgressBar>("progressBarHu")->value(), c.bar);
    }
    EXPECT_TRUE(Child<QLabel>("labelUsbSpace")->text().contains(FormatSize(1000, 2) + "</font>"));
    EXPECT_EQ(Child<QProgressBar>("progressBarUsb")->value(), 75);
}

TEST_F(FooterTest, RefreshShowsNewFreeSpaceEverySecond)
{
    UsbStorage::Instance().UpdateUsb(Stick(7, L"/media/usb", UsbInfo::ValidMetadata, true));
    footer->UpdateState();
    EXPECT_TRUE(Child<QLabel>("labelUsbSpace")->text().contains(FormatSize(1000, 2)));
    UsbStorage::Instance().UpdateUsbSpace(7, 4000, 3000); // nobody calls the footer after this
    QTRY_VERIFY_WITH_TIMEOUT(Child<QLabel>("labelUsbSpace")->text().contains(FormatSize(3000, 2)), 2000);
}

// What tells mount paths apart is mostly at their end: a long one keeps its
// start and its end around an ellipsis, and shows whole on hover.
TEST_F(FooterTest, ALongPathIsElidedInTheMiddleAndWholeOnHover)
{
    const QString path = "/run/media/user/" + QString(175, 'p') + "/STICK-42";
    ASSERT_EQ(path.size(), 200);
    UsbStorage::Instance().UpdateUsb(Stick(7, path.toStdWString(), UsbInfo::ValidMetadata, true));
    footer->UpdateState();
    QCoreApplication::processEvents();
    const auto* label = Child<QLabel>("labelUsb");
    const QStringList ends = label->text().split(QChar(0x2026));
    ASSERT_EQ(ends.size(), 2) << label->text().toStdString();
    EXPECT_TRUE(path.startsWith(ends[0]) && ends[0].size() > 1);
    EXPECT_TRUE(path.endsWith(ends[1]) && ends[1].size() > 1);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_EQ(QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText(), path);
}

TEST_F(FooterTest, ClickingAnItemThroughTheWindowSelectsThatStick)
{
    SelectThreeSticksWithoutMetadata();
    ClickAt(Child<QPushButton>("pushButtonUsb"));
    ASSERT_TRUE(List()->isVisible());
    EXPECT_TRUE(Child<QPushButton>("pushButtonUsb")->isChecked());
    EXPECT_EQ(List()->sizeHintForRow(0), 38) << "item height from the list's style sheet";
    EXPECT_EQ(List()->height(), 3 * 38 + 1);
    EXPECT_EQ(List()->geometry().bottom() + 1 + 6, footer->y() + Child<QLabel>("labelUsb")->y()) << "just above";

    QListWidgetItem* item = List()->findItems("/media/c", Qt::MatchExactly).front();
    ClickAt(List()->viewport(), List()->visualItemRect(item).center());
    EXPECT_EQ(UsbStorage::Instance().GetSelectedUsb().id, 3u);
    EXPECT_EQ(Child<QLabel>("labelUsb")->text(), "/media/c");
    EXPECT_EQ(List()->selectedItems().front()->text(), "/media/c");
}

// The open list closes on a press on its button (without opening again on the
// release) or elsewhere, follows updates, and goes with the last stick.
TEST_F(FooterTest, OpenListClosesOnAPressOutsideAndFollowsUpdates)
{
    SelectThreeSticksWithoutMetadata();
    auto* button = Child<QPushButton>("pushButtonUsb");
    for (QWidget* target : {static_cast<QWidget*>(button), content}) {
        ClickAt(button);
        ASSERT_TRUE(List()->isVisible());
        ClickAt(target);
        EXPECT_FALSE(List()->isVisible());
        EXPECT_FALSE(button->isChecked());
    }
    ClickAt(button);
    UsbStorage::Instance().RemoveUsb(3);
    footer->UpdateState();
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(List()->height(), 2 * List()->sizeHintForRow(0) + 1);

    UsbStorage::Instance().Clear();
    footer->UpdateState();
    EXPECT_FALSE(List()->isVisible());
}

} // namespace
