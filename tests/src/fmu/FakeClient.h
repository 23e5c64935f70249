#pragma once

#include "FakeService.h"
#include "IClient.h"

#include <memory>
#include <string>

// A client whose requests are answered by a FakeService.
class FakeClient : public Brel::IClient {
public:
    explicit FakeClient(std::shared_ptr<FakeService> service);

    Brel::IRequest* GetAllNewest(std::ostream* out, const std::string& id, Brel::IResponse* response) override;
    Brel::IRequest* GetAllRelated(std::ostream* out, const std::string& id, Brel::IResponse* response) override;
    Brel::IRequest* GetAllRoots(std::ostream* out, Brel::IResponse* response) override;
    Brel::IRequest* GetDownloadInfo(std::ostream* out, const std::string& id, Brel::IResponse* response) override;
    Brel::IRequest* GetLocaleContentData(
        std::ostream* out, const std::string& id, const std::string& locale, Brel::IResponse* response) override;
    Brel::IRequest* GetLocaleData(
        std::ostream* out, const std::string& id, const std::string& locale, Brel::IResponse* response) override;
    Brel::IRequest* GetMapContent(std::ostream* out, Brel::IResponse* response) override;
    Brel::IRequest* GetMetadata(std::ostream* out, const std::string& id, Brel::IResponse* response) override;

private:
    Brel::IRequest* Make(const char* kind, const std::string& id, const std::string& locale, std::ostream* out,
        Brel::IResponse* response);

    std::shared_ptr<FakeService> service;
};
