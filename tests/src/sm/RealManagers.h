#pragma once

#include "../fmu/ServiceDocuments.h"

#include "Config.h"
#include "ContentService.h"
#include "FakeStick.h"
#include "StickContent.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHome.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// The local content service with the fixture catalogue, which the program is pointed at.
inline bool StartService(ContentService& service)
{
    if (!service.Start(TestEnv::SourceDir() + "/tests/src/sm/fixtures/catalogue.json"))
        return false;
    Config::Instance().updateSource = service.BaseUrl().toStdString();
    Config::Instance().updateKey = service.Key();
    return true;
}

// A fabricated stick with the installed map EU_2023_05 and a subscription: the catalogue offers EU_2024_05 for it.
inline QString OfferedStick(const FakeSticks& sticks)
{
    const QString root = sticks.MountDir("STICK");
    TestFiles::Write(root + "/VexmarNDSUpdate/meta_data/GENERAL.JSON",
        R"({"subscription_end_date": "2099-12-31", "available_map_space": 50000000, "used_map_space": 1000})");
    TestFiles::Write(root + "/VexmarNDSUpdate/meta_data/EU_2023_05.xml",
        QByteArray::fromStdString(ServiceDocuments::Package({"EU_2023_05", "EUR", "2023.05", "LINE_EU"})));
    StickContent::WriteChecksums(root);
    return root;
}

// Whether a running copy holds the single-instance lock.
inline bool InstanceLocked()
{
    const QString lock = TestHome::OwnRuntimeFolder() + "/TESSALY_SINGLE_INSTANCE_MUTEX.lock";
    const int fd = ::open(QFile::encodeName(lock), O_RDONLY | O_CLOEXEC);
    const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    return ::close(fd), held;
}
