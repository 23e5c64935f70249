#include "Request.h"

#include "Config.h"
#include "JsonFile.h"
#include "Log.h"
#include "TlsSettings.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUrlQuery>

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace Brel {

namespace {

constexpr int kDefaultRetryMinutes = 3;
const char* const kKeyItem = "key";
const char* const kMaskedKey = "******";

int RetryMinutes(double value)
{
    if (std::isnan(value))
        return kDefaultRetryMinutes;
    return static_cast<int>(std::lround(std::clamp(value, 1.0, 10.0)));
}

bool IsConnectionLoss(int code)
{
    return code == QNetworkReply::RemoteHostClosedError || code == QNetworkReply::HostNotFoundError
        || code == QNetworkReply::UnknownNetworkError || code == QNetworkReply::UnknownContentError;
}

} // namespace

Request::Request(QNetworkAccessManager* manager, const QString& url, const QMap<QString, QString>& headers,
    const QMap<QString, QString>& arguments, IResponse* response, std::ostream* out, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , headers_(headers)
    , arguments_(arguments)
    , response_(response)
    , out_(out)
    , resendTimer_(new QTimer(this))
{
    resendTimer_->setSingleShot(true);
    connect(resendTimer_, &QTimer::timeout, this, [this] { Retry(); });
    Construct(url);
}

Request::~Request()
{
    Request::AbortReply();
}

void Request::SetTimeout(qint64 milliseconds)
{
    if (!timeoutTimer_) {
        LOG_BREL(Debug) << "Creating a timer with timeout interval: " << milliseconds;
        timeoutTimer_ = new QTimer(this);
        timeoutTimer_->setSingleShot(true);
        connect(timeoutTimer_, &QTimer::timeout, this, &Request::OnTimeout);
    }
    timeoutTimer_->setInterval(static_cast<int>(milliseconds));
}

void Request::Send()
{
    if (reply_) {
        LOG_BREL(Warning) << "Request is already in progress";
        return;
    }
    resendTimer_->stop();
    if (SendsKeyInClear()) {
        RefuseAfterwards();
        return;
    }
    StartTimeout();
    LOG_BREL(Info) << "Sending request";
    BeginAttempt();
    reply_ = manager_->get(request_);
    LimitReadBufferOnceAnswered();
    redirectTarget_.clear();
    attemptClock_.start();
    ConnectReply(gate_.Open(rangeOffset_));
}

bool Request::SendsKeyInClear() const
{
    return arguments_.contains(kKeyItem) && request_.url().scheme() != "https";
}

// Reported from the event loop, as every result is; an abort before then drops it.
void Request::RefuseAfterwards()
{
    LOG_BREL(Error) << "Refusing to send the service key over a non-https URL: " << Masked(request_.url().toString());
    const quint64 ticket = gate_.Open(0);
    QTimer::singleShot(0, this, [this, ticket] {
        if (!gate_.IsCurrent(ticket))
            return;
        gate_.Close();
        Report(IResponse::ServerError);
    });
}

// The access manager's network thread hands a reply to a connection before that connection can read an answer
// (a proxy tunnel asking for credentials); a read buffer set then makes it read on a connection that has no reader
// and crashes. Once the answer's headers are in, the connection reads.
void Request::LimitReadBufferOnceAnswered()
{
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] { reply->setReadBufferSize(kReadBufferSize); });
}

void Request::ConnectReply(quint64 ticket)
{
    // Queued, so each handler runs from the event loop in emission order; the
    // ticket drops what an earlier, aborted reply had queued already.
    const auto ifCurrent = [this, ticket](auto handler) {
        return [this, ticket, handler](auto... args) {
            if (gate_.IsCurrent(ticket))
                (this->*handler)(args...);
        };
    };
    connect(reply_, &QNetworkReply::readyRead, this, ifCurrent(&Request::OnReadyRead), Qt::QueuedConnection);
    connect(
        reply_, &QNetworkReply::downloadProgress, this, ifCurrent(&Request::OnDownloadProgress), Qt::QueuedConnection);
    connect(reply_, &QNetworkReply::finished, this, ifCurrent(&Request::OnFinished), Qt::QueuedConnection);
}

bool Request::Retry()
{
    if (!reply_) { // a reply in flight keeps its range; Send only warns
        const qint64 offset = ResumeOffset();
        if (offset > 0)
            LOG_BREL(Debug) << "Resuming request from: " << offset;
        SetRange(offset);
    }
    Send();
    return true;
}

void Request::SetRange(qint64 offset)
{
    rangeOffset_ = std::max<qint64>(offset, 0);
    if (rangeOffset_ == 0) {
        request_.setRawHeader("Range", QByteArray());
        return;
    }
    const QString value = QString("bytes=%1-").arg(rangeOffset_);
    LOG_BREL(Debug) << "Adding header: Range=" << value;
    request_.setRawHeader("Range", value.toUtf8());
}

void Request::Abort()
{
    resendTimer_->stop();
    AbortReply();
}

