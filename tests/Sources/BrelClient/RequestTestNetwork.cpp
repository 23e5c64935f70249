#include "RequestTestNetwork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <utility>

FakeAnswer Answer(int status, QByteArray body)
{
    FakeAnswer answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

FakeReply::FakeReply(const QNetworkRequest& request, FakeAnswer answer, QObject* parent)
    : QNetworkReply(parent)
    , answer_(std::move(answer))
{
    setRequest(request);
    setUrl(request.url());
    setOperation(QNetworkAccessManager::GetOperation);
    open(QIODevice::ReadOnly);
}

void FakeReply::Play()
{
    if (answer_.hang || isFinished())
        return;
    if (answer_.status > 0)
        setAttribute(QNetworkRequest::HttpStatusCodeAttribute, answer_.status);
    for (auto it = answer_.headers.cbegin(); it != answer_.headers.cend(); ++it)
        setRawHeader(it.key(), it.value());
    if (!answer_.redirect.isEmpty())
        setAttribute(QNetworkRequest::RedirectionTargetAttribute, QUrl(answer_.redirect));
    emit metaDataChanged();
    if (answer_.trickleMs > 0) {
        Trickle(0);
        return;
    }
    pending_ = answer_.body;
    if (!pending_.isEmpty()) {
        emit readyRead();
        emit downloadProgress(pending_.size(), pending_.size());
    }
    Finish();
}

void FakeReply::Trickle(int next)
{
    QTimer::singleShot(answer_.trickleMs, this, [this, next] {
        if (isFinished())
            return;
        pending_.append(answer_.body.at(next));
        emit readyRead();
        if (next + 1 < answer_.body.size())
            Trickle(next + 1);
        else
            Finish();
    });
}

void FakeReply::Finish()
{
    if (answer_.error != NoError) {
        setError(static_cast<NetworkError>(answer_.error), "scripted failure");
        emit errorOccurred(static_cast<NetworkError>(answer_.error));
    }
    setFinished(true);
    emit finished();
}

void FakeReply::abort()
{
    setFinished(true);
}

qint64 FakeReply::bytesAvailable() const
{
    return pending_.size() + QNetworkReply::bytesAvailable();
}

qint64 FakeReply::readData(char* data, qint64 maxSize)
{
    const qint64 count = std::min<qint64>(maxSize, pending_.size());
    std::copy_n(pending_.constData(), count, data);
    pending_.remove(0, static_cast<int>(count));
    return count;
}

FakeNetwork::FakeNetwork(std::vector<FakeAnswer> script)
    : script_(std::move(script))
{
}

void FakeNetwork::SetScript(std::vector<FakeAnswer> script)
{
    script_ = std::move(script);
    scriptStart_ = requests_.size();
}

void FakeNetwork::PlayHeld()
{
    for (const QPointer<FakeReply>& reply : std::exchange(heldReplies_, {})) {
        if (reply)
            reply->Play();
    }
}

QNetworkReply* FakeNetwork::createRequest(Operation, const QNetworkRequest& request, QIODevice*)
{
    const int index = std::min<int>(requests_.size() - scriptStart_, static_cast<int>(script_.size()) - 1);
    requests_.append(request);
    auto* reply = new FakeReply(request, index >= 0 ? script_[index] : FakeAnswer {}, this);
    if (held_)
        heldReplies_.append(reply);
    else
        QTimer::singleShot(0, reply, &FakeReply::Play);
    return reply;
}

void RecordingResponse::OnProgress(qint64 received, qint64)
{
    lastReceived = received;
}

void RecordingResponse::OnData(qint64 bytes)
{
    data.push_back(bytes);
}

void RecordingResponse::OnResult(Result result)
{
    results.push_back(result);
    if (onResult)
        onResult(result);
}

bool WaitFor(const std::function<bool()>& done, int limitMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    tick.start(2);
    loop.exec();
    return done();
}

void Spin(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

Brel::IResponse::Result FirstResult(const RecordingResponse& response, int limitMs)
{
    if (!WaitFor([&response] { return !response.results.empty(); }, limitMs))
        return static_cast<Brel::IResponse::Result>(7);
    return response.results.front();
}

void ClearProxyEnvironment()
{
    for (const char* name : {"https_proxy", "http_proxy", "all_proxy", "HTTPS_PROXY", "HTTP_PROXY", "ALL_PROXY"})
        ::unsetenv(name);
}
