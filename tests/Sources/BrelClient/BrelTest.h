#pragma once
// What the client's tests share: a scripted network, a recording response, an output stream that can be slowed or
// made to fail, and waiting on the event loop.
#include "Request.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>

// What one fake reply does: its status and body, then its error.
struct FakeAnswer {
    int status = 200;
    QByteArray body;
    int error = QNetworkReply::NoError;
    bool hang = false; // never answers (for time-outs)
};

class FakeReply : public QNetworkReply {
public:
    FakeReply(const QNetworkRequest& request, FakeAnswer answer, QObject* parent)
        : QNetworkReply(parent)
        , answer_(std::move(answer))
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(QNetworkAccessManager::GetOperation);
        open(QIODevice::ReadOnly);
    }
    void Play()
    {
        if (answer_.hang || isFinished())
            return;
        if (answer_.status > 0)
            setAttribute(QNetworkRequest::HttpStatusCodeAttribute, answer_.status);
        emit metaDataChanged();
        if (!(pending_ = answer_.body).isEmpty())
            emit readyRead();
        if (answer_.error != NoError) {
            setError(static_cast<NetworkError>(answer_.error), "scripted failure");
            emit errorOccurred(static_cast<NetworkError>(answer_.error));
        }
        setFinished(true);
        emit finished();
    }
    void abort() override { setFinished(true); }
    qint64 bytesAvailable() const override { return pending_.size() + QNetworkReply::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min<qint64>(maxSize, pending_.size());
        std::copy_n(pending_.constData(), count, data);
        pending_.remove(0, static_cast<int>(count));
        return count;
    }

private:
    FakeAnswer answer_;
    QByteArray pending_;
};

// Answers the n-th request with the script's n-th answer (the last repeats), from the event loop.
class FakeNetwork : public QNetworkAccessManager {
public:
    explicit FakeNetwork(std::vector<FakeAnswer> script = {})
        : script_(std::move(script))
    {
    }
    int Count() const { return count_; }
    FakeReply* Last() const { return last_; } // may be played early, before the event loop runs

protected:
    QNetworkReply* createRequest(Operation, const QNetworkRequest& request, QIODevice*) override
    {
        const int index = std::min<int>(count_++, static_cast<int>(script_.size()) - 1);
        last_ = new FakeReply(request, index >= 0 ? script_[index] : FakeAnswer {}, this);
        QTimer::singleShot(0, last_, &FakeReply::Play);
        return last_;
    }

private:
    std::vector<FakeAnswer> script_;
    QPointer<FakeReply> last_;
    int count_ = 0;
};

class RecordingResponse : public Brel::IResponse {
public:
    void OnData(qint64 bytes) override { data.push_back(bytes); }
    void OnResult(Result result) override { results.push_back(result); }

    std::vector<Result> results;
    std::vector<qint64> data;
};

inline bool WaitFor(const std::function<bool()>& done, int limitMs = 10000)
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

inline void Spin(int milliseconds)
{
    WaitFor([] { return false; }, milliseconds);
}

// Sends the request with a short retry window and pause, and waits for its first result (7 when none came in time).
inline Brel::IResponse::Result RunRequest(Brel::IRequest& request, const RecordingResponse& response,
    int timeoutMs = 5000, int windowMs = 500, int pauseMs = 50)
{
    request.SetTimeout(timeoutMs);
    static_cast<Brel::Request&>(request).SetRetryWindowLength(windowMs);
    static_cast<Brel::Request&>(request).SetRetryPause(pauseMs);
    request.Send();
    const bool came = WaitFor([&response] { return !response.results.empty(); }, 20000);
    return came ? response.results.front() : static_cast<Brel::IResponse::Result>(7);
}

// An output stream for writer and download tests: forwards the bytes to an optional target stream, can be slowed to a
// rate and can fail ("disk full"). Its position is the number of bytes taken (or the target's position). Written
// from the writer thread, read from the test.
class AsyncWriterTestStream : private std::streambuf, public std::ostream {
public:
    explicit AsyncWriterTestStream(std::ostream* target = nullptr)
        : std::ostream(this)
        , target_(target)
    {
        exceptions(std::ios::badbit | std::ios::failbit);
    }
    void Throttle(qint64 bytesPerSecond) { rate_ = bytesPerSecond; }
    void Fail(bool failing) { failing_ = failing; }
    qint64 Total() const { return total_; }

private:
    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        if (failing_)
            throw std::runtime_error("disk full");
        if (rate_ > 0) // like a slow device: the bytes are in only when the write returns
            QThread::usleep(static_cast<unsigned long>(count * 1000000 / rate_));
        if (target_)
            target_->write(data, count);
        total_ += count;
        return count;
    }
    std::streambuf::pos_type seekoff(std::streambuf::off_type, std::ios_base::seekdir, std::ios_base::openmode) override
    {
        return target_ ? target_->tellp() : std::streambuf::pos_type(total_.load());
    }

    std::ostream* target_;
    std::atomic<qint64> rate_ {0}, total_ {0};
    std::atomic<bool> failing_ {false};
};
