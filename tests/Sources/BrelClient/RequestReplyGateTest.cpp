#include "ReplyGate.h"
#include "RequestTestNetwork.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A reply that has received its headers.
std::unique_ptr<FakeReply> Answered(int status, const QByteArray& contentRange = {})
{
    FakeAnswer answer = Answer(status);
    if (!contentRange.isEmpty())
        answer.headers.insert("Content-Range", contentRange);
    auto reply = std::make_unique<FakeReply>(QNetworkRequest(QUrl("https://x.invalid/a.tar")), answer, nullptr);
    reply->Play();
    return reply;
}

bool Unfit(Brel::ReplyGate& gate, const QNetworkReply& reply, int code = QNetworkReply::NoError)
{
    return gate.FinalError(reply, code) == QNetworkReply::ProtocolFailure;
}

} // namespace

TEST(ReplyGate, PartialAnswerMustStartAtTheOffsetAsked)
{
    Brel::ReplyGate gate;
    gate.Open(100);
    auto fits = Answered(206, "bytes 100-199/200");
    EXPECT_EQ(gate.Body(*fits, "abc"), "abc");
    EXPECT_FALSE(Unfit(gate, *fits));

    for (const QByteArray& range : {QByteArray("bytes 50-199/200"), QByteArray("bytes */200"), QByteArray()}) {
        gate.Open(100);
        auto wrong = Answered(206, range);
        EXPECT_EQ(gate.Body(*wrong, "abc"), "") << range.constData();
        EXPECT_TRUE(Unfit(gate, *wrong)) << range.constData();
    }
}

TEST(ReplyGate, WholeAnswerToARangeRequestLosesTheBytesAlreadyConsumed)
{
    Brel::ReplyGate gate;
    gate.Open(5);
    auto whole = Answered(200);
    EXPECT_EQ(gate.Body(*whole, "012"), "");
    EXPECT_TRUE(Unfit(gate, *whole)); // shorter than the offset so far
    EXPECT_EQ(gate.Body(*whole, "34567"), "567");
    EXPECT_FALSE(Unfit(gate, *whole));

    gate.Open(5);
    auto dropped = Answered(200);
    gate.Body(*dropped, "01");
    EXPECT_FALSE(Unfit(gate, *dropped, QNetworkReply::RemoteHostClosedError)); // a lost connection stays one

    gate.Open(5);
    auto other = Answered(204);
    EXPECT_TRUE(Unfit(gate, *other));
    gate.Open(5);
    auto unsatisfiable = Answered(416, "bytes */3");
    EXPECT_TRUE(Unfit(gate, *unsatisfiable, QNetworkReply::UnknownContentError));
}

TEST(ReplyGate, OnlySuccessfulBodiesPass)
{
    Brel::ReplyGate gate;
    for (const int status : {301, 302, 404, 416, 500}) {
        gate.Open(0);
        auto reply = Answered(status);
        EXPECT_EQ(gate.Body(*reply, "<html>error</html>"), "") << status;
        EXPECT_EQ(gate.Rejected(), "<html>error</html>");
        EXPECT_FALSE(Unfit(gate, *reply, QNetworkReply::UnknownContentError)); // not resumed: the error decides
    }
    gate.Open(0);
    auto ok = Answered(200);
    EXPECT_EQ(gate.Body(*ok, "<ok/>"), "<ok/>");
}
