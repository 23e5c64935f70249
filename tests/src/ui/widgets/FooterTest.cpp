#include "../UiTest.h"

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
    Store(Map("busy", MapInfo::Optional, MapInfo::Downloading));
    footer->UpdateState();
    auto* button = Child<QPushButton>(footer, "pushButtonUsb");
    EXPECT_FALSE(button->isEnabled()) << "not while the stick is busy";
    MapStorage::Instance().Clear();
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
    UsbStorage::Instance().Clear();
    footer->UpdateState();
    EXPECT_FALSE(List()->isVisible());
}
