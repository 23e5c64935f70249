#include "MetadataChecker.h"

#include "Config.h"
#include "Documents.h"
#include "Log.h"
#include "MapStorage.h"
#include "ReleaseDate.h"
#include "Settings.h"
#include "StickMetadataReader.h"
#include "StickPath.h"

#include "Parsers.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <boost/variant/apply_visitor.hpp>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

using Tree = boost::property_tree::ptree;
using BrelResult = Brel::IResponse::Result;

const char* const kAllNewest = "AllNewest";
const char* const kAllRelated = "AllRelated";
const char* const kMetadata = "Metadata";
const char* const kDownloadInfo = "DownloadInfo";
const char* const kLocaleData = "LocaleData";
const qint64 kRequestTimeout = 5000;

Tree ReadXml(std::stringstream& body)
{
    return Documents::ReadXml(body.str());
}

std::vector<std::string> ReadPackageIds(std::stringstream& body)
{
    const std::vector<std::string> ids = Brel::ParsePackageIds(ReadXml(body));
    LOG(Debug) << "Got: " << ids.size() << " packages";
    return ids;
}

// The service wants a language tag: "en_GB" is sent as "en-GB".
std::string Locale()
{
    std::string language = Settings::Instance().GetLanguage().toStdString();
    const auto underscore = language.find('_');
    if (underscore != std::string::npos)
        language[underscore] = '-';
    return language;
}

MapInfo NewMap(const MapInfo::Id& id, bool root)
{
    MapInfo map;
    map.id = id;
    map.state = MapInfo::Available;
    map.root = root;
    return map;
}

// The check result of a failed list request (AllRoots, AllRelated).
MetadataChecker::Result ListFailure(BrelResult result, const char* unsupported)
{
    switch (result) {
    case Brel::IResponse::ContentError:
        return MetadataChecker::InvalidMetadata;
    case Brel::IResponse::ServerError:
        return MetadataChecker::ServerError;
    case Brel::IResponse::NoConnection:
        return MetadataChecker::NoConnection;
    default:
        throw std::logic_error(unsupported);
    }
}

bool IsAfter(const QDate& release, const QDate& end)
{
    return DayNumber(release) > DayNumber(end);
}

} // namespace

MetadataChecker::Request::Request(Handler handler)
    : handler(std::move(handler))
{
}

// The handler usually destroys this request, so it runs from a local copy.
void MetadataChecker::Request::OnResult(Brel::IResponse::Result result)
{
    const Handler run = std::move(handler);
    run(result);
}

MetadataChecker::MetadataChecker() = default;

MetadataChecker::MetadataChecker(std::unique_ptr<Brel::IClient> client)
    : client(std::move(client))
{
}

MetadataChecker::~MetadataChecker() = default;

// Made where it is first used: its network access manager and every request
// belong to the checker's thread, not to the thread that built the checker.
Brel::IClient& MetadataChecker::ServiceClient()
{
    if (!client)
        client.reset(Brel::CreateClient(Config::Instance().updateSource, Config::Instance().updateKey));
    return *client;
}

void MetadataChecker::CheckRootUpdates(Callback resultCallback)
{
    LOG(Debug) << "Checking root updates";
    if (!resultCallback)
        throw std::logic_error("Failed to check root updates: callback is empty");
    DropAllRequests();
    callback = std::move(resultCallback);
    MapStorage::Instance().Clear();
    GetAllRoots();
}

void MetadataChecker::CheckRelatedUpdates(const UsbInfo& usb, Callback resultCallback)
{
    LOG(Debug) << "Checking relative updates";
    if (!resultCallback)
        throw std::logic_error("Failed to check related updates: callback is empty");
    DropAllRequests();
    if (usb.state == UsbInfo::InvalidMetadata) {
        resultCallback(InvalidMetadata);
        return;
    }
    currentMap.Reset();
    MapStorage::Instance().Clear();
    MapStorage::Instance().SetSubscription(SubscriptionInfo());
    if (const auto ended = StickMetadataReader(StickPath::ToNative(usb.path)).Read(currentMap)) {
        resultCallback(*ended);
        return;
    }
    if (!currentMap.IsValid()) {
        resultCallback(InvalidMetadata);
        return;
    }
    callback = std::move(resultCallback);
    GetAllRelated(currentMap.id);
}

void MetadataChecker::UpdateLocale()
{
    LOG(Debug) << "Updating map names";
    for (const auto& entry : MapStorage::Instance().GetMaps())
        SendLocaleData(entry.first, true);
}

void MetadataChecker::Abort()
{
    LOG(Debug) << "Aborting all requests";
    allRelatedRequests.clear();
    allNewestRequests.clear();
    metadataRequests.clear();
    downloadInfoRequests.clear();
    localeDataRequests.clear();
}

