#pragma once

#include "FullMapUpdateManager.h"
#include "IClient.h"
#include "MapStorage.h"
#include "ServiceDocuments.h"
#include "StickContent.h"
#include "StickPath.h"
#include "TestFiles.h"
#include "UsbStorage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <map>
#include <memory>

using Ids = std::vector<std::string>;

// A service client whose requests wait for the test: answers come from a table, map content is fed in.
class FakeClient : public Brel::IClient {
public:
    using Id = const std::string&;
    using Result = Brel::IResponse::Result;
    using Sent = std::pair<std::string, std::string>; // a request's kind ("AllRoots", "Retry", ...) and package id
    class Request;
    struct Service {
        void Answer(Id kind, Id id, Id body, Result result = {}) { answers[{kind, id}] = {result, body}; }
        // Answers the oldest pending request of that kind and id (any, for no kind); false when there is none.
        bool Deliver(Id kind = "", Id id = "");
        Ids Sent(Id kind) const
        {
            Ids ids;
            for (const auto& [sentKind, id] : sent)
                if (sentKind == kind)
                    ids.push_back(id);
            return ids;
        }
        // Writes into the newest request in chunks, reporting each; false once it went away.
        bool Feed(const QByteArray& bytes);
        void Finish(Result result) { pending.back()->response->OnResult(result); }

        std::map<FakeClient::Sent, std::pair<Result, std::string>> answers;
        std::list<Request*> pending;
        std::vector<FakeClient::Sent> sent;
        std::function<void()> onRequestDeleted;
    };

    struct Call {
        std::shared_ptr<Service> service;
        Sent what;
        std::ostream* out;
        Brel::IResponse* response;
    };
    class Request : public Brel::IRequest, public Call {
    public:
        explicit Request(Call call)
            : Call(std::move(call))
        {
        }
        ~Request() override
        {
            Abort();
            if (service->onRequestDeleted)
                service->onRequestDeleted();
        }
        void SetTimeout(qint64) override { }
        void Send() override
        {
            service->sent.push_back(what);
            service->pending.push_back(this);
        }
        bool Retry() override { return false; }
        void Abort() override { service->pending.remove(this); }
        void GetDownloadedbytes(qint64) override { }
        void StartAutomaticRetry() override { service->sent.push_back({"Retry", what.second}); }
        void SetAutomaticRetryTimeout(qint64) override { }
        int ReadRetryDurationFromConfig() override { return 0; }
    };

    explicit FakeClient(std::shared_ptr<Service> service)
        : service(std::move(service))
    {
    }

    using Out = std::ostream*;
    using Req = Brel::IRequest*;
    using Res = Brel::IResponse*;
    Req GetAllNewest(Out out, Id id, Res r) override { return Make({"AllNewest", id}, out, r); }
    Req GetAllRelated(Out out, Id id, Res r) override { return Make({"AllRelated", id}, out, r); }
    Req GetAllRoots(Out out, Res r) override { return Make({"AllRoots", ""}, out, r); }
    Req GetDownloadInfo(Out out, Id id, Res r) override { return Make({"DownloadInfo", id}, out, r); }
    Req GetLocaleContentData(Out out, Id id, Id, Res r) override { return Make({"", id}, out, r); }
    Req GetLocaleData(Out out, Id id, Id, Res r) override { return Make({"LocaleData", id}, out, r); }
    Req GetMapContent(Out out, Res r) override { return Make({"MapContent", ""}, out, r); }
    Req GetMetadata(Out out, Id id, Res r) override { return Make({"Metadata", id}, out, r); }

private:
    Req Make(Sent what, Out out, Res r) { return new Request({service, std::move(what), out, r}); }

    std::shared_ptr<Service> service;
};

inline bool FakeClient::Service::Deliver(Id kind, Id id)
{
    const auto found = std::find_if(pending.begin(), pending.end(),
        [&](const Request* request) { return kind.empty() || request->what == FakeClient::Sent(kind, id); });
    if (found == pending.end())
        return false;
    Request* request = *found;
    pending.erase(found);
    EXPECT_EQ(1u, answers.count(request->what))
        << "No answer for " << request->what.first << " " << request->what.second;
    *request->out << answers[request->what].second;
    request->response->OnResult(answers[request->what].first);
    return true;
}

inline bool FakeClient::Service::Feed(const QByteArray& bytes)
{
    for (int offset = 0; offset < bytes.size() && !pending.empty(); offset += 1024) {
        const int count = std::min(1024, bytes.size() - offset);
        pending.back()->out->write(bytes.constData() + offset, count);
        pending.back()->response->OnData(count);
    }
    return !pending.empty();
}

namespace Docs = ServiceDocuments;
