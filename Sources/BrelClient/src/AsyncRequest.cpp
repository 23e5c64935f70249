#include "AsyncRequest.h"

#include "Log.h"

#include <QNetworkReply>
#include <QRegularExpression>

namespace Brel {

namespace {

// The number in the text's first capture, or -1.
qint64 Captured(const QRegularExpression& pattern, const QByteArray& text)
{
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(text));
    bool ok = false;
    const qint64 value = match.hasMatch() ? match.captured(1).toLongLong(&ok) : -1;
    return ok ? value : -1;
}

} // namespace

AsyncRequest::AsyncRequest(QNetworkAccessManager* manager, const QString& url, const QMap<QString, QString>& headers,
    const QMap<QString, QString>& arguments, IResponse* response, std::ostream* out, QObject* parent)
    : Request(manager, url, headers, arguments, response, out, parent)
    , writer_(out)
{
    connect(&writer_, &AsyncWriter::DataWritten, this, &AsyncRequest::OnDataWritten, Qt::QueuedConnection);
    connect(&writer_, &AsyncWriter::DataReady, this, &AsyncRequest::OnDataReady, Qt::QueuedConnection);
    connect(&writer_, &AsyncWriter::DataError, this, qOverload<const QString&>(&Request::Abort), Qt::QueuedConnection);
    writer_.moveToThread(&thread_);
    thread_.start(QThread::InheritPriority);
}

AsyncRequest::~AsyncRequest()
{
    writer_.Abort();
    thread_.quit();
    thread_.wait();
}

void AsyncRequest::Send()
{
    finishing_ = false;
    resendPending_ = false;
    Request::Send();
}

bool AsyncRequest::Retry()
{
    if (writer_.IsIdle())
        return Request::Retry();
    LOG_BREL(Debug) << "Waiting for the writer before resending";
    resendPending_ = true;
    return true;
}

void AsyncRequest::Abort()
{
    finishing_ = false;
    resendPending_ = false;
    Request::Abort();
    writer_.Abort();
}

void AsyncRequest::OnReadyRead()
{
    if (!reply_)
        return;
    StopTimeout();
    const QByteArray body = ReadBody();
    if (!body.isEmpty() && automaticRetryActive_) {
        LOG_BREL(Debug) << "Auto Retry - Download request resumed";
        CloseRetryWindow();
    }
    if (Hand(body))
        StartTimeout();
}

void AsyncRequest::OnFinished()
{
    if (!reply_)
        return;
    LOG_BREL(Debug) << "Request is finished";
    StopTimeout();
    Hand(ReadBody());
    finishing_ = true;
    writer_.WriteData(QByteArray());
}

qint64 AsyncRequest::ResumeOffset() const
{
    return static_cast<std::streamoff>(out_->tellp());
}

void AsyncRequest::OnDataWritten(int bytes)
{
    response_->OnData(bytes);
}

// DataReady may have been emitted before the latest hand-over; only an idle
// writer has really written everything.
void AsyncRequest::OnDataReady()
{
    if (!writer_.IsIdle())
        return;
    if (finishing_) {
        finishing_ = false;
        ConcludeWritten();
    } else if (resendPending_) {
        resendPending_ = false;
        Request::Retry();
    }
}

// A finished reply is never dropped: its bytes are all read already, and
// dropping it would fetch them again.
bool AsyncRequest::Hand(const QByteArray& body)
{
    if (body.isEmpty() || writer_.WriteData(body) || reply_->isFinished())
        return true;
    LOG_BREL(Debug) << "Waiting for writer to free the buffer";
    AbortReply();
    resendPending_ = true;
    return false;
}

void AsyncRequest::ConcludeWritten()
{
    if (!reply_)
        return;
    if (IsRangePastEnd()) {
        LOG_BREL(Info) << "The archive had been received completely before the resend";
        Abort();
        Report(IResponse::Ok);
        return;
    }
    Conclude();
}

// A resume that asked for the bytes after the last one: the server answers
// 416 with the total size, which equals the offset asked for.
bool AsyncRequest::IsRangePastEnd() const
{
    static const QRegularExpression asked(QStringLiteral("^bytes=(\\d+)-$"));
    static const QRegularExpression total(QStringLiteral("^\\s*bytes\\s+\\*/(\\d+)\\s*$"));
    if (reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 416)
        return false;
    const qint64 offset = Captured(asked, reply_->request().rawHeader("Range"));
    return offset > 0 && offset == Captured(total, reply_->rawHeader("Content-Range"));
}

} // namespace Brel
