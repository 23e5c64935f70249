#pragma once

#include "IRequest.h"
#include "IResponse.h"

#include <ostream>
#include <string>

namespace Brel {

// Factory of requests to one content-update service (or one archive URL).
// Every operation returns a new request, not yet sent, that the caller owns;
// the client must outlive it. The response body goes into out.
class IClient {
public:
    virtual ~IClient() = default;
    virtual IRequest* GetAllNewest(std::ostream* out, const std::string& packageId, IResponse* response) = 0;
    virtual IRequest* GetAllRelated(std::ostream* out, const std::string& packageId, IResponse* response) = 0;
    virtual IRequest* GetAllRoots(std::ostream* out, IResponse* response) = 0;
    virtual IRequest* GetDownloadInfo(std::ostream* out, const std::string& packageId, IResponse* response) = 0;
    virtual IRequest* GetLocaleContentData(
        std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response)
        = 0;
    virtual IRequest* GetLocaleData(
        std::ostream* out, const std::string& packageId, const std::string& locale, IResponse* response)
        = 0;
    virtual IRequest* GetMapContent(std::ostream* out, IResponse* response) = 0;
    virtual IRequest* GetMetadata(std::ostream* out, const std::string& packageId, IResponse* response) = 0;
};

// A client for the service at baseUrl; key may be empty (archive downloads).
IClient* CreateClient(std::string baseUrl, std::string key);

} // namespace Brel
