#include "MainWindowFixture.h"

#include "Resources.h"

#include <QDir>
#include <QImage>

#include <functional>

using Ui::State;

// Renders the window in representative states, each on show with its page.
// With TESSALY_PICTURES set to a folder the pictures are written there (docs/
// keeps the reviewed ones).
TEST_F(MainWindowTest, RendersRepresentativeStates)
{
    const QString folder = qEnvironmentVariable("TESSALY_PICTURES");
    const auto keep = [&folder](QWidget& widget, const char* name) {
        QTest::qWait(50); // word-wrapped labels settle their height after a layout pass
        const QImage picture = widget.grab().toImage();
        EXPECT_EQ(picture.size(), widget.size()) << name;
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QDir(folder).filePath(QString(name) + ".png"))) << name;
        }
    };
    Fonts::Load();
    InsertStick();
    SubscriptionInfo subscription;
    subscription.endDate = QDate(2027, 3, 31);
    subscription.availableMapSpace = 6'500'000'000;
    subscription.totalMapSpace = 16'000'000'000;
    MapStorage::Instance().SetSubscription(subscription);
    const auto offer = [&subscription](MapInfo::Type type, MapInfo::State state) {
        MapStorage::Instance().Clear();
        MapStorage::Instance().SetSubscription(subscription);
        MapInfo map = Map("offer", type, state);
        map.name = L"Europe West 2023.05";
        Store(map);
    };
    const struct {
        const char* file;
        std::function<void()> seed;
        State state;
    } pictures[] = {
        {"main-window-root-offer",
            [] {
                for (const char* id : {"eu-west", "eu-east"})
                    Store(Map(id, MapInfo::Optional, MapInfo::Available, "EUR", true));
                Store(Map("na", MapInfo::Optional, MapInfo::Available, "NAM", true));
            },
            State::RootUpdate},
        {"main-window-optional-offer", [&] { offer(MapInfo::Optional, MapInfo::Available); }, State::OptionalUpdate},
        {"main-window-mandatory-offer", [&] { offer(MapInfo::Mandatory, MapInfo::Available); }, State::MandatoryUpdate},
        {"main-window-download", [&] { offer(MapInfo::Optional, MapInfo::Downloading); }, State::MapDownload},
        {"main-window-pending", [&] { offer(MapInfo::Optional, MapInfo::Pending); }, State::PendingUpdate},
        {"main-window-no-connection", [&] { offer(MapInfo::Optional, MapInfo::Downloading); }, State::NoConnection},
    };
    window.resize(800, 600);
    for (const auto& picture : pictures) {
        picture.seed();
        window.SetState(picture.state);
        window.ShowMapsPage();
        EXPECT_TRUE(window.isVisible()) << picture.file;
        keep(window, picture.file);
    }
    window.ShowSettingsPage();
    keep(window, "main-window-settings");
}
