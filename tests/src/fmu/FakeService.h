#pragma once

#include "IResponse.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeRequest;

// The service side of FakeClient: answers from a table, by kind ("AllRoots",
// "AllNewest", "AllRelated", "Metadata", "DownloadInfo", "LocaleData") and
// package id, and only when the test delivers. Answers may carry any result,
// ContentError included, which the real client never reports.
class FakeService {
public:
    struct Answer {
        Brel::IResponse::Result result = Brel::IResponse::Ok;
        std::string body;
    };
    struct Sent {
        std::string kind;
        std::string id;
        std::string locale;
        qint64 timeout = 0;
    };

    void SetAnswer(const std::string& kind, const std::string& id, const std::string& body);
    void SetResult(const std::string& kind, const std::string& id, Brel::IResponse::Result result);

    // Delivers the oldest pending request's answer; false when none is pending.
    bool DeliverNext();
    // Delivers the pending request of that kind and id; false when there is none.
    bool Deliver(const std::string& kind, const std::string& id);
    // Delivers until nothing is pending; returns the number delivered.
    int DeliverAll();
    std::size_t PendingCount() const { return pending.size(); }

    // Every request sent so far, in order.
    const std::vector<Sent>& SentRequests() const { return sent; }
    std::vector<std::string> SentIds(const std::string& kind) const;

private:
    friend class FakeRequest;
    void Deliver(std::deque<FakeRequest*>::iterator position);

    std::map<std::pair<std::string, std::string>, Answer> answers;
    std::deque<FakeRequest*> pending;
    std::vector<Sent> sent;
};