void MetadataChecker::Shutdown()
{
    DropAllRequests();
    client.reset();
}

// A new check owns every answer that follows: nothing of the previous one may
// still arrive and act on the catalogue or the callback.
void MetadataChecker::DropAllRequests()
{
    Abort();
    allRootsRequest.reset();
}

void MetadataChecker::Report(Result result)
{
    callback(result);
}

void MetadataChecker::GetAllRoots()
{
    currentMap.Reset();
    allRootsRequest = std::make_unique<Request>([this](BrelResult result) { OnAllRoots(result); });
    LOG(Debug) << "Sending AllRoots request";
    allRootsRequest->request.reset(ServiceClient().GetAllRoots(&allRootsRequest->body, allRootsRequest.get()));
    allRootsRequest->request->SetTimeout(kRequestTimeout);
    allRootsRequest->request->Send();
}

void MetadataChecker::GetAllNewest(std::string id)
{
    SendPackageRequest(allNewestRequests, kAllNewest, id, &Brel::IClient::GetAllNewest, &MetadataChecker::OnAllNewest);
}

void MetadataChecker::GetAllRelated(std::string id)
{
    SendPackageRequest(
        allRelatedRequests, kAllRelated, id, &Brel::IClient::GetAllRelated, &MetadataChecker::OnAllRelated);
}

void MetadataChecker::GetMetadata(std::string id)
{
    SendPackageRequest(metadataRequests, kMetadata, id, &Brel::IClient::GetMetadata, &MetadataChecker::OnMetadata);
}

void MetadataChecker::GetDownloadInfo(std::string id)
{
    SendPackageRequest(
        downloadInfoRequests, kDownloadInfo, id, &Brel::IClient::GetDownloadInfo, &MetadataChecker::OnDownloadInfo);
}

void MetadataChecker::SendPackageRequest(
    Requests& table, const char* kind, const std::string& id, ClientOperation operation, AnswerHandler onAnswer)
{
    SendRequest(
        table, kind, id, [this, id, onAnswer](BrelResult result) { (this->*onAnswer)(id, result); },
        [this, &id, operation](Request& request) { return (ServiceClient().*operation)(&request.body, id, &request); });
}

void MetadataChecker::GetLocaleData(std::string id)
{
    SendLocaleData(id, false);
}

// A renaming request comes from a language change; its failure must not cost
// the map (see RenameMap). The check's own request decides whether the map is
// offered at all, so it takes the place of a renaming request, never the
// other way round.
void MetadataChecker::SendLocaleData(const std::string& id, bool renaming)
{
    const auto pending = localeDataRequests.find(id);
    if (!renaming && pending != localeDataRequests.end() && pending->second.renaming)
        localeDataRequests.erase(pending);
    Request* sent = SendRequest(
        localeDataRequests, kLocaleData, id,
        [this, id, renaming](BrelResult result) { OnLocaleData(id, result, renaming); },
        [this, &id](Request& request) { return ServiceClient().GetLocaleData(&request.body, id, Locale(), &request); });
    if (sent)
        sent->renaming = renaming;
}

MetadataChecker::Request* MetadataChecker::SendRequest(
    Requests& table, const char* kind, const std::string& id, Request::Handler handler, const Send& send)
{
    const auto inserted = table.emplace(id, Request(std::move(handler)));
    if (!inserted.second) {
        LOG(Warning) << kind << " request is already in progress";
        return nullptr;
    }
    LOG(Debug) << "Sending " << kind << " request for map: " << id;
    Request& request = inserted.first->second;
    request.request.reset(send(request));
    request.request->SetTimeout(kRequestTimeout);
    request.request->Send();
    return &request;
}

std::stringstream MetadataChecker::TakeBody(
    Requests& table, const char* kind, const std::string& id, Brel::IResponse::Result result)
{
    LOG(Debug) << kind << " request for map: " << id << " finished with result: " << result;
    const auto found = table.find(id);
    std::stringstream body = std::move(found->second.body);
    table.erase(found);
    return body;
}

void MetadataChecker::OnAllRoots(Brel::IResponse::Result result)
{
    LOG(Debug) << "AllRoots request finished with result: " << result;
    std::stringstream body = std::move(allRootsRequest->body);
    allRootsRequest.reset();
    if (result == Brel::IResponse::Ok)
        return ReadRootList(body);
    Report(ListFailure(result, "AllRoots request failed: result is not supported"));
}

