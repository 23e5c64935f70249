#pragma once

#include "FakeService.h"
#include "IRequest.h"

#include <memory>
#include <ostream>

// A request of FakeClient: Send queues it at its service; deleting it drops it.
class FakeRequest : public Brel::IRequest {
public:
    FakeRequest(
        std::shared_ptr<FakeService> service, FakeService::Sent what, std::ostream* out, Brel::IResponse* response);
    ~FakeRequest() override;

    void SetTimeout(qint64 milliseconds) override { what.timeout = milliseconds; }
    void Send() override;
    bool Retry() override;
    void Abort() override;
    void GetDownloadedbytes(qint64) override { }
    void StartAutomaticRetry() override { }
    void SetAutomaticRetryTimeout(qint64) override { }
    int ReadRetryDurationFromConfig() override { return 0; }

    const FakeService::Sent& What() const { return what; }
    // Writes the body and reports the result; the response may delete this.
    void Answer(const FakeService::Answer& answer);

private:
    std::shared_ptr<FakeService> service;
    FakeService::Sent what;
    std::ostream* out;
    Brel::IResponse* response;
};
