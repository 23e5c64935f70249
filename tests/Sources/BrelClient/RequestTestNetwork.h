#pragma once

#include "IRequest.h"
#include "IResponse.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

#include <functional>
#include <vector>

// What one fake reply does: its status, headers and body, then its error.
struct FakeAnswer {
    int status = 200;
    QByteArray body;
    int error = QNetworkReply::NoError;
    QMap<QByteArray, QByteArray> headers;
    QString redirect;
    bool hang = false; // never answers (for time-outs)
};

class FakeReply : public QNetworkReply {
    Q_OBJECT
public:
    FakeReply(const QNetworkRequest& request, FakeAnswer answer, QObject* parent);
    void Play();
    void abort() override { setFinished(true); }
    qint64 bytesAvailable() const override { return pending_.size() + QNetworkReply::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    FakeAnswer answer_;
    QByteArray pending_;
};

// Answers the n-th request with the script's n-th answer (the last repeats), from the event loop.
class FakeNetwork : public QNetworkAccessManager {
public:
    explicit FakeNetwork(std::vector<FakeAnswer> script = {});
    int Count() const { return count_; }
    FakeReply* Last() const { return last_; } // may be played early, before the event loop runs

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override;

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

// Sends the request with a short retry window and pause, and waits for its first result.
Brel::IResponse::Result RunRequest(Brel::IRequest& request, const RecordingResponse& response, int timeoutMs = 5000,
    int windowMs = 500, int pauseMs = 50);
// The response's first result; 7 when none came in time.
Brel::IResponse::Result FirstResult(const RecordingResponse& response);

// Runs the event loop until the predicate holds or the limit passes.
bool WaitFor(const std::function<bool()>& done, int limitMs = 10000);
void Spin(int milliseconds);
