#include "Client.h"

#include "AsyncRequest.h"
#include "Log.h"
#include "Request.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QUrl>

#include <boost/optional.hpp>

#include <utility>

namespace Brel {

namespace {

constexpr int kDefaultProxyPort = 1080;

// The proxy named by "https_proxy", if it names a host.
boost::optional<QNetworkProxy> EnvironmentProxy()
{
    QString value = QString::fromLocal8Bit(qgetenv("https_proxy"));
    if (value.isEmpty())
        return boost::none;
    if (!value.contains("://"))
        value.prepend("http://"); // "host:port" is a common way of writing it
    const QUrl url(value, QUrl::TolerantMode);
    if (url.host().isEmpty()) {
        LOG_BREL(Warning) << "Ignoring https_proxy, it names no host";
        return boost::none;
    }
    int port = url.port();
    if (port < 0) {
        LOG_BREL(Warning) << "No port in https_proxy, using port " << kDefaultProxyPort;
        port = kDefaultProxyPort;
    }
    return QNetworkProxy(
        QNetworkProxy::HttpProxy, url.host(), static_cast<quint16>(port), url.userName(), url.password());
}

// The first proxy of the system configuration that names a host.
boost::optional<QNetworkProxy> SystemProxy()
{
    for (const QNetworkProxy& proxy : QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery())) {
        if (!proxy.hostName().isEmpty())
            return proxy;
    }
    return boost::none;
}

} // namespace

IClient* CreateClient(std::string baseUrl, std::string key)
{
    return new Client(std::move(baseUrl), std::move(key));
}

Client::Client(std::string baseUrl, std::string key)
    : baseUrl_(std::move(baseUrl))
    , key_(std::move(key))
{
    ChooseProxy();
}

void Client::ChooseProxy()
{
    boost::optional<QNetworkProxy> proxy = EnvironmentProxy();
    if (!proxy)
        proxy = SystemProxy();
    if (!proxy)
        return;
    LOG_BREL(Info) << "Setting proxy to: " << proxy->hostName();
    manager_.setProxy(*proxy);
}

IRequest* Client::GetAllNewest(std::ostream* out, const std::string& packageId, IResponse* response)
{
    LOG_BREL(Info) << "Creating AllNewest request for package: " << packageId;
    return MakeXmlRequest("/package/allnewest", PackageArguments(packageId), XmlHeaders(), out, response);
}

IRequest* Client::GetAllRelated(std::ostream* out, const std::string& packageId, IResponse* response)
{
    LOG_BREL(Info) << "Creating AllRelated request for package: " << packageId;
    return MakeXmlRequest("/package/allrelated", PackageArguments(packageId), XmlHeaders(), out, response);
}

IRequest* Client::GetAllRoots(std::ostream* out, IResponse* response)
{
    LOG_BREL(Info) << "Creating AllRoots request for package";
    return MakeXmlRequest("/package/allroots", {{"key", QString::fromStdString(key_)}}, XmlHeaders(), out, response);
}

IRequest* Client::GetDownloadInfo(std::ostream* out, const std::string& packageId, IResponse* response)
{
    LOG_BREL(Info) << "Creating DownloadInfo request for package: " << packageId;
    return MakeXmlRequest("/package/downloadinfo", PackageArguments(packageId), XmlHeaders(), out, response);
}

IRequest* Client::GetLocaleContentData(
    std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response)
{
    LOG_BREL(Info) << "Creating LocaleContentData request for package: " << packageId << " and locale: " << locale;
    return MakeXmlRequest(
        "/package/localecontentdata", PackageArguments(packageId), LocaleHeaders(locale), out, response);
}

IRequest* Client::GetLocaleData(
    std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response)
{
    LOG_BREL(Info) << "Creating LocaleData request for package: " << packageId << " and locale: " << locale;
    return MakeXmlRequest("/package/localedata", PackageArguments(packageId), LocaleHeaders(locale), out, response);
}

IRequest* Client::GetMapContent(std::ostream* out, IResponse* response)
{
    LOG_BREL(Info) << "Creating MapContent request";
    // Uncompressed, so a resume offset counts the same bytes as the server's ranges.
    return new AsyncRequest(&manager_, QString::fromStdString(baseUrl_),
        {{"Accept", "application/x-tar"}, {"Accept-Encoding", "identity"}}, {}, response, out);
}

IRequest* Client::GetMetadata(std::ostream* out, const std::string& packageId, IResponse* response)
{
    LOG_BREL(Info) << "Creating Metadata request for package: " << packageId;
    return MakeXmlRequest("/package/metadata", PackageArguments(packageId), XmlHeaders(), out, response);
}

IRequest* Client::MakeXmlRequest(
    const char* path, Items arguments, Items headers, std::ostream* out, IResponse* response)
{
    return new Request(&manager_, QString::fromStdString(baseUrl_ + path), headers, arguments, response, out);
}

Client::Items Client::PackageArguments(const std::string& packageId) const
{
    return {{"id", QString::fromStdString(packageId)}, {"key", QString::fromStdString(key_)}};
}

Client::Items Client::XmlHeaders()
{
    return {{"Accept", "application/xml"}, {"Content-type", "application/xml"}};
}

Client::Items Client::LocaleHeaders(const std::string& locale)
{
    Items headers = XmlHeaders();
    headers.insert("Accept-Language", QString::fromStdString(locale));
    return headers;
}

} // namespace Brel
