#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// An output stream for writer and download tests: records the size of each
// write, forwards the bytes to an optional target stream, can be slowed to a
// rate and can fail. Its position is the number of bytes taken (or the
// target's position). Written from the writer thread, read from the test.
class AsyncWriterTestStream : public std::ostream {
public:
    explicit AsyncWriterTestStream(std::ostream* target = nullptr);
    ~AsyncWriterTestStream() override;

    void Throttle(qint64 bytesPerSecond);
    // Runs (and so may throw) at every write from now on.
    void FailWith(std::function<void()> failure);
    std::vector<int> Writes() const;
    qint64 Total() const;

private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
};
