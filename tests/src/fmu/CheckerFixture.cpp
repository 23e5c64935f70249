#include "CheckerFixture.h"

#include "StickContent.h"
#include "StickPath.h"

CheckerFixture::CheckerFixture()
    : checker(std::make_unique<FakeClient>(service))
{
    MapStorage::Instance().Clear();
}

void CheckerFixture::AnswerMap(const ServiceDocuments::Map& map)
{
    service->SetAnswer("Metadata", map.id, ServiceDocuments::PackageMetadata(map));
    service->SetAnswer(
        "DownloadInfo", map.id, ServiceDocuments::DownloadInfo("https://maps/" + map.id + ".tar", "0123abcd"));
    service->SetAnswer("LocaleData", map.id, ServiceDocuments::LocaleData("Name of " + map.id));
}

UsbInfo CheckerFixture::Stick(const std::string& endDate, const ServiceDocuments::Map& installed)
{
    const QString general = QString::fromStdString(
        "{\"subscription_end_date\": \"" + endDate + "\", \"available_map_space\": 1000, \"used_map_space\": 500}");
    StickContent::WriteFile(stick.path(), "VexmarNDSUpdate/meta_data/GENERAL.JSON", general.toUtf8());
    StickContent::WriteFile(stick.path(), QString::fromStdString("VexmarNDSUpdate/meta_data/" + installed.id + ".xml"),
        QByteArray::fromStdString(ServiceDocuments::PackageMetadata(installed)));
    UsbInfo usb;
    usb.id = 7;
    usb.path = StickPath::ToWide(stick.path().toStdString());
    usb.state = UsbInfo::ValidMetadata;
    usb.selected = true;
    return usb;
}

MetadataChecker::Callback CheckerFixture::Collect()
{
    return [this](MetadataChecker::Result result) { results.push_back(result); };
}
