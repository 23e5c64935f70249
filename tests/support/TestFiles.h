#pragma once

#include <QtCore>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct TestFiles {
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static bool Write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    static unsigned Mode(const QString& path)
    {
        struct stat status { };
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777u : 0u;
    }

    // Read as a file is: the bytes, then the end. Its own reader keeps the bytes in the FIFO while it lives.
    class FilledFifo {
    public:
        FilledFifo(const QString& path, const QByteArray& bytes)
        {
            const QByteArray name = QFile::encodeName(path);
            ::mkfifo(name.constData(), 0600); // a test's fresh path: nothing else can be there
            keeper_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            filled_ = keeper_ >= 0 && writer >= 0 && ::write(writer, bytes.constData(), bytes.size()) == bytes.size();
            ::close(writer);
        }
        ~FilledFifo() { ::close(keeper_); }
        bool Filled() const { return filled_; }

    private:
        int keeper_ = -1;
        bool filled_ = false;
    };
};
