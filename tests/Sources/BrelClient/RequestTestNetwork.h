#pragma once

#include "IResponse.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
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
    int trickleMs = 0; // delivers the body one byte per interval
};

FakeAnswer Answer(int status, QByteArray body = {});

// A reply that plays a FakeAnswer when its network plays it.
class FakeReply : public QNetworkReply {
    Q_OBJECT
public:
    FakeReply(const QNetworkRequest& request, FakeAnswer answer, QObject* parent);
    void Play();
    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    void Trickle(int next);
    void Finish();

    FakeAnswer answer_;
    QByteArray pending_;
};

// A network whose replies follow a script, one answer per request from the
// script's start (the last answer repeats). Replies play on their own from the event loop unless the
// network is held, in which case PlayHeld plays them synchronously.
class FakeNetwork : public QNetworkAccessManager {
public:
    explicit FakeNetwork(std::vector<FakeAnswer> script = {});
    void SetScript(std::vector<FakeAnswer> script);
    void Hold(bool held) { held_ = held; }
    void PlayHeld();
    const QList<QNetworkRequest>& Requests() const { return requests_; }
    int Count() const { return requests_.size(); }

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override;

private:
    std::vector<FakeAnswer> script_;
    QList<QNetworkRequest> requests_;
    QList<QPointer<FakeReply>> heldReplies_;
    int scriptStart_ = 0;
    bool held_ = false;
};

// Records what a request reports.
class RecordingResponse : public Brel::IResponse {
public:
    void OnProgress(qint64 received, qint64 total) override;
    void OnData(qint64 bytes) override;
    void OnResult(Result result) override;

    std::vector<Result> results;
    std::vector<qint64> data;
    qint64 lastReceived = -1;
    std::function<void(Result)> onResult;
};

// Waits for the response's first result; 7 (no result) when none came in time.
Brel::IResponse::Result FirstResult(const RecordingResponse& response, int limitMs = 20000);
// Unsets every proxy variable, so requests go straight to 127.0.0.1.
void ClearProxyEnvironment();

// Runs the event loop until the predicate holds or the limit passes.
bool WaitFor(const std::function<bool()>& done, int limitMs = 10000);
// Runs the event loop for that long.
void Spin(int milliseconds);
