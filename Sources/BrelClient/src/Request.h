#pragma once

#include "IRequest.h"
#include "IResponse.h"
#include "ReplyGate.h"

#include <QElapsedTimer>
#include <QMap>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

#include <ostream>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace Brel {

// One GET for an XML answer of the service. Time-outs, redirects and the
// automatic-retry window are handled here; the caller hears only progress and
// one result per run. The body of an attempt is kept in memory and written to
// the output stream only when the attempt ends Ok, so a resent or redirected
// attempt never leaves a partial answer behind.
//
// Derived requests (the streamed archive download) change where the body goes
// and from where a resend resumes through the protected hooks.
class Request : public QObject, public IRequest {
    Q_OBJECT

public:
    static constexpr int kReadBufferSize = 32 * 1024 * 1024;
    static constexpr int kDefaultRetryWindow = 10000;
    static constexpr int kDefaultRetryPause = 1000;
    static constexpr int kMaxRedirects = 10;

    Request(QNetworkAccessManager* manager, const QString& url, const QMap<QString, QString>& headers,
        const QMap<QString, QString>& arguments, IResponse* response, std::ostream* out, QObject* parent = nullptr);
    ~Request() override;

    void SetTimeout(qint64 milliseconds) override;
    void Send() override;
    bool Retry() override;
    void Abort() override;
    void GetDownloadedbytes(qint64 bytes) override;
    void StartAutomaticRetry() override;
    void SetAutomaticRetryTimeout(qint64 milliseconds) override;
    int ReadRetryDurationFromConfig() override;

    // Test seams: the length of a retry window, and the least time between
    // the starts of two attempts inside a window.
    void SetRetryWindowLength(int milliseconds) { retryWindowLength_ = milliseconds; }
    void SetRetryPause(int milliseconds) { retryPause_ = milliseconds; }

public slots:
    // The writer of a derived request failed: aborts and reports IOError.
    void Abort(const QString& error);
    void Construct(const QString& uri);
    virtual void OnReadyRead();
    virtual void OnDownloadProgress(qint64 received, qint64 total);
    virtual void OnFinished();

protected:
    // Where a resend continues; 0 sends the whole resource again.
    virtual qint64 ResumeOffset() const;
    // A new attempt starts (first send, resend or redirect).
    virtual void BeginAttempt();
    // Body bytes of the current reply, in order.
    virtual void Deliver(const QByteArray& body);
    // The attempt ended Ok; returns false when the request must not go on
    // (a result was reported, or the caller deleted it).
    virtual bool CompleteAttempt();

    // Reads what the current reply has and returns the bytes of it that
    // belong to the body.
    QByteArray ReadBody();
    // Judges the reply that finished: logs, aborts it, then reports, follows
    // a redirect or resends.
    void Conclude();
    // Drops the reply in flight (without a result) and stops the time-out.
    void AbortReply();
    // Reports a result and closes any retry window. Must be the last thing a
    // handler does: the caller may delete the request in its callback.
    void Report(IResponse::Result result);
    void StartTimeout();
    void StopTimeout();
    void CloseRetryWindow();

    QNetworkAccessManager* manager_;
    QNetworkRequest request_;
    QMap<QString, QString> headers_;
    QMap<QString, QString> arguments_;
    QNetworkReply* reply_ = nullptr;
    QString redirectTarget_;
    QTimer* timeoutTimer_ = nullptr;
    QTimer* retryTimer_ = nullptr;
    IResponse* response_;
    std::ostream* out_;
    qint64 downloadedBytes_ = 0;
    bool automaticRetryActive_ = false;
    int retryWindowLength_ = kDefaultRetryWindow;
    bool configured_ = false;
    ReplyGate gate_;

private:
    void OnTimeout();
    void HandleError(int code);
    bool SendsKeyInClear() const;
    void RefuseAfterwards();
    void FollowRedirect();
    void CheckForErrorAndInitiateAutoRetry(int code);
    void CheckTimerAndSendNextRequest(int code, bool timedOut);
    void OpenRetryWindow(bool timedOut);
    void ResendAfterFailure(bool timedOut);
    void SetRange(qint64 offset);
    void LimitReadBufferOnceAnswered();
    void ConnectReply(quint64 ticket);
    static IResponse::Result FinalResult(int code);
    static QString Masked(const QString& url);

    QTimer* resendTimer_;
    QElapsedTimer attemptClock_;
    int retryPause_ = kDefaultRetryPause;
    int redirects_ = 0;
    qint64 rangeOffset_ = 0;
    QByteArray body_;
};

} // namespace Brel
