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

using Ids = std::vector<std::string>;
namespace Docs = ServiceDocuments;

// Requests that wait for the test: answers come from a table keyed by kind ("AllRoots", "Retry", ...) and package
// id, map content is fed in.
struct FakeService {
    using Result = Brel::IResponse::Result;
    using Key = std::pair<std::string, std::string>;
    struct Call {
        FakeService* service;
        Key what;
        std::ostream* out;
        Brel::IResponse* response;
    };
    struct Request : Brel::IRequest, Call {
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
        void Send() override { service->sent.push_back(what), service->pending.push_back(this); }
        bool Retry() override { return false; }
        void Abort() override { service->pending.remove(this); }
        void GetDownloadedbytes(qint64) override { }
        void StartAutomaticRetry() override { service->sent.push_back({"Retry", what.second}); }
        void SetAutomaticRetryTimeout(qint64) override { }
        int ReadRetryDurationFromConfig() override { return 0; }
    };
    struct Client : Brel::IClient {
        using Id = const std::string&;
        using Out = std::ostream*;
        using Res = Brel::IResponse*;
        explicit Client(FakeService* service)
            : service(service)
        {
        }
        Request* Make(Key what, Out out, Res r) { return new Request({service, std::move(what), out, r}); }
        Request* GetAllNewest(Out out, Id id, Res r) override { return Make({"AllNewest", id}, out, r); }
        Request* GetAllRelated(Out out, Id id, Res r) override { return Make({"AllRelated", id}, out, r); }
        Request* GetAllRoots(Out out, Res r) override { return Make({"AllRoots", ""}, out, r); }
        Request* GetDownloadInfo(Out out, Id id, Res r) override { return Make({"DownloadInfo", id}, out, r); }
        Request* GetLocaleContentData(Out out, Id id, Id, Res r) override { return Make({"", id}, out, r); }
        Request* GetLocaleData(Out out, Id id, Id, Res r) override { return Make({"LocaleData", id}, out, r); }
        Request* GetMapContent(Out out, Res r) override { return Make({"MapContent", ""}, out, r); }
        Request* GetMetadata(Out out, Id id, Res r) override { return Make({"Metadata", id}, out, r); }
        FakeService* service;
    };

    std::unique_ptr<Client> NewClient() { return std::make_unique<Client>(this); }
    void Answer(const std::string& kind, const std::string& id, const std::string& body, Result result = {})
    {
        answers[{kind, id}] = {result, body};
    }
    // Answers the oldest pending request of that kind and id (any, for no kind); false when there is none.
    bool Deliver(const Key& key = {})
    {
        const auto found = std::find_if(pending.begin(), pending.end(),
            [&](Request* request) { return key.first.empty() || request->what == key; });
        if (found == pending.end())
            return false;
        Request* request = *found;
        pending.erase(found);
        EXPECT_EQ(1u, answers.count(request->what)) << request->what.first << " " << request->what.second;
        *request->out << answers[request->what].second;
        request->response->OnResult(answers[request->what].first);
        return true;
    }
    Ids Sent(const std::string& kind) const
    {
        Ids ids;
        for (const auto& [sentKind, id] : sent)
            if (sentKind == kind)
                ids.push_back(id);
        return ids;
    }
    // Writes into the newest request in chunks, reporting each; false once it went away.
    bool Feed(const QByteArray& bytes)
    {
        for (int offset = 0; offset < bytes.size() && !pending.empty(); offset += 1024) {
            const int count = std::min(1024, bytes.size() - offset);
            pending.back()->out->write(bytes.constData() + offset, count);
            pending.back()->response->OnData(count);
        }
        return !pending.empty();
    }
    void Finish(Result result) { pending.back()->response->OnResult(result); }

    std::map<Key, std::pair<Result, std::string>> answers;
    std::list<Request*> pending;
    std::vector<Key> sent;
    std::function<void()> onRequestDeleted;
};
