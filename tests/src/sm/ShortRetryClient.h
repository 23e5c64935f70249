#pragma once

#include "Client.h"
#include "FullMapUpdateManager.h"
#include "Request.h"

#include <memory>
#include <string>

// The archive client of the program, whose map downloads give up after a
// retry window of a moment instead of the configured minutes, so that a test
// sees a connection lost for good.
class ShortRetryClient : public Brel::Client {
public:
    static constexpr int WindowMs = 1500;

    explicit ShortRetryClient(const std::string& url)
        : Client(url, "")
    {
    }

    Brel::IRequest* GetMapContent(std::ostream* out, Brel::IResponse* response) override
    {
        return new ShortRetryRequest(static_cast<Brel::Request*>(Client::GetMapContent(out, response)));
    }

private:
    class ShortRetryRequest : public Brel::IRequest {
    public:
        explicit ShortRetryRequest(Brel::Request* request)
            : inner(request)
        {
        }
        void SetTimeout(qint64 milliseconds) override { inner->SetTimeout(milliseconds); }
        void Send() override { inner->Send(); }
        bool Retry() override { return inner->Retry(); }
        void Abort() override { inner->Abort(); }
        void GetDownloadedbytes(qint64 bytes) override { inner->GetDownloadedbytes(bytes); }
        void StartAutomaticRetry() override { inner->StartAutomaticRetry(); }
        void SetAutomaticRetryTimeout(qint64 milliseconds) override { inner->SetAutomaticRetryTimeout(milliseconds); }
        int ReadRetryDurationFromConfig() override
        {
            inner->ReadRetryDurationFromConfig();
            inner->SetRetryWindowLength(WindowMs);
            inner->SetRetryPause(100);
            return WindowMs;
        }

    private:
        std::unique_ptr<Brel::Request> inner;
    };
};

// The program's map update manager, its downloads on that client.
inline std::unique_ptr<QObject> ShortRetryManager()
{
    auto manager = std::make_unique<FullMapUpdateManager>();
    manager->Downloader().SetClientFactory(
        [](const std::string& url) { return std::make_unique<ShortRetryClient>(url); });
    return manager;
}
