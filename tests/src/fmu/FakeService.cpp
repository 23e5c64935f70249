#include "FakeService.h"

#include "FakeRequest.h"

#include <gtest/gtest.h>

#include <algorithm>

void FakeService::SetAnswer(const std::string& kind, const std::string& id, const std::string& body)
{
    answers[{kind, id}] = {Brel::IResponse::Ok, body};
}

void FakeService::SetResult(const std::string& kind, const std::string& id, Brel::IResponse::Result result)
{
    answers[{kind, id}] = {result, std::string()};
}

bool FakeService::DeliverNext()
{
    if (pending.empty())
        return false;
    Deliver(pending.begin());
    return true;
}

bool FakeService::Deliver(const std::string& kind, const std::string& id)
{
    const auto found = std::find_if(pending.begin(), pending.end(),
        [&](const FakeRequest* request) { return request->What().kind == kind && request->What().id == id; });
    if (found == pending.end())
        return false;
    Deliver(found);
    return true;
}

int FakeService::DeliverAll()
{
    int delivered = 0;
    while (DeliverNext())
        ++delivered;
    return delivered;
}

std::vector<std::string> FakeService::SentIds(const std::string& kind) const
{
    std::vector<std::string> ids;
    for (const Sent& request : sent) {
        if (request.kind == kind)
            ids.push_back(request.id);
    }
    return ids;
}

void FakeService::Deliver(std::deque<FakeRequest*>::iterator position)
{
    FakeRequest* request = *position;
    pending.erase(position);
    const auto found = answers.find({request->What().kind, request->What().id});
    if (found == answers.end()) {
        ADD_FAILURE() << "No answer for " << request->What().kind << " " << request->What().id;
        request->Answer({Brel::IResponse::ServerError, std::string()});
        return;
    }
    request->Answer(found->second);
}
