// The local content service as the product's tests rely on it: its TLS certificate, answers that the parsers
// read, archives with Range, faults and the request log.
#include "ContentService.h"
#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Answer {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray contentRange;
};

class ContentServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.Start()); }

    // A GET that trusts the service's certificate (and nothing else) with the peer verified.
    Answer Get(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers = {},
        const QList<QSslCertificate>& authorities = {})
    {
        QNetworkRequest request(url);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setProtocol(QSsl::TlsV1_2);
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        tls.setCaCertificates(
            authorities.isEmpty() ? QSslCertificate::fromPath(service.CertificatePath()) : authorities);
        request.setSslConfiguration(tls);
        for (const auto& header : headers)
            request.setRawHeader(header.first, header.second);
        QNetworkReply* reply = manager.get(request);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        Answer answer {reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->readAll(), reply->rawHeader("Content-Range")};
        reply->deleteLater();
        return answer;
    }

    QUrl Endpoint(const QString& path, const QString& query) const
    {
        return QUrl(service.BaseUrl() + path + "?" + query);
    }

    // An answer of the service read as the product reads it.
    boost::property_tree::ptree Document(const QString& path, const QString& id, const QByteArray& language = {})
    {
        const QString query = (id.isEmpty() ? QString() : "id=" + id + "&") + "key=" + Key();
        const Answer answer = Get(Endpoint(path, query), {{"Accept-Language", language}});
        EXPECT_EQ(answer.status, 200) << path.toStdString();
        return Read(answer.body.toStdString());
    }

    static boost::property_tree::ptree Read(const std::string& xml)
    {
        std::istringstream in(xml);
        boost::property_tree::ptree tree;
        boost::property_tree::read_xml(in, tree);
        return tree;
    }

    QString Key() const { return QString::fromStdString(service.Key()); }

    QByteArray ArchiveBytes(const QString& name) const
    {
        QFile file(service.ArchivePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ContentService service;
    QNetworkAccessManager manager;
};

const QString archive = "EU1_2023_11.tar";

TEST_F(ContentServiceTest, CertificateIsTrustedOnlyThroughItself)
{
    EXPECT_EQ(qgetenv("SSL_CERT_FILE"), QFile::encodeName(service.CertificatePath()));
    EXPECT_EQ(Get(service.ArchiveUrl(archive)).error, QNetworkReply::NoError);

    manager.clearConnectionCache(); // a kept-alive connection would skip the handshake
    const auto systemOnly = QSslConfiguration::systemCaCertificates();
    EXPECT_EQ(Get(service.ArchiveUrl(archive), {}, systemOnly).error, QNetworkReply::SslHandshakeFailedError);
}

TEST_F(ContentServiceTest, ArchiveIsServedWholeOrFromARange)
{
    const QByteArray tar = ArchiveBytes(archive);
    ASSERT_FALSE(tar.isEmpty());
    const Answer whole = Get(service.ArchiveUrl(archive));
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, tar);

    const Answer part = Get(service.ArchiveUrl(archive), {{"Range", "bytes=1000-"}});
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, tar.mid(1000));
    EXPECT_EQ(part.contentRange, QString("bytes 1000-%1/%2").arg(tar.size() - 1).arg(tar.size()).toLatin1());

    const Answer past = Get(service.ArchiveUrl(archive), {{"Range", "bytes=" + QByteArray::number(tar.size()) + "-"}});
    EXPECT_EQ(past.status, 416);
    EXPECT_EQ(past.contentRange, "bytes */" + QByteArray::number(tar.size()));
}

TEST_F(ContentServiceTest, FaultsApplyAsOftenAsAskedThenTheAnswerIsWhole)
{
    const QByteArray tar = ArchiveBytes(archive);
    service.SetFault({{"path", "/files/"}, {"kind", "drop_after"}, {"bytes", 1000}});
    const Answer cut = Get(service.ArchiveUrl(archive));
    EXPECT_EQ(cut.error, QNetworkReply::RemoteHostClosedError);
    EXPECT_EQ(cut.body, tar.left(1000));
    EXPECT_EQ(Get(service.ArchiveUrl(archive)).body, tar);

    service.SetFault({{"path", "/files/"}, {"kind", "ignore_range"}, {"times", 2}});
    EXPECT_EQ(Get(service.ArchiveUrl(archive), {{"Range", "bytes=10-"}}).status, 200);
    EXPECT_EQ(Get(service.ArchiveUrl(archive), {{"Range", "bytes=10-"}}).status, 200);
    EXPECT_EQ(Get(service.ArchiveUrl(archive), {{"Range", "bytes=10-"}}).status, 206);

    service.SetFault({{"path", "/files/"}, {"kind", "status"}, {"code", 503}, {"times", -1}});
    EXPECT_EQ(Get(service.ArchiveUrl(archive)).status, 503);
    service.ClearFaults();
    EXPECT_EQ(Get(service.ArchiveUrl(archive)).status, 200);
}

TEST_F(ContentServiceTest, RelativeRedirectLeadsToTheTarget)
{
    service.SetFault({{"path", "/files/" + archive}, {"kind", "redirect"}, {"location", "/files/NA1_2023_08.tar"}});
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    EXPECT_EQ(Get(service.ArchiveUrl(archive)).body, ArchiveBytes("NA1_2023_08.tar"));
}

