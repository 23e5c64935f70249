#include "AsyncWriter.h"

#include "Log.h"

#include <QMetaObject>

#include <stdexcept>

namespace Brel {

AsyncWriter::AsyncWriter(std::ostream* out)
    : out_(out)
{
}

bool AsyncWriter::IsIdle()
{
    const QMutexLocker lock(&mutex_);
    return !scheduled_ && chunks_.isEmpty();
}

bool AsyncWriter::WriteData(const QByteArray& data)
{
    const QMutexLocker lock(&mutex_);
    if (buffered_ > bufferLimit_) {
        LOG_BREL(Warning) << "Buffer is already full";
        return false;
    }
    // Small arrivals are merged, so the stream sees few, larger writes. An
    // empty hand-over only asks for a DataReady once the buffer is empty.
    if (!chunks_.isEmpty() && chunks_.last().size() + data.size() <= kChunkLimit)
        chunks_.last().append(data);
    else if (!data.isEmpty())
        chunks_.append(data);
    buffered_ += data.size();
    if (!scheduled_) {
        scheduled_ = true;
        QMetaObject::invokeMethod(this, &AsyncWriter::Write, Qt::QueuedConnection);
    }
    return buffered_ < bufferLimit_;
}

void AsyncWriter::Abort()
{
    LOG_BREL(Debug) << "Stopping writer";
    const QMutexLocker lock(&mutex_);
    chunks_.clear();
    buffered_ = 0;
    failed_ = false;
}

void AsyncWriter::Write()
{
    QMutexLocker lock(&mutex_);
    scheduled_ = true;
    // After a failure nothing more is written until Abort: the request
    // hears of the failure once.
    while (!failed_ && !chunks_.isEmpty()) {
        const QByteArray chunk = chunks_.takeFirst();
        buffered_ -= chunk.size();
        lock.unlock();
        const QString error = WriteChunk(chunk);
        lock.relock();
        if (error.isNull())
            continue;
        // Marked before anyone hears of it: the request's Abort, which forgets
        // the failure, may run as soon as DataError is out.
        failed_ = true;
        lock.unlock();
        emit DataError(error);
        lock.relock();
    }
    // Under the lock, so data handed over meanwhile is either taken by the
    // loop above or schedules a new Write.
    LOG_BREL(Debug) << "Buffer is empty, waiting for new data";
    emit DataReady();
    scheduled_ = false;
}

QString AsyncWriter::WriteChunk(const QByteArray& chunk)
{
    try {
        // A stream without an exception mask fails silently; that must not
        // pass for written data.
        if (!out_->write(chunk.constData(), chunk.size()))
            throw std::runtime_error("the output stream is not writable");
    } catch (const std::runtime_error& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("unknown exception");
    }
    LOG_BREL(Debug) << "Written: " << chunk.size() << " bytes";
    emit DataWritten(chunk.size());
    return {};
}

} // namespace Brel
