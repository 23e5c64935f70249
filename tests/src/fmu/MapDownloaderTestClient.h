#pragma once

#include "FakeClient.h"
#include "IRequest.h"
#include "IResponse.h"

#include <QByteArray>

#include <boost/filesystem/operations.hpp>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class MapDownloader;

// A service client whose map content request is driven by the test: the
// test writes archive bytes into the request's output stream (the real tar
// stream) and reports them and the result as the request's writer would.
// The service's other requests are those of FakeClient.
class MapDownloaderTestClient : public FakeClient {
public:
    class Request;

    // What the test sees of its clients and requests.
    struct Line {
        // Writes the bytes into the current content request's stream in
        // chunks, calling OnData after each. A failing write ends the request
        // with IOError. Returns false when the request failed or went away.
        bool Feed(const QByteArray& bytes, int chunk = 4096);
        // Ends the current content request with the result.
        void Finish(Brel::IResponse::Result result);

        Request* current = nullptr;
        int clientsAlive = 0;
        int contentRequests = 0;
        int sends = 0;
        int automaticRetries = 0;
        qint64 timeout = 0;
        qint64 downloadedBytes = 0;
        bool retryDurationRead = false;
        std::vector<std::string> urls;
        std::function<void()> onContentRequestDeleted;
        // What the stick's space query answers.
        boost::filesystem::space_info space {kGigabyte, kGigabyte, kGigabyte};
        bool spaceFails = false;
    };
    static constexpr std::uintmax_t kGigabyte = 1024 * 1024 * 1024;

    // Makes the downloader ask the line for clients and space.
    static void Install(MapDownloader& downloader, const std::shared_ptr<Line>& line);

    class Request : public Brel::IRequest {
    public:
        Request(std::shared_ptr<Line> line, std::ostream* out, Brel::IResponse* response);
        ~Request() override;

        void SetTimeout(qint64 milliseconds) override { line->timeout = milliseconds; }
        void Send() override { ++line->sends; }
        bool Retry() override { return true; }
        void Abort() override { }
        void GetDownloadedbytes(qint64 bytes) override { line->downloadedBytes = bytes; }
        void StartAutomaticRetry() override { ++line->automaticRetries; }
        void SetAutomaticRetryTimeout(qint64) override { }
        int ReadRetryDurationFromConfig() override;

        std::ostream* out;
        Brel::IResponse* response;

    private:
        std::shared_ptr<Line> line;
    };

    MapDownloaderTestClient(std::shared_ptr<Line> line, const std::string& url);
    ~MapDownloaderTestClient() override;

    Brel::IRequest* GetMapContent(std::ostream* out, Brel::IResponse* response) override;

private:
    std::shared_ptr<Line> line;
};
