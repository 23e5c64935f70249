#include "Client.h"
#include "ContentService.h"
#include "MapStorage.h"
#include "MetadataChecker.h"
#include "ServiceDocuments.h"
#include "Settings.h"
#include "StickContent.h"
#include "StickPath.h"
#include "TestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Result = MetadataChecker::Result;

// The real client against the local content service over HTTPS.
class MetadataCheckerServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapStorage::Instance().Clear();
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tests/src/fmu/fixtures/checker-catalogue.json"));
        checker = std::make_unique<MetadataChecker>(
            std::make_unique<Brel::Client>(service.BaseUrl().toStdString(), service.Key()));
    }

    MetadataChecker::Callback Collect()
    {
        return [this](Result result) { results.push_back(result); };
    }

    bool WaitForResults(std::size_t count)
    {
        QElapsedTimer timer;
        timer.start();
        while (results.size() < count && timer.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return results.size() >= count;
    }

    UsbInfo Stick()
    {
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/GENERAL.JSON",
            R"({"subscription_end_date": "2099-12-31", "available_map_space": 8000, "used_map_space": 2000})");
        StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/EU_2023_05.xml",
            QByteArray::fromStdString(
                ServiceDocuments::PackageMetadata({"EU_2023_05", "EUR", "2023.05", "LINE_EU", 1000})));
        UsbInfo usb;
        usb.id = 1;
        usb.path = StickPath::ToWide(stick.path().toStdString());
        usb.state = UsbInfo::ValidMetadata;
        return usb;
    }

    // The logged requests of one endpoint, as "id" query values in log order.
    std::vector<std::string> Requested(const QString& endpoint) const
    {
        std::vector<std::string> ids;
        for (const auto& value : service.RequestLog()) {
            const QJsonObject request = value.toObject();
            if (request["path"].toString() == "/brel/v1/package/" + endpoint)
                ids.push_back(QUrlQuery(request["query"].toString()).queryItemValue("id").toStdString());
        }
        return ids;
    }

    void ExpectHeadersAndQueries() const
    {
        const QString key = QString::fromStdString(service.Key());
        for (const auto& value : service.RequestLog()) {
            const QJsonObject request = value.toObject();
            const QString path = request["path"].toString();
            const QJsonObject headers = request["headers"].toObject();
            EXPECT_TRUE(path.startsWith("/brel/v1/package/")) << path.toStdString();
            EXPECT_EQ("application/xml", headers["Accept"].toString()) << path.toStdString();
            EXPECT_EQ("application/xml", headers["Content-type"].toString()) << path.toStdString();
            const QString query = request["query"].toString();
            if (path.endsWith("/allroots")) {
                EXPECT_EQ("key=" + key, query);
            } else {
                EXPECT_TRUE(query.startsWith("id=") && query.endsWith("&key=" + key)) << query.toStdString();
            }
            if (path.endsWith("/localedata")) {
                EXPECT_EQ("en-GB", headers["Accept-Language"].toString());
            }
        }
    }

    ContentService service;
    std::unique_ptr<MetadataChecker> checker;
    std::vector<Result> results;
    QTemporaryDir stick;
};

TEST_F(MetadataCheckerServiceTest, RootCheckFillsTheCatalogueWithTheNewestOfEachRoot)
{
    checker->CheckRootUpdates(Collect());
    ASSERT_TRUE(WaitForResults(1));
    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);

    const MapStorage::Maps maps = MapStorage::Instance().GetMaps();
    ASSERT_EQ(2u, maps.size());
    const MapInfo europe = maps.at("EU_2024_05");
    EXPECT_TRUE(europe.root);
    EXPECT_EQ(MapInfo::Optional, europe.type);
    EXPECT_EQ(MapInfo::Available, europe.state);
    EXPECT_EQ("2024.05", europe.release);
    EXPECT_EQ(2000, europe.size);
    EXPECT_EQ(L"Europe 2024.05", europe.name);
    EXPECT_EQ("https://127.0.0.1:" + std::to_string(service.Port()) + "/files/EU_2024_05.tar", europe.url);
    EXPECT_EQ("00000000000000000000000000000005", europe.checksum);
    EXPECT_EQ(L"North America 2024.01", maps.at("NA_2024_01").name);

    const QJsonArray log = service.RequestLog();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ("/brel/v1/package/allroots", log.first().toObject()["path"].toString());
    EXPECT_EQ((std::vector<std::string> {"R_EU", "R_NA"}), Requested("allnewest"));
    auto metadata = Requested("metadata");
    std::sort(metadata.begin(), metadata.end());
    EXPECT_EQ((std::vector<std::string> {"EU_2024_05", "NA_2024_01"}), metadata);
    EXPECT_EQ(2u, Requested("downloadinfo").size());
    EXPECT_EQ(2u, Requested("localedata").size());
    ExpectHeadersAndQueries();
}

TEST_F(MetadataCheckerServiceTest, RelatedCheckClassifiesAndFiltersAndRenamesOnLanguageChange)
{
    checker->CheckRelatedUpdates(Stick(), Collect());
    ASSERT_TRUE(WaitForResults(1));
    EXPECT_EQ(std::vector<Result> {MetadataChecker::Ok}, results);

    const MapStorage::Maps maps = MapStorage::Instance().GetMaps();
    ASSERT_EQ(3u, maps.size());
    EXPECT_EQ(MapInfo::Installed, maps.at("EU_2023_05").type);
    EXPECT_EQ(MapInfo::Optional, maps.at("EU_2024_05").type);
    const MapInfo premium = maps.at("EP2_2024_02");
    EXPECT_EQ(MapInfo::Mandatory, premium.type);
    EXPECT_EQ(0, premium.size);
    EXPECT_EQ(L"Europe Premium 2024.02", premium.name);
    EXPECT_FALSE(premium.root);
    EXPECT_EQ("https://127.0.0.1:" + std::to_string(service.Port()) + "/files/EP2_2024_02.tar", premium.url);
    EXPECT_EQ(10000, MapStorage::Instance().GetSubscription().totalMapSpace);

    EXPECT_EQ(std::vector<std::string> {"EU_2023_05"}, Requested("allrelated"));
    auto metadata = Requested("metadata");
    std::sort(metadata.begin(), metadata.end());
    EXPECT_EQ((std::vector<std::string> {"EP2_2024_02", "EU_2023_05", "EU_2024_05", "NA_2024_01"}), metadata);
    EXPECT_EQ(3u, Requested("downloadinfo").size());
    ExpectHeadersAndQueries();

    // Needs the shipped translations (target "translations", built with all).
    ASSERT_TRUE(Settings::Instance().SetLocale("de_DE"));
    checker->UpdateLocale();
    ASSERT_TRUE(WaitForResults(2));
    EXPECT_EQ(MetadataChecker::Ok, results.back());
    EXPECT_EQ(L"Europa 2024.05", MapStorage::Instance().FindMap("EU_2024_05").name);
    EXPECT_EQ(3u, MapStorage::Instance().GetMaps().size());
    const QJsonObject last = service.RequestLog().last().toObject();
    EXPECT_EQ("de-DE", last["headers"].toObject()["Accept-Language"].toString());
}

} // namespace