TEST_F(ContentServiceTest, KeyAndIdAreChecked)
{
    const QString key = Key();
    EXPECT_EQ(Get(Endpoint("/package/metadata", "id=EU1_2023_11")).status, 401);
    EXPECT_EQ(Get(Endpoint("/package/metadata", "id=EU1_2023_11&key=wrong")).status, 403);
    EXPECT_EQ(Get(Endpoint("/package/metadata", "id=NOPE&key=" + key)).status, 404);
    EXPECT_EQ(Get(Endpoint("/package/metadata", "key=" + key)).status, 400);
    EXPECT_EQ(Get(Endpoint("/package/allroots", "key=" + key)).status, 200);
}

TEST_F(ContentServiceTest, RequestLogKeepsRawQueryAndHeaders)
{
    const QString query = "id=EU1_2023_11&key=" + Key();
    const Answer answer = Get(Endpoint("/package/localedata", query), {{"Accept-Language", "de-DE"}});
    EXPECT_EQ(answer.body,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><localedata><name>Europa 2023.11</name>"
        "<description>Karte Europas, Herbst 2023</description>"
        "<releasedate>2023-11-20</releasedate></localedata>");

    const QJsonArray log = service.RequestLog();
    ASSERT_EQ(log.size(), 1);
    const QJsonObject record = log.first().toObject();
    EXPECT_EQ(record.value("path").toString(), "/brel/v1/package/localedata");
    EXPECT_EQ(record.value("query").toString(), query);
    EXPECT_EQ(record.value("headers").toObject().value("Accept-Language").toString(), "de-DE");
}

TEST_F(ContentServiceTest, AnswersParseAndAgreeWithTheCatalogue)
{
    using Ids = std::vector<std::string>;
    EXPECT_EQ(
        Brel::ParsePackageIds(Document("/package/allroots", {})), (Ids {"EU1_2023_05", "EP2_2024_02", "NA1_2023_08"}));
    EXPECT_EQ(Brel::ParsePackageIds(Document("/package/allnewest", "EU1_2023_05")),
        (Ids {"EU1_2023_05", "EU1_2023_11", "EU1_2024_05"}));
    EXPECT_EQ(
        Brel::ParsePackageIds(Document("/package/allrelated", "NA1_2023_08")), (Ids {"NA1_2023_08", "NA1_2024_02"}));

    const auto package = boost::get<Brel::Package>(Brel::ParseMetadata(Document("/package/metadata", "EU1_2023_11")));
    EXPECT_EQ(package.identifier, "EU1_2023_11");
    EXPECT_EQ(package.group.item.region, "EUR");
    EXPECT_EQ(package.group.item.ndsMapLineId, "EU-1");
    EXPECT_EQ(package.group.item.releaseCycle, "2023.11");
    const auto group = boost::get<Brel::Group>(Brel::ParseMetadata(Document("/package/metadata", "EP2_2024_02")));
    EXPECT_EQ(group.identifier, "EG2_2024_02");

    const auto info = Brel::ParseDownloadInfo(Document("/package/downloadinfo", "EU1_2023_11"));
    const QByteArray md5 = QCryptographicHash::hash(ArchiveBytes(archive), QCryptographicHash::Md5).toHex();
    EXPECT_EQ(*info, (Brel::Archive {service.ArchiveUrl(archive).toString().toStdString(), md5.toStdString(), "MD5"}));

    const Brel::LocaleData german = Brel::ParseLocaleData(Document("/package/localedata", "EU1_2024_05", "de-DE"));
    EXPECT_TRUE(german.description == std::wstring(L"Karte Europas, Fr\u00fchjahr 2024"));
    EXPECT_EQ(Brel::ParseLocaleData(Document("/package/localedata", "EU1_2024_05", "fr-FR")).name, L"Europe 2024.05");
}

TEST_F(ContentServiceTest, ArchiveHoldsItsMetadataFileAtItsTopLevel)
{
    QTemporaryDir unpacked;
    ASSERT_EQ(QProcess::execute("tar", {"-xf", service.ArchivePath(archive), "-C", unpacked.path()}), 0);
    QFile meta(unpacked.path() + "/EU1_2023_11.meta.xml");
    ASSERT_TRUE(meta.open(QIODevice::ReadOnly));
    const auto package = boost::get<Brel::Package>(Brel::ParseMetadata(Read(meta.readAll().toStdString())));
    EXPECT_EQ(package.identifier, "EU1_2023_11");
    EXPECT_TRUE(QFileInfo(unpacked.path() + "/EXTRA/EMPTY").isDir());
    EXPECT_EQ(QFileInfo(unpacked.path() + "/DATA/SUB/DEEP/TILE2.NDS").size(), 700);
}

TEST_F(ContentServiceTest, MalformedXmlFaultBreaksTheDocument)
{
    service.SetFault({{"path", "/brel/v1/package/allroots"}, {"kind", "malformed_xml"}});
    EXPECT_THROW(Document("/package/allroots", {}), boost::property_tree::xml_parser_error);
    EXPECT_NO_THROW(Document("/package/allroots", {}));
}

} // namespace
