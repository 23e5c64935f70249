#include "LogCapture.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <gtest/gtest.h>

#include <sstream>

using Brel::IResponse;

namespace {

FakeAnswer Redirect(const QString& target)
{
    FakeAnswer answer = Answer(302, "<html>moved</html>");
    answer.redirect = target;
    return answer;
}

struct Redirected {
    explicit Redirected(std::vector<FakeAnswer> script)
        : network(std::move(script))
        , request(&network, "https://service.invalid/brel/v1/package/metadata", {},
              {{"id", "P1"}, {"key", "SECRET-KEY"}}, &response, &out)
    {
        request.SetRetryWindowLength(5000);
        request.SetRetryPause(0);
    }
    IResponse::Result Run()
    {
        request.Send();
        WaitFor([this] { return !response.results.empty(); });
        return response.results.empty() ? static_cast<IResponse::Result>(-1) : response.results.front();
    }
    QString Url(int index) const { return network.Requests().at(index).url().toString(); }

    FakeNetwork network;
    RecordingResponse response;
    std::ostringstream out;
    Brel::Request request;
};

} // namespace

TEST(RequestRedirect, FollowsAbsoluteAndRelativeTargetsWithTheArgumentsAsQuery)
{
    Redirected run(
        {Redirect("https://mirror.invalid/a?sig=1"), Redirect("/b/c?x=2"), Redirect("d"), Answer(200, "<ok/>")});
    EXPECT_EQ(run.Run(), IResponse::Ok);
    ASSERT_EQ(run.network.Count(), 4);
    EXPECT_EQ(run.Url(1), "https://mirror.invalid/a?id=P1&key=SECRET-KEY");
    EXPECT_EQ(run.Url(2), "https://mirror.invalid/b/c?id=P1&key=SECRET-KEY");
    EXPECT_EQ(run.Url(3), "https://mirror.invalid/b/d?id=P1&key=SECRET-KEY");
    EXPECT_EQ(run.out.str(), "<ok/>"); // the bodies of the redirects are not
}

TEST(RequestRedirect, ChainIsCutAfterTenWithServerError)
{
    Redirected run({Redirect("https://service.invalid/loop")});
    EXPECT_EQ(run.Run(), IResponse::ServerError);
    EXPECT_EQ(run.network.Count(), 11);
    EXPECT_EQ(run.out.str(), "");
    Spin(100);
    EXPECT_EQ(run.network.Count(), 11);
}

TEST(RequestRedirect, TenRedirectsAreFollowed)
{
    std::vector<FakeAnswer> script(10, Redirect("https://service.invalid/next"));
    script.push_back(Answer(200, "<ok/>"));
    Redirected run(script);
    EXPECT_EQ(run.Run(), IResponse::Ok);
}

TEST(RequestRedirect, NonHttpsTargetIsRefusedAndNotRetried)
{
    LogCapture log;
    Redirected run({Redirect("http://service.invalid/plain?key=SECRET-KEY")});
    EXPECT_EQ(run.Run(), IResponse::ServerError);
    Spin(100);
    EXPECT_EQ(run.network.Count(), 1);
    for (const auto& record : log.Records())
        EXPECT_EQ(record.message.find("SECRET-KEY"), std::string::npos) << record.message;
}

TEST(RequestRedirect, KeyInARedirectTargetIsMaskedInTheLog)
{
    LogCapture log;
    Redirected run({Redirect("https://mirror.invalid/a?id=P1&key=SECRET-KEY"), Answer(200, "<ok/>")});
    EXPECT_EQ(run.Run(), IResponse::Ok);
    EXPECT_EQ(log.Count(Log::Debug, "Redirecting request to: https://mirror.invalid/a?id=P1&key=******"), 1);
    EXPECT_EQ(log.Count(Log::Debug, "Adding argument: key=******"), 2);
    for (const auto& record : log.Records())
        EXPECT_EQ(record.message.find("SECRET-KEY"), std::string::npos) << record.message;
}
