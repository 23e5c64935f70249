#pragma once

#include "FakeClient.h"
#include "FakeService.h"
#include "MapStorage.h"
#include "MetadataChecker.h"
#include "ServiceDocuments.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A metadata checker whose client answers from a FakeService table, the
// results it reported, and a fabricated stick for related checks.
class CheckerFixture : public ::testing::Test {
protected:
    CheckerFixture();

    // Answers Metadata, DownloadInfo and LocaleData of a complete map.
    void AnswerMap(const ServiceDocuments::Map& map);
    // A stick holding GENERAL.JSON with the end date and the installed map's metadata file.
    UsbInfo Stick(const std::string& endDate, const ServiceDocuments::Map& installed);
    MetadataChecker::Callback Collect();
    void DeliverAll() { service->DeliverAll(); }
    MapInfo Find(const std::string& id) const { return MapStorage::Instance().FindMap(id); }
    std::size_t MapCount() const { return MapStorage::Instance().GetMaps().size(); }

    std::shared_ptr<FakeService> service = std::make_shared<FakeService>();
    MetadataChecker checker;
    std::vector<MetadataChecker::Result> results;
    QTemporaryDir stick;
};
