#pragma once

#include "IClient.h"
#include "IRequest.h"
#include "IResponse.h"
#include "MapInfo.h"
#include "Stream.h"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

// Brings one map archive onto the stick and takes it off again. The archive
// is unpacked into "<destination>/<baseName>" while it streams in, with the
// MD5 of the whole stream; at the end the MD5 is checked and the package's
// metadata file copied beside the map folder. Runs on the map update thread;
// it reports through its two callbacks, sometimes before an operation returns.
class MapDownloader : private Brel::IResponse {
public:
    enum Result {
        Ok = 0,
        Aborted = 1,
        NoConnection = 2,
        ServerError = 3,
        UsbBlocked = 4,
        UsbTooSmall = 5,
        UsbFull = 6,
        UsbRemoved = 7,
    };
    using ProgressCallback = std::function<void(std::int64_t bytes)>;
    using ResultCallback = std::function<void(Result result)>;
    // Test seams: the service client for an archive URL, and the space query
    // of a volume (it sets the error code on failure).
    using ClientFactory = std::function<std::unique_ptr<Brel::IClient>(const std::string& url)>;
    using SpaceQuery
        = std::function<boost::filesystem::space_info(const boost::filesystem::path&, boost::system::error_code&)>;

    MapDownloader(ProgressCallback progress, ResultCallback result);
    ~MapDownloader() override;
    MapDownloader(const MapDownloader&) = delete;
    MapDownloader& operator=(const MapDownloader&) = delete;

    // Empties the destination and downloads the map into it; a refused start
    // is reported at once.
    void Download(const boost::filesystem::path& destination, const MapInfo& map);
    // Continues the interrupted download through the request's automatic retry.
    void Resume();
    // Whether Resume can continue the download. It cannot after a write
    // failure (the tar stream stays failed), after a failed verification (the
    // stream is complete but wrong) or when no request exists: such a download
    // must start afresh.
    bool CanResume() const;
    // Stops the transfer and removes the whole destination, the maps'
    // metadata copies first, reporting each removed file's size as negative
    // progress. Nothing to remove on a stick that is still there is Aborted too.
    void Abort();
    // Ends the download in flight without a result and lets go of the client,
    // so that nothing of it runs or reports any more. What is on the stick
    // stays; a later Abort still removes it.
    void Drop();

    void SetClientFactory(ClientFactory factory);
    void SetSpaceQuery(SpaceQuery query);

private:
    void OnData(qint64 bytes) override;
    void OnResult(Brel::IResponse::Result result) override;

    bool PrepareDestination(const boost::filesystem::path& mapFolder);
    bool CheckSpace();
    void StartRequest(const MapInfo& map);
    Result Verify();
    Result WriteFailure();
    bool CopyMetadataFile();
    bool RemoveAnnouncements(bool reportProgress);
    void RemoveDestination();
    void RemoveFile(const boost::filesystem::path& file, bool reportProgress);
    boost::filesystem::space_info QuerySpace(boost::system::error_code& error) const;
    void Stop();
    void Report(Result result);

    ProgressCallback progressCallback;
    ResultCallback resultCallback;
    std::unique_ptr<Brel::IClient> client;
    std::unique_ptr<Brel::IRequest> request;
    std::optional<Brel::Tar::Stream> stream;
    boost::filesystem::path destination;
    std::string baseName;
    std::string checksum;
    std::int64_t downloaded = 0;
    std::int64_t size = 0;
    ClientFactory createClient;
    SpaceQuery querySpace;
};

// Writes the result's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, MapDownloader::Result result);
