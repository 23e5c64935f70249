#include "MapDownloader.h"

#include "EnumName.h"

#include "Filesystem.h"
#include "Log.h"

#include <boost/filesystem.hpp>

#include <cstring>
#include <exception>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = boost::filesystem;

namespace {

constexpr qint64 kRequestTimeout = 10000;
constexpr std::uintmax_t kMinimumFreeSpace = 1024;
const char* const kMetadataSuffix = ".meta.xml";

// The file name of the archive's address without its last extension.
std::string ArchiveBaseName(const std::string& url)
{
    const std::string name = fs::path(url).filename().string();
    return name.substr(0, name.rfind('.'));
}

// The name becomes a folder below the destination, which is emptied first:
// it must name exactly one folder there.
bool IsUsableFolderName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

// The first regular file directly inside the folder with exactly that name;
// empty when there is none or the folder cannot be listed.
fs::path FindFile(const fs::path& folder, const std::string& name)
{
    boost::system::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().filename() == name && fs::is_regular_file(entry->status(error)))
            return entry->path();
    }
    if (error)
        LOG(Error) << "Failed to list: " << folder.string() << ", " << error.message();
    return {};
}

// A map's metadata copy beside its folder, which tells the head unit the map
// is there.
bool IsAnnouncement(const fs::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    const std::size_t suffix = std::strlen(kMetadataSuffix);
    boost::system::error_code error;
    return name.size() > suffix && name.compare(name.size() - suffix, suffix, kMetadataSuffix) == 0
        && fs::is_regular_file(entry.status(error));
}

// Every regular file below the folder, in the order met; a failing walk
// keeps what it found so far.
std::vector<fs::path> CollectFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    boost::system::error_code error;
    for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (fs::is_regular_file(entry->status(error)))
            files.push_back(entry->path());
    }
    if (error)
        LOG(Error) << "Failed to iterate over: " << folder.string() << ", " << error.message();
    return files;
}

std::unique_ptr<Brel::IClient> CreateArchiveClient(const std::string& url)
{
    return std::unique_ptr<Brel::IClient>(Brel::CreateClient(url, ""));
}

fs::space_info QueryVolumeSpace(const fs::path& path, boost::system::error_code& error)
{
    return fs::space(path, error);
}

} // namespace

MapDownloader::MapDownloader(ProgressCallback progress, ResultCallback result)
    : progressCallback(std::move(progress))
    , resultCallback(std::move(result))
    , createClient(CreateArchiveClient)
    , querySpace(QueryVolumeSpace)
{
}

// The request goes first: deleting it stops its writer, which writes into
// the stream.
MapDownloader::~MapDownloader()
{
    request.reset();
}

void MapDownloader::SetClientFactory(ClientFactory factory)
{
    createClient = std::move(factory);
}

void MapDownloader::SetSpaceQuery(SpaceQuery query)
{
    querySpace = std::move(query);
}

void MapDownloader::Download(const fs::path& destination, const MapInfo& map)
{
    LOG(Debug) << "Downloading map: " << map.id << " to: \"" << destination.string() << "\"";
    // A previous request may still write into the folder about to be emptied.
    Stop();
    downloaded = 0;
    this->destination = destination;
    size = map.size;
    baseName = ArchiveBaseName(map.url);
    if (!IsUsableFolderName(baseName)) {
        LOG(Error) << "Failed to download map: no usable archive name in: " << map.url;
        return Report(ServerError);
    }
    const fs::path mapFolder = destination / baseName;
    if (!PrepareDestination(mapFolder) || !CheckSpace())
        return;
    stream.emplace(mapFolder);
    if (!stream->good()) {
        stream.reset();
        return Report(WriteFailure());
    }
    stream->exceptions(std::ios::failbit | std::ios::badbit);
    checksum = map.checksum;
    StartRequest(map);
}

// A stick that cannot be written, or one pulled meanwhile, fails here. The
// stick's root must exist: recreating a vanished mount folder would put the
// map on the computer's own disk.
bool MapDownloader::PrepareDestination(const fs::path& mapFolder)
{
    try {
        if (fs::exists(destination))
            RemoveAnnouncements(false);
        fs::remove_all(destination);
        fs::create_directory(destination);
        fs::create_directory(mapFolder);
        return true;
    } catch (const fs::filesystem_error& error) {
        LOG(Error) << "Failed to prepare: " << destination.string() << ", " << error.what();
        Report(PathExists(destination.parent_path()) ? UsbBlocked : UsbRemoved);
        return false;
    }
}

