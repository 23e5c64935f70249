#include "Config.h"
#include "Request.h"
#include "RequestTestNetwork.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sstream>

namespace {

int WindowFor(const QByteArray* configJson)
{
    const QString path = Config::Instance().ConfigFilePath();
    QFile::remove(path);
    if (configJson) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*configJson);
    }
    FakeNetwork network;
    RecordingResponse response;
    std::ostringstream out;
    Brel::Request request(&network, "https://service.invalid/a.tar", {}, {}, &response, &out);
    return request.ReadRetryDurationFromConfig();
}

QByteArray WithDuration(const QByteArray& value)
{
    return R"({"Application":{},"FullMapUpdate":{},"MapDownload":{"RetryDuration":)" + value + "}}";
}

} // namespace

TEST(RequestRetryDuration, WholeMinutesFromOneToTenRoundedHalfAway)
{
    const std::vector<std::pair<QByteArray, int>> table = {
        {"2.5", 180000},
        {"1.5", 120000},
        {"1", 60000},
        {"0", 60000},
        {"-3", 60000},
        {"10", 600000},
        {"10.4", 600000},
        {"42", 600000},
        {"\"7\"", 420000},
        {"\"abc\"", 180000},
        {"\"\"", 180000},
    };
    for (const auto& [value, window] : table) {
        const QByteArray json = WithDuration(value);
        EXPECT_EQ(WindowFor(&json), window) << value.constData();
    }
}

TEST(RequestRetryDuration, MissingOrBrokenFileGivesThreeMinutes)
{
    EXPECT_EQ(WindowFor(nullptr), 180000);
    const QByteArray noKey = R"({"MapDownload":{}})";
    EXPECT_EQ(WindowFor(&noKey), 180000);
    const QByteArray broken = R"({"MapDownload":{"RetryDuration":)";
    EXPECT_EQ(WindowFor(&broken), 180000);
}
