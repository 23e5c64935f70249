#pragma once

#include <QByteArray>
#include <QtGlobal>

class QNetworkReply;

namespace Brel {

// Decides which reply is the current one and which of its bytes belong to the
// response body. Only a successful reply's body passes (error and redirect
// pages never reach the output); a resumed attempt must be answered from the
// offset it asked for: a 206 starting there, or a whole 200 whose first bytes
// are skipped. Queued signals of an earlier reply carry an older ticket.
class ReplyGate {
public:
    // Diagnostic text kept of a rejected body (for the log).
    static constexpr int kRejectedKept = 4096;

    // A new reply; offset is what its "Range" header asked for (0: none).
    // Returns the ticket that its signals carry.
    quint64 Open(qint64 offset);
    // No reply is current any more: every signal still queued is stale.
    void Close();
    bool IsCurrent(quint64 ticket) const;

    // The part of data (just read from reply) that belongs to the body.
    QByteArray Body(const QNetworkReply& reply, const QByteArray& data);
    // The error to act on when reply ended with code: a resumed attempt that
    // was not answered from its offset (an unfit 206, another status, a
    // whole body shorter than the offset) is a protocol failure.
    int FinalError(const QNetworkReply& reply, int code);
    // Whether the current reply's body is the response (a 2xx answer fit
    // for the offset asked for).
    bool Accepted() const { return verdict_ == Verdict::Accept; }
    // The start of the body of an unsuccessful reply.
    const QByteArray& Rejected() const { return rejected_; }

private:
    enum class Verdict { Unjudged, Accept, Reject, Mismatch };

    void Judge(const QNetworkReply& reply);
    Verdict JudgeSuccess(int status, const QNetworkReply& reply);
    static qint64 RangeStart(const QNetworkReply& reply);

    quint64 ticket_ = 0;
    bool open_ = false;
    qint64 offset_ = 0;
    qint64 skip_ = 0;
    Verdict verdict_ = Verdict::Unjudged;
    QByteArray rejected_;
};

} // namespace Brel
