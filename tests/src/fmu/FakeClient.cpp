#include "FakeClient.h"

#include "FakeRequest.h"

FakeClient::FakeClient(std::shared_ptr<FakeService> service)
    : service(std::move(service))
{
}

Brel::IRequest* FakeClient::Make(
    const char* kind, const std::string& id, const std::string& locale, std::ostream* out, Brel::IResponse* response)
{
    return new FakeRequest(service, {kind, id, locale, 0}, out, response);
}

Brel::IRequest* FakeClient::GetAllNewest(std::ostream* out, const std::string& id, Brel::IResponse* response)
{
    return Make("AllNewest", id, "", out, response);
}

Brel::IRequest* FakeClient::GetAllRelated(std::ostream* out, const std::string& id, Brel::IResponse* response)
{
    return Make("AllRelated", id, "", out, response);
}

Brel::IRequest* FakeClient::GetAllRoots(std::ostream* out, Brel::IResponse* response)
{
    return Make("AllRoots", "", "", out, response);
}

Brel::IRequest* FakeClient::GetDownloadInfo(std::ostream* out, const std::string& id, Brel::IResponse* response)
{
    return Make("DownloadInfo", id, "", out, response);
}

Brel::IRequest* FakeClient::GetLocaleContentData(
    std::ostream* out, const std::string& id, const std::string& locale, Brel::IResponse* response)
{
    return Make("LocaleContentData", id, locale, out, response);
}

Brel::IRequest* FakeClient::GetLocaleData(
    std::ostream* out, const std::string& id, const std::string& locale, Brel::IResponse* response)
{
    return Make("LocaleData", id, locale, out, response);
}

Brel::IRequest* FakeClient::GetMapContent(std::ostream* out, Brel::IResponse* response)
{
    return Make("MapContent", "", "", out, response);
}

Brel::IRequest* FakeClient::GetMetadata(std::ostream* out, const std::string& id, Brel::IResponse* response)
{
    return Make("Metadata", id, "", out, response);
}
