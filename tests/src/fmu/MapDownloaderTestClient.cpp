#include "MapDownloaderTestClient.h"

#include "MapDownloader.h"

#include <algorithm>
#include <utility>

void MapDownloaderTestClient::Install(MapDownloader& downloader, const std::shared_ptr<Line>& line)
{
    downloader.SetClientFactory(
        [line](const std::string& url) { return std::make_unique<MapDownloaderTestClient>(line, url); });
    downloader.SetSpaceQuery([line](const boost::filesystem::path&, boost::system::error_code& error) {
        if (line->spaceFails)
            error = boost::system::errc::make_error_code(boost::system::errc::io_error);
        return line->space;
    });
}

bool MapDownloaderTestClient::Line::Feed(const QByteArray& bytes, int chunk)
{
    for (int offset = 0; offset < bytes.size(); offset += chunk) {
        if (!current)
            return false;
        const int count = std::min(chunk, bytes.size() - offset);
        try {
            current->out->write(bytes.constData() + offset, count);
        } catch (const std::exception&) {
            Finish(Brel::IResponse::IOError);
            return false;
        }
        current->response->OnData(count);
    }
    return current != nullptr;
}

void MapDownloaderTestClient::Line::Finish(Brel::IResponse::Result result)
{
    current->response->OnResult(result);
}

MapDownloaderTestClient::Request::Request(std::shared_ptr<Line> line, std::ostream* out, Brel::IResponse* response)
    : out(out)
    , response(response)
    , line(std::move(line))
{
    ++this->line->contentRequests;
    this->line->current = this;
}

MapDownloaderTestClient::Request::~Request()
{
    if (line->current == this)
        line->current = nullptr;
    if (line->onContentRequestDeleted)
        line->onContentRequestDeleted();
}

int MapDownloaderTestClient::Request::ReadRetryDurationFromConfig()
{
    line->retryDurationRead = true;
    return 180000;
}

MapDownloaderTestClient::MapDownloaderTestClient(std::shared_ptr<Line> line, const std::string& url)
    : FakeClient(std::make_shared<FakeService>())
    , line(std::move(line))
{
    ++this->line->clientsAlive;
    this->line->urls.push_back(url);
}

MapDownloaderTestClient::~MapDownloaderTestClient()
{
    --line->clientsAlive;
}

Brel::IRequest* MapDownloaderTestClient::GetMapContent(std::ostream* out, Brel::IResponse* response)
{
    return new Request(line, out, response);
}