void MetadataChecker::ReadRootList(std::stringstream& body)
{
    try {
        LOG(Debug) << "Parsing response";
        const std::vector<std::string> ids = Brel::ParsePackageIds(ReadXml(body));
        if (ids.empty())
            throw std::runtime_error("No root packages found");
        LOG(Debug) << "Got: " << ids.size() << " packages";
        bool sent = false;
        for (const std::string& id : ids) {
            if (id.empty()) {
                LOG(Debug) << "Skipping empty package id";
                continue;
            }
            GetAllNewest(id);
            sent = true;
        }
        // A list of nothing but empty ids would leave the check without any
        // answer to end it.
        if (!sent)
            throw std::runtime_error("No root packages found");
    } catch (const std::runtime_error& error) {
        LOG(Error) << "Failed to parse response: " << error.what();
        Report(ServerError);
    }
}

void MetadataChecker::OnAllNewest(std::string id, Brel::IResponse::Result result)
{
    std::stringstream body = TakeBody(allNewestRequests, kAllNewest, id, result);
    if (result == Brel::IResponse::NoConnection) {
        Abort();
        return Report(NoConnection);
    }
    if (result == Brel::IResponse::Ok)
        ReadNewestList(id, body);
    CheckState();
}

void MetadataChecker::ReadNewestList(const std::string& id, std::stringstream& body)
{
    try {
        LOG(Debug) << "Parsing response of package: " << id;
        const std::vector<std::string> ids = ReadPackageIds(body);
        for (auto newest = ids.rbegin(); newest != ids.rend(); ++newest) {
            if (newest->empty()) {
                LOG(Debug) << "Skipping empty package id";
                continue;
            }
            MapStorage::Instance().UpdateMap(NewMap(*newest, true));
            GetMetadata(*newest);
            break;
        }
    } catch (const std::runtime_error& error) {
        LOG(Error) << "Failed to parse response: " << error.what();
        MapStorage::Instance().RemoveMap(id);
    }
}

void MetadataChecker::OnAllRelated(std::string id, Brel::IResponse::Result result)
{
    std::stringstream body = TakeBody(allRelatedRequests, kAllRelated, id, result);
    if (result == Brel::IResponse::Ok)
        return ReadRelatedList(id, body);
    Report(ListFailure(result, "AllRelated request failed: result is not supported"));
}

void MetadataChecker::ReadRelatedList(const std::string& id, std::stringstream& body)
{
    std::vector<std::string> ids;
    try {
        LOG(Debug) << "Parsing response";
        ids = ReadPackageIds(body);
    } catch (const std::runtime_error& error) {
        LOG(Error) << "Failed to parse response: " << error.what();
        return Report(InvalidMetadata);
    }
    auto related = std::find(ids.begin(), ids.end(), id);
    if (related == ids.end()) {
        LOG(Error) << "Current map is not known to the server";
        return Report(ServerError);
    }
    MapStorage& storage = MapStorage::Instance();
    const bool expired = storage.GetSubscription().IsExpired();
    for (; related != ids.end(); ++related) {
        if (related->empty()) {
            LOG(Debug) << "Skipping empty package id";
            continue;
        }
        if (storage.FindMap(*related).IsValid() || (expired && *related != currentMap.id))
            continue;
        storage.UpdateMap(NewMap(*related, false));
        GetMetadata(*related);
    }
    CheckState();
}

void MetadataChecker::OnMetadata(std::string id, Brel::IResponse::Result result)
{
    std::stringstream body = TakeBody(metadataRequests, kMetadata, id, result);
    HandleMapAnswer(id, result, body, [this](MapInfo& map, const Tree& tree) { ApplyMetadata(map, tree); });
}

void MetadataChecker::OnDownloadInfo(std::string id, Brel::IResponse::Result result)
{
    std::stringstream body = TakeBody(downloadInfoRequests, kDownloadInfo, id, result);
    HandleMapAnswer(id, result, body, [](MapInfo& map, const Tree& tree) {
        const boost::optional<Brel::Archive> archive = Brel::ParseDownloadInfo(tree);
        // Without a checksum a download could never be verified.
        if (!archive || archive->url.empty() || archive->checksumType != "MD5" || archive->checksum.empty())
            throw std::runtime_error("DownloadInfo request failed: missing or incorrect data");
        map.url = archive->url;
        map.checksum = archive->checksum;
        MapStorage::Instance().UpdateMap(map);
    });
}

namespace {

void ApplyName(MapInfo& map, const Tree& tree)
{
    const Brel::LocaleData data = Brel::ParseLocaleData(tree);
    if (data.name.empty())
        throw std::runtime_error("LocaleData request failed: map name is empty");
    map.name = data.name;
    MapStorage::Instance().UpdateMap(map);
}

} // namespace

