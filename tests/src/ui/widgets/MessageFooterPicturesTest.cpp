// Renders the message pages and the footer in representative states. With
// TESSALY_PICTURES set to a folder the pictures are written there (docs/
// keeps the reviewed ones); every run checks that the pictures the pages
// name are painted.
#include "Footer.h"
#include "MapStorage.h"
#include "MessageScreen.h"
#include "Resources.h"
#include "SilentUi.h"
#include "UsbStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Ui::MessageType;

void Save(const QImage& picture, const QString& name)
{
    if (const char* folder = std::getenv("TESSALY_PICTURES"))
        picture.save(QDir(folder).filePath(name));
}

// Pictures of several states of one widget, one below the other.
class Strip {
public:
    void Add(QWidget& widget)
    {
        QCoreApplication::processEvents(); // lay the new texts out first
        shots.push_back(widget.grab().toImage());
    }
    QImage Image() const
    {
        int width = 0, height = 0;
        for (const QImage& shot : shots) {
            width = std::max(width, shot.width());
            height += shot.height() + kGap;
        }
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor("#BFC0C2"));
        QPainter painter(&image);
        int y = 0;
        for (const QImage& shot : shots) {
            painter.drawImage(0, y, shot);
            y += shot.height() + kGap;
        }
        return image;
    }

private:
    static constexpr int kGap = 4;
    std::vector<QImage> shots;
};

// A white page of the main window's size around the widget under review.
class Page : public QWidget {
public:
    explicit Page(QSize size)
    {
        setAutoFillBackground(true);
        setPalette(QPalette(Qt::white));
        layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setFixedSize(size);
    }
    QVBoxLayout* layout;
};

MapInfo Map(MapInfo::State state, MapInfo::Type type, const wchar_t* name, std::int64_t downloaded)
{
    MapInfo map;
    map.id = "europe";
    map.name = name;
    map.state = state;
    map.type = type;
    map.downloaded = downloaded;
    map.size = 9'876'543'210;
    return map;
}

bool PaintsNonWhite(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != Qt::white)
                return true;
    return false;
}

class Pictures : public ::testing::Test {
protected:
    Pictures()
    {
        Fonts::Load();
        MapStorage::Instance().Clear();
        UsbStorage::Instance().Clear();
    }
    ~Pictures() override
    {
        MapStorage::Instance().Clear();
        UsbStorage::Instance().Clear();
    }
};

TEST_F(Pictures, MessagePages)
{
    SilentUi ui;
    Page page({718, 371});
    auto* screen = new Ui::MessageScreen(&ui, &page);
    page.layout->addWidget(screen);
    page.show();
    Strip strip;

    MapStorage::Instance().UpdateMap(Map(MapInfo::Downloading, MapInfo::Optional, L"<b>Europe</b> %2", 1'234'567'890));
    screen->Show(MessageType::MapDownload);
    strip.Add(page);
    EXPECT_TRUE(PaintsNonWhite(screen->findChild<QLabel*>("labelMessageIcon")));
    MapStorage::Instance().UpdateMap(Map(MapInfo::Deleting, MapInfo::Optional, L"Europe", 6'000'000'000));
    screen->Show(MessageType::MapDelete);
    strip.Add(page);
    screen->Init(MessageType::MapUpdate, Map(MapInfo::Available, MapInfo::Optional, L"Europe", 0));
    strip.Add(page);
    screen->Init(MessageType::MapUpdate, Map(MapInfo::Available, MapInfo::Mandatory, L"Europe", 0));
    strip.Add(page);
    screen->Show(MessageType::NoConnection);
    EXPECT_TRUE(PaintsNonWhite(screen->findChild<QLabel*>("labelMessageIcon")));
    strip.Add(page);
    QTest::mouseClick(screen->findChild<QPushButton*>("pushButtonPrimary"), Qt::LeftButton);
    strip.Add(page); // both buttons disabled after the click
    Save(strip.Image(), "message-pages.png");
}

TEST_F(Pictures, Footer)
{
    Page window({800, 200});
    window.layout->addStretch(1);
    auto* footer = new Ui::Footer(&window);
    window.layout->addWidget(footer);
    footer->RetranslateUi();
    window.show();
    Strip strip;

    MapStorage::Instance().SetSubscription({QDate(), 3'000'000'000, 8'000'000'000});
    UsbStorage::Instance().UpdateUsb(
        {1, L"/media/user/MAPS", 16'000'000'000, 4'500'000'000, UsbInfo::ValidMetadata, true});
    footer->UpdateState();
    strip.Add(window);
    EXPECT_TRUE(PaintsNonWhite(footer->findChild<QLabel*>("labelLogoFooter")));

    MapStorage::Instance().SetSubscription({QDate(), 0, 8'000'000'000});
    UsbStorage::Instance().UpdateUsb({1, L"/media/user/MAPS", 16'000'000'000, 0, UsbInfo::InvalidMetadata, true});
    footer->UpdateState();
    strip.Add(window); // nothing free: red

    UsbStorage::Instance().UpdateUsb(
        {1, L"/media/user/MAPS", 16'000'000'000, 9'000'000'000, UsbInfo::NoMetadata, true});
    UsbStorage::Instance().UpdateUsb({2, L"/media/user/BACKUP", 8'000'000'000, 1'000'000'000, UsbInfo::NoMetadata});
    UsbStorage::Instance().UpdateUsb({3, L"/media/user/STICK", 4'000'000'000, 3'000'000'000, UsbInfo::NoMetadata});
    footer->UpdateState();
    footer->ToggleUsbList();
    strip.Add(window); // the stick list open above the stick panel

    UsbStorage::Instance().Clear();
    footer->UpdateState();
    strip.Add(window); // no stick: the logo alone
    Save(strip.Image(), "footer.png");
}

} // namespace