void Request::AbortReply()
{
    gate_.Close();
    if (reply_) {
        LOG_BREL(Info) << "Aborting request";
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        reply_ = nullptr;
    }
    StopTimeout();
}

void Request::Abort(const QString& error)
{
    LOG_BREL(Error) << "Failed to write data: " << error;
    Abort();
    Report(IResponse::IOError);
}

void Request::GetDownloadedbytes(qint64 bytes)
{
    downloadedBytes_ = bytes;
    LOG_BREL(Debug) << "bytesdownloaded" << bytes;
}

void Request::StartAutomaticRetry()
{
    if (!automaticRetryActive_)
        OpenRetryWindow(true);
}

void Request::SetAutomaticRetryTimeout(qint64 milliseconds)
{
    if (!retryTimer_) {
        retryTimer_ = new QTimer(this);
        retryTimer_->setSingleShot(true);
        connect(retryTimer_, &QTimer::timeout, this, [] { LOG_BREL(Debug) << "Auto Retry - Retry duration complete"; });
    }
    LOG_BREL(Debug) << "Auto Retry - Creating a timer with timeout interval: " << milliseconds;
    retryTimer_->setInterval(static_cast<int>(milliseconds));
}

int Request::ReadRetryDurationFromConfig()
{
    configured_ = true;
    int minutes = kDefaultRetryMinutes;
    try {
        const boost::property_tree::ptree tree = JsonFile::Read(Config::Instance().ConfigFilePath());
        minutes = RetryMinutes(tree.get<double>("MapDownload.RetryDuration"));
    } catch (const std::runtime_error&) {
        // No file, malformed JSON or no number: the default stands.
    }
    LOG_BREL(Debug) << "Duration (in json) " << minutes;
    retryWindowLength_ = minutes * 60000;
    return retryWindowLength_;
}

void Request::Construct(const QString& uri)
{
    LOG_BREL(Debug) << "Constructing request to: " << Masked(uri);
    QUrlQuery query;
    for (auto it = arguments_.cbegin(); it != arguments_.cend(); ++it) {
        LOG_BREL(Debug) << "Adding argument: " << it.key() << "=" << (it.key() == kKeyItem ? kMaskedKey : it.value());
        // Encoded here, so "+", "%" and "&" in a value arrive as given.
        query.addQueryItem(it.key(), QString::fromLatin1(QUrl::toPercentEncoding(it.value())));
    }
    QUrl url(uri, QUrl::TolerantMode);
    url.setQuery(query);
    request_.setSslConfiguration(TlsSettings::Configuration());
    for (auto it = headers_.cbegin(); it != headers_.cend(); ++it) {
        LOG_BREL(Debug) << "Adding header: " << it.key() << "=" << it.value();
        request_.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    }
    request_.setUrl(url);
    request_.setAttribute(QNetworkRequest::HttpPipeliningAllowedAttribute, true);
}

void Request::OnReadyRead()
{
    if (!reply_)
        return;
    StopTimeout();
    const QByteArray body = ReadBody();
    if (!body.isEmpty())
        Deliver(body);
    StartTimeout();
}

QByteArray Request::ReadBody()
{
    const QByteArray data = reply_->readAll();
    LOG_BREL(Debug) << "Read: " << data.size() << " bytes";
    return gate_.Body(*reply_, data);
}

void Request::OnDownloadProgress(qint64 received, qint64 total)
{
    LOG_BREL(Debug) << "Request progress: " << received << "/" << total << " bytes";
    response_->OnProgress(received, total);
}

void Request::OnFinished()
{
    if (!reply_)
        return;
    const QByteArray rest = ReadBody();
    if (!rest.isEmpty())
        Deliver(rest);
    Conclude();
}

void Request::Conclude()
{
    StopTimeout();
    int code = reply_->error();
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    LOG_BREL(Info) << "Request finished with result: " << code << " and http code: " << status;
    if (!gate_.Rejected().isEmpty())
        LOG_BREL(Debug) << QString::fromUtf8(gate_.Rejected());
    const QVariant target = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (target.isValid())
        redirectTarget_ = reply_->url().resolved(target.toUrl()).toString(QUrl::FullyEncoded);
    if (gate_.FinalError(*reply_, code) != code) {
        LOG_BREL(Warning) << "The reply does not continue at the requested offset: " << rangeOffset_;
        code = QNetworkReply::ProtocolFailure;
    }
    if (code == QNetworkReply::NoError && redirectTarget_.isEmpty() && !gate_.Accepted()) {
        // A 3xx without a target, or no HTTP status at all: nothing usable came.
        LOG_BREL(Warning) << "The reply has no body to use and leads nowhere";
        code = QNetworkReply::ProtocolFailure;
    }
    Abort();
    HandleError(code);
}

void Request::HandleError(int code)
{
    if (code == QNetworkReply::NoError && !redirectTarget_.isEmpty()) {
        FollowRedirect();
        return;
    }
    redirects_ = 0;
    if (code != QNetworkReply::NoError) {
        LOG_BREL(Debug) << "Auto Retry - Error code: " << code << " received ";
        CheckForErrorAndInitiateAutoRetry(code);
        return;
    }
    if (CompleteAttempt())
        Report(IResponse::Ok);
}