bool MapDownloader::CheckSpace()
{
    boost::system::error_code error;
    const fs::space_info space = QuerySpace(error);
    const auto needed = static_cast<std::uintmax_t>(size);
    if (error || space.capacity < needed) {
        LOG(Error) << "Failed to download map: map size: " << size << " exceeds total space: " << space.capacity;
        Report(UsbTooSmall);
        return false;
    }
    if (space.available < needed) {
        LOG(Error) << "Failed to download map: map size: " << size << " exceeds available space: " << space.available;
        Report(UsbFull);
        return false;
    }
    return true;
}

void MapDownloader::StartRequest(const MapInfo& map)
{
    client = createClient(map.url);
    request.reset(client->GetMapContent(&*stream, this));
    request->SetTimeout(kRequestTimeout);
    request->ReadRetryDurationFromConfig();
    request->Send();
}

void MapDownloader::OnData(qint64 bytes)
{
    if (!progressCallback)
        return;
    progressCallback(bytes);
    boost::system::error_code error;
    const fs::file_status status = fs::status(destination, error);
    if (error || !fs::exists(status)) {
        LOG(Debug) << "Failed to download map: UsbRemoved.";
        Stop();
        destination.clear();
        return Report(UsbRemoved);
    }
    const fs::space_info space = QuerySpace(error);
    downloaded += bytes;
    LOG(Debug) << "downloadedbytes onData: " << downloaded;
    request->GetDownloadedbytes(downloaded);
    downloaded = std::max<std::int64_t>(std::min(downloaded, size), 0);
    const std::int64_t remaining = size - downloaded;
    if (static_cast<std::uintmax_t>(remaining) > space.available) {
        LOG(Error) << "Failed to download map: map bytes: " << remaining
                   << " exceeds available space: " << space.available;
        request.reset();
        Report(UsbFull);
    }
}

// A verification or write failure cannot be resumed: the stream is complete
// but wrong, or it stays failed. Such a download is dropped so that a retry
// starts afresh.
void MapDownloader::OnResult(Brel::IResponse::Result result)
{
    LOG(Debug) << "Map download finished with result: " << result;
    if (result == Brel::IResponse::ServerError)
        return Report(ServerError);
    if (result != Brel::IResponse::Ok && result != Brel::IResponse::IOError)
        return Report(NoConnection);
    const Result outcome = result == Brel::IResponse::Ok ? Verify() : WriteFailure();
    if (outcome != Ok)
        Stop();
    Report(outcome);
}

// The MD5 first; then the unpacked map must be complete and on the device
// before its metadata copy announces it to the head unit; the copy last.
MapDownloader::Result MapDownloader::Verify()
{
    if (stream->GetMd5() != checksum) {
        LOG(Error) << "Checksum mismatch";
        return ServerError;
    }
    try {
        stream->Finish();
    } catch (const std::system_error& error) {
        LOG(Error) << "Failed to finish writing the map: " << error.what();
        return WriteFailure();
    } catch (const std::exception& error) {
        // The archive the server vouched for ends inside an entry.
        LOG(Error) << "Failed to finish writing the map: " << error.what();
        return ServerError;
    }
    if (!CopyMetadataFile()) {
        LOG(Error) << "Checksum mismatch";
        return ServerError;
    }
    return SyncFile(destination / (baseName + kMetadataSuffix)) ? Ok : WriteFailure();
}

MapDownloader::Result MapDownloader::WriteFailure()
{
    if (!PathExists(destination))
        return UsbRemoved;
    boost::system::error_code error;
    return QuerySpace(error).free >= kMinimumFreeSpace ? UsbBlocked : UsbFull;
}

bool MapDownloader::CopyMetadataFile()
{
    const std::string name = baseName + kMetadataSuffix;
    const fs::path source = FindFile(destination / baseName, name);
    if (source.empty()) {
        LOG(Error) << "File: " << name << " not found";
        return false;
    }
    boost::system::error_code error;
    fs::copy_file(source, destination / name, fs::copy_options::none, error);
    if (error) {
        LOG(Error) << "Failed to copy file: " << name << ", " << error.message();
        return false;
    }
    return true;
}

