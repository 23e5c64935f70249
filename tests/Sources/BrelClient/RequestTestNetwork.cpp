#include "RequestTestNetwork.h"

#include "Request.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <utility>

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
    pending_ = answer_.body;
    if (!pending_.isEmpty())
        emit readyRead();
    if (answer_.error != NoError) {
        setError(static_cast<NetworkError>(answer_.error), "scripted failure");
        emit errorOccurred(static_cast<NetworkError>(answer_.error));
    }
    setFinished(true);
    emit finished();
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

QNetworkReply* FakeNetwork::createRequest(Operation, const QNetworkRequest& request, QIODevice*)
{
    const int index = std::min<int>(count_++, static_cast<int>(script_.size()) - 1);
    last_ = new FakeReply(request, index >= 0 ? script_[index] : FakeAnswer {}, this);
    QTimer::singleShot(0, last_, &FakeReply::Play);
    return last_;
}

Brel::IResponse::Result RunRequest(
    Brel::IRequest& request, const RecordingResponse& response, int timeoutMs, int windowMs, int pauseMs)
{
    request.SetTimeout(timeoutMs);
    static_cast<Brel::Request&>(request).SetRetryWindowLength(windowMs);
    static_cast<Brel::Request&>(request).SetRetryPause(pauseMs);
    request.Send();
    return FirstResult(response);
}

Brel::IResponse::Result FirstResult(const RecordingResponse& response)
{
    if (!WaitFor([&response] { return !response.results.empty(); }, 20000))
        return static_cast<Brel::IResponse::Result>(7);
    return response.results.front();
}

bool WaitFor(const std::function<bool()>& done, int limitMs)
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    tick.start(2);
    if (!done())
        loop.exec();
    return done();
}

void Spin(int milliseconds)
{
    WaitFor([] { return false; }, milliseconds);
}
