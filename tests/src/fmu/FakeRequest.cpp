#include "FakeRequest.h"

#include <algorithm>

FakeRequest::FakeRequest(
    std::shared_ptr<FakeService> service, FakeService::Sent what, std::ostream* out, Brel::IResponse* response)
    : service(std::move(service))
    , what(std::move(what))
    , out(out)
    , response(response)
{
}

FakeRequest::~FakeRequest()
{
    Abort();
}

void FakeRequest::Send()
{
    service->sent.push_back(what);
    service->pending.push_back(this);
}

bool FakeRequest::Retry()
{
    Send();
    return true;
}

void FakeRequest::Abort()
{
    auto& pending = service->pending;
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
}

void FakeRequest::Answer(const FakeService::Answer& answer)
{
    *out << answer.body;
    response->OnResult(answer.result);
}