void MapDownloader::Resume()
{
    if (!request) {
        LOG(Warning) << "No request in progress";
        return;
    }
    LOG(Debug) << "Resuming map download";
    LOG(Debug) << "Auto Retry - Retry button clicked";
    request->StartAutomaticRetry();
}

bool MapDownloader::CanResume() const
{
    return request != nullptr;
}

void MapDownloader::Abort()
{
    LOG(Debug) << "Aborting map download";
    Stop();
    // Only a missing stick root means the stick is gone: a stick that could not
    // be written may never have received the folder, and then there is nothing
    // to remove.
    const bool folderPresent = PathExists(destination);
    if (!folderPresent && (destination.empty() || !PathExists(destination.parent_path()))) {
        LOG(Debug) << "Failed to download map: UsbRemoved.";
        destination.clear();
        return Report(UsbRemoved);
    }
    if (folderPresent) {
        LOG(Debug) << "Removing map from: " << destination.string();
        RemoveDestination();
    }
    destination.clear();
    Report(Aborted);
}

void MapDownloader::Drop()
{
    Stop();
    client.reset();
}

// The metadata copies announce the maps to the head unit: they go first, and
// for good, before any map file, so that a stick pulled halfway never
// announces a half-removed map.
void MapDownloader::RemoveDestination()
{
    if (!RemoveAnnouncements(true)) {
        LOG(Error) << "Keeping the maps in: " << destination.string() << ", their announcements remain";
        return;
    }
    for (const fs::path& file : CollectFiles(destination))
        RemoveFile(file, true);
    boost::system::error_code error;
    fs::remove_all(destination, error);
    if (error)
        LOG(Error) << "Failed to remove: " << destination.string() << ", " << error.message();
}

// False when an announcement could not be listed, removed or the removal
// written through.
bool MapDownloader::RemoveAnnouncements(bool reportProgress)
{
    std::vector<fs::path> announcements;
    boost::system::error_code error;
    for (fs::directory_iterator entry(destination, error), end; !error && entry != end; entry.increment(error)) {
        if (IsAnnouncement(*entry))
            announcements.push_back(entry->path());
    }
    if (error) {
        LOG(Error) << "Failed to list: " << destination.string() << ", " << error.message();
        return false;
    }
    bool removed = true;
    for (const fs::path& file : announcements) {
        RemoveFile(file, reportProgress);
        removed = removed && !fs::exists(fs::symlink_status(file, error));
    }
    return removed && SyncFolder(destination);
}

void MapDownloader::RemoveFile(const fs::path& file, bool reportProgress)
{
    LOG(Debug) << "Removing: " << file.string();
    boost::system::error_code error;
    if (reportProgress && progressCallback) {
        std::uintmax_t bytes = fs::file_size(file, error);
        if (error) {
            LOG(Warning) << "Failed to calculate file size for: " << file.string() << ", " << error.message();
            bytes = 0;
        }
        progressCallback(-static_cast<std::int64_t>(bytes));
    }
    if (!fs::remove(file, error) && error)
        LOG(Error) << "Failed to remove file: " << file.string() << ", " << error.message();
}

// A failed query counts as a volume without any space.
fs::space_info MapDownloader::QuerySpace(boost::system::error_code& error) const
{
    const fs::space_info space = querySpace(destination, error);
    if (!error)
        return space;
    LOG(Warning) << "Failed to get space info of path: " << destination.string() << ", " << error.message();
    return fs::space_info {0, 0, 0};
}

// The request goes before the stream it writes into.
void MapDownloader::Stop()
{
    request.reset();
    stream.reset();
}

void MapDownloader::Report(Result result)
{
    if (resultCallback)
        resultCallback(result);
}

std::ostream& operator<<(std::ostream& out, MapDownloader::Result result)
{
    static constexpr std::array<const char*, 8> names {
        "Ok", "Aborted", "NoConnection", "ServerError", "UsbBlocked", "UsbTooSmall", "UsbFull", "UsbRemoved"};
    return Log::WriteEnumName(out, result, names);
}
