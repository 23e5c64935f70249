#include "ReplyGate.h"

#include <QNetworkReply>
#include <QRegularExpression>

#include <algorithm>

namespace Brel {

quint64 ReplyGate::Open(qint64 offset)
{
    open_ = true;
    offset_ = std::max<qint64>(offset, 0);
    skip_ = 0;
    verdict_ = Verdict::Unjudged;
    rejected_.clear();
    return ++ticket_;
}

void ReplyGate::Close()
{
    open_ = false;
    ++ticket_;
}

bool ReplyGate::IsCurrent(quint64 ticket) const
{
    return open_ && ticket == ticket_;
}

QByteArray ReplyGate::Body(const QNetworkReply& reply, const QByteArray& data)
{
    Judge(reply);
    switch (verdict_) {
    case Verdict::Accept: {
        const qint64 skipped = std::min<qint64>(skip_, data.size());
        skip_ -= skipped;
        return data.mid(static_cast<int>(skipped));
    }
    case Verdict::Reject:
        rejected_.append(data.left(kRejectedKept - rejected_.size()));
        return {};
    default:
        return {};
    }
}

int ReplyGate::FinalError(const QNetworkReply& reply, int code)
{
    Judge(reply);
    // A redirect is followed with the same range; only its target's answer is judged.
    const bool redirect = reply.attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
    const bool refused = verdict_ == Verdict::Mismatch || (verdict_ == Verdict::Reject && offset_ > 0 && !redirect);
    const bool tooShort = verdict_ == Verdict::Accept && skip_ > 0 && code == QNetworkReply::NoError;
    return refused || tooShort ? QNetworkReply::ProtocolFailure : code;
}

void ReplyGate::Judge(const QNetworkReply& reply)
{
    if (verdict_ != Verdict::Unjudged)
        return;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return; // no headers yet
    const int code = status.toInt();
    verdict_ = (code >= 200 && code < 300) ? JudgeSuccess(code, reply) : Verdict::Reject;
}

ReplyGate::Verdict ReplyGate::JudgeSuccess(int status, const QNetworkReply& reply)
{
    if (status == 206)
        return RangeStart(reply) == offset_ ? Verdict::Accept : Verdict::Mismatch;
    if (offset_ == 0)
        return Verdict::Accept;
    if (status != 200)
        return Verdict::Mismatch;
    // The server sent the whole body again: what was consumed already is skipped.
    skip_ = offset_;
    return Verdict::Accept;
}

qint64 ReplyGate::RangeStart(const QNetworkReply& reply)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*bytes\\s+(\\d+)-\\d+/(\\d+|\\*)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(reply.rawHeader("Content-Range")));
    bool ok = false;
    const qint64 start = match.hasMatch() ? match.captured(1).toLongLong(&ok) : -1;
    return ok ? start : -1;
}

} // namespace Brel
