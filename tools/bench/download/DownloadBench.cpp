// Downloads one archive the way the map downloader does (AsyncRequest,
// AsyncWriter thread, Tar::Stream, sync at the end) and prints one JSON line
// with what happened; or compares the MD5 implementations.
//
//   download-bench download URL FOLDER [WRITER_MB_PER_S] [BUFFER_BYTES]
//   download-bench md5 [MIB]
#include "AsyncRequest.h"
#include "BenchResponse.h"
#include "Md5.h"
#include "MemoryArenas.h"
#include "Stream.h"
#include "ThrottledStream.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QNetworkAccessManager>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

// Bytes this process has read through read-like calls: here nearly all of
// them from the TLS socket (record overhead about 0.2%), so about the bytes
// received over all connections. Qt drops the progress of aborted replies.
qint64 BytesRead()
{
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

struct ThreadCpu {
    QByteArray name;
    double seconds = 0;
};

// The thread's role: the request's event loop, Qt's HTTP thread (TLS and
// sockets), the writer (the only QThread the download starts) and the MD5
// worker (a plain thread, so it carries the program's name).
QByteArray Role(int tid, const QByteArray& name)
{
    if (tid == getpid())
        return "main";
    if (name.startsWith("QNetworkAccess"))
        return "network";
    if (name == "QThread")
        return "writer";
    if (name == QFile::encodeName(QCoreApplication::applicationName()).left(15))
        return "md5";
    return name;
}

// Adds the user and system CPU time of every thread alive now; a thread that
// ended keeps the time of the last sample.
void SampleThreads(QMap<int, ThreadCpu>& threads)
{
    const double tick = 1.0 / sysconf(_SC_CLK_TCK);
    for (const QString& tid : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file("/proc/self/task/" + tid + "/stat");
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = file.readAll();
        const int open = stat.indexOf('('), close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' '); // from the state, field 3
        ThreadCpu& thread = threads[tid.toInt()];
        thread.name = stat.mid(open + 1, close - open - 1);
        thread.seconds = (fields.value(11).toLongLong() + fields.value(12).toLongLong()) * tick;
    }
}

// {"main": s, "network": s, ...}, threads of one role added up.
std::string ThreadsJson(const QMap<int, ThreadCpu>& threads)
{
    QMap<QByteArray, double> roles;
    for (auto it = threads.cbegin(); it != threads.cend(); ++it)
        roles[Role(it.key(), it->name)] += it->seconds;
    std::string json = "{";
    for (auto it = roles.cbegin(); it != roles.cend(); ++it)
        json += (json.size() > 1 ? ", \"" : "\"") + it.key().toStdString()
            + "\": " + QByteArray::number(*it, 'f', 3).toStdString();
    return json + "}";
}

int Download(const QString& url, const std::string& folder, double writerRate, qint64 bufferLimit)
{
    Brel::Tar::Stream tar(folder);
    tar.exceptions(std::ios::badbit | std::ios::failbit);
    ThrottledStream out(&tar, writerRate);
    QNetworkAccessManager manager;
    BenchResponse response([] { QCoreApplication::exit(0); });
    QMap<int, ThreadCpu> threads;
    QElapsedTimer clock;
    clock.start();
    {
        Brel::AsyncRequest request(&manager, url, {{"Accept", "application/x-tar"}}, {}, &response, &out);
        request.SetTimeout(10000);
        if (bufferLimit > 0)
            request.SetBufferLimit(bufferLimit);
        request.Send();
        QCoreApplication::exec();
        SampleThreads(threads); // before the writer's thread ends
    }
    tar.Finish();
    const double seconds = clock.nsecsElapsed() / 1e9;
    SampleThreads(threads);
    std::printf("{\"result\": %d, \"md5\": \"%s\", \"written\": %lld, \"received\": %lld, "
                "\"seconds\": %.3f, \"writer_busy\": %.3f, \"threads\": %s}\n",
        static_cast<int>(response.LastResult()), tar.GetMd5().c_str(), response.Written(), BytesRead(), seconds,
        out.BusySeconds(), ThreadsJson(threads).c_str());
    return response.LastResult() == Brel::IResponse::Ok ? 0 : 1;
}

template <typename Update> double Throughput(int mebibytes, Update update)
{
    const QByteArray block(32768, 'x');
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < mebibytes * 32; ++i)
        update(block);
    return mebibytes * 1048576.0 / 1e6 / (clock.nsecsElapsed() / 1e9);
}

int CompareMd5(int mebibytes)
{
    Md5 openssl;
    const double evp = Throughput(mebibytes, [&](const QByteArray& b) { openssl.Update(b.constData(), b.size()); });
    QCryptographicHash qt(QCryptographicHash::Md5);
    const double qtRate = Throughput(mebibytes, [&](const QByteArray& b) { qt.addData(b); });
    std::printf("{\"openssl_evp_mb_s\": %.0f, \"qcryptographichash_mb_s\": %.0f}\n", evp, qtRate);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    LimitMemoryArenas(); // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 4 && args[1] == "download")
            return Download(
                args[2], args[3].toStdString(), args.value(4, "0").toDouble() * 1e6, args.value(5, "0").toLongLong());
        if (args.size() >= 2 && args[1] == "md5")
            return CompareMd5(args.value(2, "1024").toInt());
    } catch (const std::exception& error) {
        std::cerr << "failed: " << error.what() << "\n";
        return 1;
    }
    std::cerr << "usage: download-bench download URL FOLDER [WRITER_MB_PER_S] [BUFFER_BYTES] | md5 [MIB]\n";
    return 2;
}
