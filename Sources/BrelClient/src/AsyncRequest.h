#pragma once

#include "AsyncWriter.h"
#include "Request.h"

#include <QThread>

namespace Brel {

// The map archive download: received bytes go through a bounded buffer to a
// writer thread that feeds the output stream (the unpacking tar stream).
// When the buffer is full the connection is dropped and resumed with "Range"
// once the writer has caught up; a result is judged only after every buffered
// byte has been written, so a resend always continues exactly behind the
// bytes that are in the stream.
class AsyncRequest : public Request {
    Q_OBJECT

public:
    AsyncRequest(QNetworkAccessManager* manager, const QString& url, const QMap<QString, QString>& headers,
        const QMap<QString, QString>& arguments, IResponse* response, std::ostream* out, QObject* parent = nullptr);
    // Stops the writer and joins its thread; reports nothing.
    ~AsyncRequest() override;

    void Send() override;
    // Waits for the writer to write everything it holds before resending.
    bool Retry() override;
    void Abort() override;
    using Request::Abort;

    // Test seam: the writer's buffer limit.
    void SetBufferLimit(qint64 bytes) { writer_.SetBufferLimit(bytes); }

public slots:
    void OnReadyRead() override;
    void OnFinished() override;

protected:
    // The bytes in the output stream; read only while the writer is idle.
    qint64 ResumeOffset() const override;

private:
    void OnDataWritten(int bytes);
    void OnDataReady();
    // Returns false when the transfer was paused for back-pressure.
    bool Hand(const QByteArray& body);
    void ConcludeWritten();
    bool IsRangePastEnd() const;

    AsyncWriter writer_;
    QThread thread_;
    // The reply has finished; it is judged once the writer is idle.
    bool finishing_ = false;
    // A resend waits for the writer to become idle.
    bool resendPending_ = false;
};

} // namespace Brel
