#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <ostream>

namespace Brel {

// A bounded buffer between the network and a slow output stream: the
// request's thread hands data over, the writer's own thread writes it.
// Only the chunk list, the byte count and the scheduled mark are locked; the
// stream is written without the lock, so the request's thread never waits
// for the device.
class AsyncWriter : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kBufferLimit = 32 * 1024 * 1024;
    static constexpr int kChunkLimit = 32 * 1024;

    explicit AsyncWriter(std::ostream* out);

    // Nothing is buffered, scheduled or being written.
    bool IsIdle();
    // Test seam: the buffer limit.
    void SetBufferLimit(qint64 bytes) { bufferLimit_ = bytes; }

signals:
    void DataWritten(int bytes);
    // The buffer ran empty (also after an error).
    void DataReady();
    void DataError(const QString& error);

public slots:
    // Called directly from the request's thread. Returns false when the
    // buffer is full: with the data taken when it just reached the limit,
    // refused when it was over the limit already.
    bool WriteData(const QByteArray& data);
    // Called directly from the request's thread: drops what is buffered and
    // forgets a failure.
    void Abort();
    // Runs on the writer's thread.
    void Write();

private:
    // Returns the error, or a null string when the chunk was written.
    QString WriteChunk(const QByteArray& chunk);

    std::ostream* out_;
    QMutex mutex_;
    QList<QByteArray> chunks_;
    qint64 buffered_ = 0;
    bool scheduled_ = false;
    bool failed_ = false;
    qint64 bufferLimit_ = kBufferLimit;
};

} // namespace Brel