void Request::FollowRedirect()
{
    const QUrl target(redirectTarget_, QUrl::TolerantMode);
    if (++redirects_ > kMaxRedirects) {
        LOG_BREL(Error) << "Too many redirects, the last to: " << Masked(redirectTarget_);
        Report(IResponse::ServerError);
        return;
    }
    if (target.scheme() != "https") {
        LOG_BREL(Error) << "Refusing to redirect to a non-https URL: " << Masked(redirectTarget_);
        Report(IResponse::ServerError);
        return;
    }
    LOG_BREL(Debug) << "Redirecting request to: " << Masked(redirectTarget_);
    Construct(redirectTarget_);
    Send();
}

void Request::CheckForErrorAndInitiateAutoRetry(int code)
{
    if (automaticRetryActive_) {
        CheckTimerAndSendNextRequest(code, false);
        return;
    }
    const bool lostAtStart = code == QNetworkReply::HostNotFoundError || code == QNetworkReply::UnknownNetworkError
        || code == QNetworkReply::UnknownContentError;
    if (configured_ && downloadedBytes_ <= 0 && lostAtStart) {
        LOG_BREL(Debug) << "Auto Retry - Download bytes is zero show no internet screen: " << code;
        Report(IResponse::NoConnection);
        return;
    }
    OpenRetryWindow(false);
}

void Request::OpenRetryWindow(bool timedOut)
{
    SetAutomaticRetryTimeout(retryWindowLength_);
    retryTimer_->start();
    automaticRetryActive_ = true;
    ResendAfterFailure(timedOut);
}

void Request::CheckTimerAndSendNextRequest(int code, bool timedOut)
{
    if (retryTimer_ && retryTimer_->isActive()) {
        ResendAfterFailure(timedOut);
        return;
    }
    CloseRetryWindow();
    LOG_BREL(Debug) << "Auto Retry - Stopping the timer";
    if (timedOut)
        Report(IResponse::NoConnection);
    else if (code != QNetworkReply::NoError)
        Report(FinalResult(code));
}

void Request::ResendAfterFailure(bool timedOut)
{
    // A failure that comes back at once (refused, not found) would otherwise
    // be resent in a tight loop for the whole window.
    const qint64 wait = timedOut ? 0 : retryPause_ - attemptClock_.elapsed();
    if (wait <= 0) {
        Retry();
        return;
    }
    LOG_BREL(Debug) << "Auto Retry - Resending in " << wait << " ms";
    resendTimer_->start(static_cast<int>(wait));
}

void Request::OnTimeout()
{
    LOG_BREL(Debug) << "Connection timeout";
    Request::AbortReply();
    LOG_BREL(Debug) << "Auto Retry - Connection timeout";
    redirects_ = 0;
    if (automaticRetryActive_)
        CheckTimerAndSendNextRequest(QNetworkReply::NoError, true);
    else
        OpenRetryWindow(true);
}

void Request::Report(IResponse::Result result)
{
    resendTimer_->stop();
    CloseRetryWindow();
    redirects_ = 0;
    LOG_BREL(Info) << "Request result: " << result;
    response_->OnResult(result);
}

void Request::StartTimeout()
{
    if (timeoutTimer_)
        timeoutTimer_->start();
}

void Request::StopTimeout()
{
    if (timeoutTimer_)
        timeoutTimer_->stop();
}

void Request::CloseRetryWindow()
{
    automaticRetryActive_ = false;
    if (retryTimer_)
        retryTimer_->stop();
}

qint64 Request::ResumeOffset() const
{
    return 0;
}

void Request::BeginAttempt()
{
    body_.clear();
}

void Request::Deliver(const QByteArray& body)
{
    body_.append(body);
}

bool Request::CompleteAttempt()
{
    const QByteArray body = std::exchange(body_, QByteArray());
    if (body.isEmpty())
        return true;
    if (!out_->write(body.constData(), body.size())) {
        LOG_BREL(Error) << "Failed to write data: "
                        << "the output stream refused " << body.size() << " bytes";
        Report(IResponse::IOError);
        return false;
    }
    LOG_BREL(Debug) << "Written: " << body.size() << " bytes";
    const QPointer<Request> alive(this);
    response_->OnData(body.size());
    return !alive.isNull();
}

IResponse::Result Request::FinalResult(int code)
{
    return IsConnectionLoss(code) ? IResponse::NoConnection : IResponse::ServerError;
}

QString Request::Masked(const QString& url)
{
    QUrl parsed(url, QUrl::TolerantMode);
    QUrlQuery query(parsed);
    if (!query.hasQueryItem(kKeyItem))
        return url;
    query.removeAllQueryItems(kKeyItem);
    query.addQueryItem(kKeyItem, kMaskedKey);
    parsed.setQuery(query);
    return parsed.toString();
}

} // namespace Brel