void MetadataChecker::OnLocaleData(std::string id, Brel::IResponse::Result result, bool renaming)
{
    std::stringstream body = TakeBody(localeDataRequests, kLocaleData, id, result);
    if (renaming)
        return RenameMap(id, result, body);
    HandleMapAnswer(id, result, body, ApplyName);
}

void MetadataChecker::HandleMapAnswer(
    const std::string& id, Brel::IResponse::Result result, std::stringstream& body, const Apply& apply)
{
    if (result == Brel::IResponse::NoConnection) {
        Abort();
        return Report(NoConnection);
    }
    MapStorage& storage = MapStorage::Instance();
    MapInfo map = storage.FindMap(id);
    if (map.IsValid() && result != Brel::IResponse::Ok) {
        storage.RemoveMap(id);
    } else if (map.IsValid()) {
        try {
            LOG(Debug) << "Parsing response of package: " << id;
            apply(map, ReadXml(body));
        } catch (const std::runtime_error& error) {
            LOG(Error) << "Failed to parse response: " << error.what();
            storage.RemoveMap(id);
        }
    }
    CheckState();
}

// After a language change the map stays offered whatever the answer; only a
// readable name replaces the one it has.
void MetadataChecker::RenameMap(const std::string& id, Brel::IResponse::Result result, std::stringstream& body)
{
    MapInfo map = MapStorage::Instance().FindMap(id);
    if (map.IsValid() && result == Brel::IResponse::Ok) {
        try {
            LOG(Debug) << "Parsing response of package: " << id;
            ApplyName(map, ReadXml(body));
        } catch (const std::runtime_error& error) {
            LOG(Error) << "Failed to parse response: " << error.what();
        }
    } else if (map.IsValid()) {
        LOG(Warning) << "Keeping the name of map: " << id;
    }
    CheckState();
}

void MetadataChecker::ApplyMetadata(MapInfo& map, const Tree& tree)
{
    MapInfo candidate;
    const Brel::Metadata metadata = Brel::ParseMetadata(tree);
    boost::apply_visitor([&candidate](const auto& document) { candidate.SetMetadata(document); }, metadata);
    if (const char* reason = FilterReason(candidate)) {
        LOG(Debug) << reason;
        MapStorage::Instance().RemoveMap(map.id);
        return;
    }
    // The record stays under the id it was requested with: its download
    // information and name are requested under that id too.
    if (candidate.id != map.id)
        LOG(Warning) << "Metadata of map: " << map.id << " names the package: " << candidate.id;
    map.mapLineId = candidate.mapLineId;
    map.region = candidate.region;
    map.release = candidate.release;
    map.size = candidate.size;
    Classify(map);
    MapStorage::Instance().UpdateMap(map);
    GetDownloadInfo(map.id);
    GetLocaleData(map.id);
}

// Filters apply only to a related check, against the installed map.
const char* MetadataChecker::FilterReason(const MapInfo& candidate) const
{
    if (!currentMap.IsValid())
        return nullptr;
    if (candidate.region != currentMap.region)
        return "Do not show maps with differt region";
    if (IsAfter(ReleaseToDate(candidate.release), MapStorage::Instance().GetSubscription().endDate))
        return "Do not show maps beyond subscription end date";
    if (IsOlder(candidate, currentMap))
        return "Do not show older maps";
    return nullptr;
}

void MetadataChecker::Classify(MapInfo& map) const
{
    if (!currentMap.IsValid())
        map.root = true;
    else if (map.mapLineId != currentMap.mapLineId)
        map.type = MapInfo::Mandatory;
    else if (map.id == currentMap.id)
        map.type = MapInfo::Installed;
}

bool MetadataChecker::RequestsPending() const
{
    return allRootsRequest || !allRelatedRequests.empty() || !allNewestRequests.empty() || !downloadInfoRequests.empty()
        || !localeDataRequests.empty() || !metadataRequests.empty();
}

void MetadataChecker::CheckState()
{
    if (RequestsPending()) {
        LOG(Debug) << "One or more requests are still in progress";
        return;
    }
    const SubscriptionInfo subscription = MapStorage::Instance().GetSubscription();
    if (currentMap.IsValid() && subscription.IsExpired()) {
        LOG(Error) << "Current subscription: " << subscription.endDate.toString(Qt::TextDate) << " is expired";
        return Report(SubscriptionExpired);
    }
    if (MapStorage::Instance().GetMaps().empty()) {
        LOG(Error) << "No available maps found";
        return Report(InvalidMetadata);
    }
    LOG(Debug) << (currentMap.IsValid() ? "Relative updates" : "Root updates") << " check succeded";
    Report(Ok);
}
