#include "MainWindowFixture.h"

#include "Resources.h"

#include <QDir>

#include <functional>

using Ui::State;

// Not a check: renders the window in representative states to PNGs for
// people to look at, when TESSALY_RENDER_DIR names a folder.
TEST_F(MainWindowTest, RendersRepresentativeStates)
{
    const QString folder = qEnvironmentVariable("TESSALY_RENDER_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "TESSALY_RENDER_DIR not set";
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
        QTest::qWait(50);
        EXPECT_TRUE(window.grab().save(QDir(folder).filePath(QString(picture.file) + ".png")));
    }
    window.ShowSettingsPage();
    QTest::qWait(50);
    EXPECT_TRUE(window.grab().save(QDir(folder).filePath("main-window-settings.png")));
}
