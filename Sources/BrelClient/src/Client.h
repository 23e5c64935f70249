#pragma once

#include "IClient.h"

#include <QMap>
#include <QNetworkAccessManager>
#include <QString>

#include <string>

namespace Brel {

class Client : public IClient {
public:
    Client(std::string baseUrl, std::string key);

    IRequest* GetAllNewest(std::ostream* out, const std::string& packageId, IResponse* response) override;
    IRequest* GetAllRelated(std::ostream* out, const std::string& packageId, IResponse* response) override;
    IRequest* GetAllRoots(std::ostream* out, IResponse* response) override;
    IRequest* GetDownloadInfo(std::ostream* out, const std::string& packageId, IResponse* response) override;
    IRequest* GetLocaleContentData(
        std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response) override;
    IRequest* GetLocaleData(
        std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response) override;
    IRequest* GetMapContent(std::ostream* out, IResponse* response) override;
    IRequest* GetMetadata(std::ostream* out, const std::string& packageId, IResponse* response) override;

private:
    using Items = QMap<QString, QString>;

    void ChooseProxy();
    IRequest* MakeXmlRequest(const char* path, Items arguments, Items headers, std::ostream* out, IResponse* response);
    Items PackageArguments(const std::string& packageId) const;
    static Items XmlHeaders();
    static Items LocaleHeaders(const std::string& locale);

    QNetworkAccessManager manager_;
    std::string baseUrl_;
    std::string key_;
};

} // namespace Brel
