#pragma once

#include "IClient.h"
#include "IRequest.h"
#include "IResponse.h"
#include "MapInfo.h"
#include "UsbInfo.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

// Finds out which map packages the vehicle may have and fills MapStorage:
// the root check (no stick metadata) and the related check (a stick with
// metadata). Each check ends with one Result through its callback. Runs on
// the map update thread together with its client.
class MetadataChecker {
public:
    enum Result {
        Ok = 0,
        InvalidMetadata = 1,
        NoConnection = 2,
        NoSubscription = 3,
        ServerError = 4,
        SubscriptionExpired = 5,
        UsbRemoved = 6,
        NoMetadata = 7,
    };
    using Callback = std::function<void(Result)>;

    // Uses the configured content-update service, through a client made on
    // first use: on the thread the checker works on.
    MetadataChecker();
    // Uses the given client (tests answer from a table).
    explicit MetadataChecker(std::unique_ptr<Brel::IClient> client);
    ~MetadataChecker();

    void CheckRootUpdates(Callback callback);
    void CheckRelatedUpdates(const UsbInfo& usb, Callback callback);
    // Requests the display name of every catalogued map again; the check in
    // force then reports once more after the last answer.
    void UpdateLocale();
    // Drops every pending per-package request.
    void Abort();
    // Drops every request and the client, on the thread they belong to; the
    // checker reports nothing more.
    void Shutdown();

private:
    // One pending service request: its exchange, the body it writes into and
    // the handler of its result.
    class Request : public Brel::IResponse {
    public:
        using Handler = std::function<void(Brel::IResponse::Result)>;

        explicit Request(Handler handler);
        Request(Request&&) = default;
        Request& operator=(Request&&) = default;

        void OnResult(Brel::IResponse::Result result) override;

        std::unique_ptr<Brel::IRequest> request;
        std::stringstream body;
        Handler handler;
        // Sent for a language change, not by the check itself.
        bool renaming = false;
    };
    using Requests = std::map<MapInfo::Id, Request>;
    using Send = std::function<Brel::IRequest*(Request&)>;
    using Apply = std::function<void(MapInfo&, const boost::property_tree::ptree&)>;
    using ClientOperation = Brel::IRequest* (Brel::IClient::*)(std::ostream*, const std::string&, Brel::IResponse*);
    using AnswerHandler = void (MetadataChecker::*)(std::string, Brel::IResponse::Result);

    Brel::IClient& ServiceClient();
    void DropAllRequests();
    void Report(Result result);

    void GetAllRoots();
    void GetAllNewest(std::string id);
    void GetAllRelated(std::string id);
    void GetMetadata(std::string id);
    void GetDownloadInfo(std::string id);
    void GetLocaleData(std::string id);
    void SendLocaleData(const std::string& id, bool renaming);
    void SendPackageRequest(
        Requests& table, const char* kind, const std::string& id, ClientOperation operation, AnswerHandler onAnswer);
    Request* SendRequest(
        Requests& table, const char* kind, const std::string& id, Request::Handler handler, const Send& send);
    std::stringstream TakeBody(
        Requests& table, const char* kind, const std::string& id, Brel::IResponse::Result result);

    void OnAllRoots(Brel::IResponse::Result result);
    void OnAllNewest(std::string id, Brel::IResponse::Result result);
    void OnAllRelated(std::string id, Brel::IResponse::Result result);
    void OnMetadata(std::string id, Brel::IResponse::Result result);
    void OnDownloadInfo(std::string id, Brel::IResponse::Result result);
    void OnLocaleData(std::string id, Brel::IResponse::Result result, bool renaming);

    void ReadRootList(std::stringstream& body);
    void ReadNewestList(const std::string& id, std::stringstream& body);
    void ReadRelatedList(const std::string& id, std::stringstream& body);
    void HandleMapAnswer(
        const std::string& id, Brel::IResponse::Result result, std::stringstream& body, const Apply& apply);
    void RenameMap(const std::string& id, Brel::IResponse::Result result, std::stringstream& body);
    void ApplyMetadata(MapInfo& map, const boost::property_tree::ptree& tree);
    const char* FilterReason(const MapInfo& candidate) const;
    void Classify(MapInfo& map) const;
    void CheckState();
    bool RequestsPending() const;

    std::unique_ptr<Brel::IClient> client;
    MapInfo currentMap;
    Callback callback;
    std::unique_ptr<Request> allRootsRequest;
    Requests allRelatedRequests;
    Requests allNewestRequests;
    Requests metadataRequests;
    Requests downloadInfoRequests;
    Requests localeDataRequests;
};
