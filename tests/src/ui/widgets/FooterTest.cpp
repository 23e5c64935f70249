#include "../UiTest.h"

#include "Footer.h"

#include <QListWidget>
#include <QVBoxLayout>

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
        layout->addWidget(content, 1);
        layout->addWidget(footer);
        footer->RetranslateUi(); // as the main window does: the caption columns' width
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    template <typename T = QWidget> T* Part(const char* name) const { return footer->findChild<T*>(name); }
    QListWidget* List() const { return window.findChild<QListWidget*>(); }
    // A press and release that go through the window, as a user's click does.
    void ClickAt(QWidget* widget, QPoint point = {})
    {
        const QPoint at = widget->mapTo(&window, point.isNull() ? widget->rect().center() : point);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    }

    CleanStores stores;
    QWidget window;
    QWidget* content = new QWidget(&window);
    Ui::Footer* footer = new Ui::Footer(&window);
};

} // namespace

// Sticks without metadata are listed in order while no map is being written; a
// press on the button closes the open list without opening it again on the release.
TEST_F(FooterTest, StickListSelectsByClickAndClosesOnAPressOutside)
{
    const QString path = "/media/c/" + QString(175, 'p') + "/STICK-42"; // shown elided in the middle
    UsbStorage::Instance().UpdateUsb(Stick(3, path.toStdWString(), UsbInfo::NoMetadata));
    UsbStorage::Instance().UpdateUsb(Stick(1, L"/media/a", UsbInfo::NoMetadata));
    UsbStorage::Instance().UpdateUsb(Stick(2, L"/media/b", UsbInfo::NoMetadata, true));
    UsbStorage::Instance().UpdateUsb(Stick(4, L"/media/d", UsbInfo::ValidMetadata)); // never listed
    Store(Map("busy", MapInfo::Optional, MapInfo::Downloading));
    footer->UpdateState();
    auto* button = Part<QPushButton>("pushButtonUsb");
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
    EXPECT_EQ(List()->height(), 3 * List()->sizeHintForRow(0) + 1);
    EXPECT_EQ(List()->geometry().bottom() + 1 + 6, footer->y() + Part("labelUsb")->y()) << "just above";
    ClickAt(List()->viewport(), List()->visualItemRect(List()->item(2)).topLeft() + QPoint(9, 9));
    EXPECT_EQ(UsbStorage::Instance().GetSelectedUsb().id, 3u);
    const auto* label = Part<QLabel>("labelUsb");
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
