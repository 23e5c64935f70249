// The client against the local content service over real HTTPS: what each
// operation puts on the wire and what comes back.
#include "Client.h"
#include "ContentService.h"
#include "LogCapture.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QFile>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

using Brel::IRequest;
using Brel::IResponse;

namespace {

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        ASSERT_TRUE(service.Start());
        key = service.Key();
        client = std::make_unique<Brel::Client>(service.BaseUrl().toStdString(), key);
    }

    // Sends the request and waits for its first result.
    IResponse::Result Run(IRequest* made, int windowMs = 400)
    {
        request.reset(made);
        request->SetTimeout(5000);
        static_cast<Brel::Request*>(request.get())->SetRetryWindowLength(windowMs);
        static_cast<Brel::Request*>(request.get())->SetRetryPause(50);
        request->Send();
        return FirstResult(response);
    }

    QJsonObject LastLogged() const { return service.RequestLog().last().toObject(); }
    QString Header(const char* name) const { return LastLogged()["headers"].toObject()[name].toString(); }
    bool HasHeader(const char* name) const { return LastLogged()["headers"].toObject().contains(name); }

    ContentService service;
    std::string key;
    std::unique_ptr<Brel::Client> client;
    RecordingResponse response;
    std::ostringstream out;
    std::unique_ptr<IRequest> request;
};

struct Endpoint {
    const char* path;
    std::function<IRequest*(Brel::IClient&, std::ostream*, IResponse*)> make;
    bool withId;
    const char* expectedText;
};

} // namespace

TEST_F(ClientTest, EveryXmlEndpointSendsItsPathQueryInNameOrderAndHeaders)
{
    const std::string id = "EU1_2023_11";
    const std::vector<Endpoint> endpoints = {
        {"/package/allnewest", [&](auto& c, auto* o, auto* r) { return c.GetAllNewest(o, id, r); }, true, "<list>"},
        {"/package/allrelated", [&](auto& c, auto* o, auto* r) { return c.GetAllRelated(o, id, r); }, true,
            "<packageId>NA1_2024_02</packageId>"},
        {"/package/allroots", [&](auto& c, auto* o, auto* r) { return c.GetAllRoots(o, r); }, false,
            "<packageId>EU1_2023_05</packageId>"},
        {"/package/downloadinfo", [&](auto& c, auto* o, auto* r) { return c.GetDownloadInfo(o, id, r); }, true,
            "<url>"},
        {"/package/metadata", [&](auto& c, auto* o, auto* r) { return c.GetMetadata(o, id, r); }, true,
            "<tns:metadata"},
    };
    for (const Endpoint& endpoint : endpoints) {
        response.results.clear();
        response.data.clear();
        out.str("");
        ASSERT_EQ(Run(endpoint.make(*client, &out, &response)), IResponse::Ok) << endpoint.path;
        EXPECT_EQ(LastLogged()["path"].toString(), QString("/brel/v1") + endpoint.path);
        const QString query = endpoint.withId ? QString("id=%1&key=%2").arg(id.c_str(), key.c_str())
                                              : QString("key=%1").arg(key.c_str());
        EXPECT_EQ(LastLogged()["query"].toString(), query) << endpoint.path;
        EXPECT_EQ(Header("Accept"), "application/xml");
        EXPECT_EQ(Header("Content-type"), "application/xml");
        EXPECT_FALSE(HasHeader("Range"));
        EXPECT_NE(out.str().find(endpoint.expectedText), std::string::npos) << endpoint.path << ": " << out.str();
        EXPECT_EQ(response.data, std::vector<qint64> {static_cast<qint64>(out.str().size())});
    }
}

TEST_F(ClientTest, LocaleEndpointsSendTheLocaleAsAcceptLanguage)
{
    using Make = std::function<IRequest*()>;
    const std::vector<std::pair<const char*, Make>> endpoints = {
        {"/brel/v1/package/localedata", [&] { return client->GetLocaleData(&out, "EU1_2023_11", "de-DE", &response); }},
        {"/brel/v1/package/localecontentdata",
            [&] { return client->GetLocaleContentData(&out, "EU1_2023_11", "de-DE", &response); }},
    };
    for (const auto& [path, make] : endpoints) {
        response.results.clear();
        out.str("");
        ASSERT_EQ(Run(make()), IResponse::Ok);
        EXPECT_EQ(LastLogged()["path"].toString(), path);
        EXPECT_EQ(LastLogged()["query"].toString(), QString("id=EU1_2023_11&key=") + key.c_str());
        EXPECT_EQ(Header("Accept-Language"), "de-DE");
        EXPECT_EQ(Header("Content-type"), "application/xml");
        EXPECT_NE(out.str().find("Europa 2023.11"), std::string::npos) << out.str();
    }
}

TEST_F(ClientTest, MapContentDropsTheUrlQueryAndAsksForTar)
{
    const QString name = "EU1_2023_05.tar";
    QUrl url = service.ArchiveUrl(name);
    url.setQuery("signature=abc");
    Brel::Client archives(url.toString().toStdString(), "");
    ASSERT_EQ(Run(archives.GetMapContent(&out, &response)), IResponse::Ok);
    EXPECT_EQ(LastLogged()["path"].toString(), "/files/" + name);
    EXPECT_EQ(LastLogged()["query"].toString(), "");
    EXPECT_EQ(Header("Accept"), "application/x-tar");
    EXPECT_FALSE(HasHeader("Content-type"));
    QFile archive(service.ArchivePath(name));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.str() == archive.readAll().toStdString());
}

TEST_F(ClientTest, EmptyIdAndKeyAreStillSentAndTrailingSlashIsKept)
{
    Brel::Client bare(service.BaseUrl().toStdString() + "/", "");
    EXPECT_EQ(Run(bare.GetMetadata(&out, "", &response), 100), IResponse::ServerError);
    EXPECT_EQ(LastLogged()["path"].toString(), "/brel/v1//package/metadata");
    EXPECT_EQ(LastLogged()["query"].toString(), "id=&key=");
    EXPECT_EQ(out.str(), "");
}

TEST_F(ClientTest, IdArrivesAsGivenWhateverItsCharacters)
{
    const std::string id = "A&B=C+D \xC3\xA9%20x#y";
    EXPECT_EQ(Run(client->GetMetadata(&out, id, &response), 100), IResponse::ServerError); // unknown id
    // Decoded as a form, the way the service reads it.
    QMap<QString, QString> items;
    for (const QString& pair : LastLogged()["query"].toString().split('&')) {
        const QString name = pair.section('=', 0, 0);
        QByteArray value = pair.section('=', 1).toLatin1().replace('+', ' ');
        items.insert(name, QUrl::fromPercentEncoding(value));
    }
    EXPECT_EQ(items.value("id").toStdString(), id);
    EXPECT_EQ(items.value("key").toStdString(), key);
}

TEST_F(ClientTest, KeyTravelsInTheUrlButIsLoggedMasked)
{
    LogCapture log;
    Brel::Client logged(service.BaseUrl().toStdString(), key);
    ASSERT_EQ(Run(logged.GetAllRoots(&out, &response)), IResponse::Ok);
    EXPECT_EQ(LastLogged()["query"].toString(), QString("key=") + key.c_str());
    EXPECT_EQ(log.Count(Log::Info, "Creating AllRoots request for package"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Adding argument: key=******"), 1);
    for (const auto& record : log.Records()) {
        EXPECT_EQ(record.message.find(key), std::string::npos) << record.message;
        EXPECT_EQ(record.channel, "BrolClient");
    }
}
