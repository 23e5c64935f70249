#pragma once
#include "AsyncRequest.h"
#include "Client.h"
#include "ContentService.h"
#include "LogCapture.h"
#include "Stream.h"
#include "TarTestArchive.h"
#include "TestFiles.h"
#include "TestHome.h"

#include <QNetworkReply>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <numeric>

using Brel::IResponse;

struct FakeAnswer {
    int status = 200; // -1: never answers
    QByteArray body;
    int error = QNetworkReply::NoError;
};

struct FakeReply : QNetworkReply {
    FakeReply(const QNetworkRequest& request, FakeAnswer answer, QObject* parent)
        : QNetworkReply(parent)
        , answer(std::move(answer))
    {
        setRequest(request);
        open(QIODevice::ReadOnly);
    }
    void Play()
    {
        if (answer.status < 0 || isFinished())
            return;
        if (answer.status > 0)
            setAttribute(QNetworkRequest::HttpStatusCodeAttribute, answer.status);
        emit metaDataChanged();
        if (!(pending = answer.body).isEmpty())
            emit readyRead();
        if (answer.error != NoError) {
            setError(static_cast<NetworkError>(answer.error), "scripted failure");
            emit errorOccurred(static_cast<NetworkError>(answer.error));
        }
        setFinished(true);
        emit finished();
    }
    void abort() override { setFinished(true); }
    qint64 bytesAvailable() const override { return pending.size() + QNetworkReply::bytesAvailable(); }
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min<qint64>(maxSize, pending.size());
        std::copy_n(pending.constData(), count, data);
        pending.remove(0, static_cast<int>(count));
        return count;
    }

    const FakeAnswer answer;
    QByteArray pending;
};

// Answers the n-th request with the script's n-th answer (the last repeats), from the event loop.
struct FakeNetwork : QNetworkAccessManager {
    explicit FakeNetwork(std::vector<FakeAnswer> script = {})
        : script(std::move(script))
    {
    }
    QNetworkReply* createRequest(Operation, const QNetworkRequest& request, QIODevice*) override
    {
        const int index = std::min<int>(count++, static_cast<int>(script.size()) - 1);
        last = new FakeReply(request, index >= 0 ? script[index] : FakeAnswer {}, this);
        QTimer::singleShot(0, last, &FakeReply::Play);
        return last;
    }

    const std::vector<FakeAnswer> script;
    QPointer<FakeReply> last; // may be played early, before the event loop runs
    int count = 0;
};

struct RecordingResponse : IResponse {
    void OnData(qint64 bytes) override { data.push_back(bytes), onData ? onData() : void(); }
    void OnResult(Result result) override { results.push_back(result); }
    qint64 Written() const { return std::accumulate(data.begin(), data.end(), qint64(0)); }

    std::vector<Result> results;
    std::vector<qint64> data;
    std::function<void()> onData;
};

inline bool WaitFor(const std::function<bool()>& done, int limitMs = 10000)
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] { done() ? loop.quit() : void(); });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    tick.start(2);
    if (!done())
        loop.exec();
    return done();
}

// Forwards the bytes to an optional target stream, can be slowed to a rate and can fail ("disk full"). Its position
// is the number of bytes taken (or the target's). Written from the writer thread, read from the test.
struct AsyncWriterTestStream : std::streambuf, std::ostream {
    explicit AsyncWriterTestStream(std::ostream* target = nullptr)
        : std::ostream(this)
        , target(target)
    {
        exceptions(std::ios::badbit | std::ios::failbit);
    }
    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        if (failing)
            throw std::runtime_error("disk full");
        if (rate > 0) // like a slow device: the bytes are in only when the write returns
            QThread::usleep(static_cast<unsigned long>(count * 1000000 / rate));
        if (target)
            target->write(data, count);
        total += count;
        writes.push_back(static_cast<int>(count));
        return count;
    }
    std::streambuf::pos_type seekoff(std::streambuf::off_type, std::ios_base::seekdir, std::ios_base::openmode) override
    {
        return target ? target->tellp() : std::streambuf::pos_type(total.load());
    }

    std::ostream* const target;
    std::atomic<qint64> rate {0}, total {0}; // bytes per second (0: no limit), bytes taken
    std::atomic<bool> failing {false};
    std::vector<int> writes; // the size of each write; read it only once the writer has stopped
};

// The folder's "root" is where archives unpack, so anything escaping it shows up beside it.
struct BrelTest : ::testing::Test {
    void SetUp() override
    {
        TestHome::ClearProxies();
        ASSERT_TRUE(QDir().mkpath(Root()));
    }
    QString Root() const { return folder.path() + "/root"; }
    void Clear() { QDir(Root()).removeRecursively(), QDir().mkpath(Root()); }
    std::unique_ptr<Brel::Tar::Stream> OpenTar()
    {
        auto stream = std::make_unique<Brel::Tar::Stream>(Root().toStdString());
        stream->exceptions(std::ios::badbit | std::ios::failbit);
        return stream;
    }
    bool Results(std::size_t count = 1, int limitMs = 60000)
    {
        return WaitFor([this, count] { return response.results.size() >= count; }, limitMs);
    }
    IResponse::Result Result(std::size_t index = 0) // 7: none came
    {
        return Results(index + 1, 20000) ? response.results[index] : static_cast<IResponse::Result>(7);
    }

    QTemporaryDir folder;
    ContentService service;
    RecordingResponse response;
    std::ostringstream out;
};
