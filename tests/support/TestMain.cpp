// Shared main of every test program: each process gets fresh HOME and XDG
// folders before Qt is set up, so no test touches the real user's files.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void PointHomeAt(const QString& root)
{
    const auto set = [&root](const char* name, const QString& sub) {
        const QString path = root + "/" + sub;
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::setenv(name, QFile::encodeName(path).constData(), 1);
    };
    set("HOME", "home");
    set("XDG_DATA_HOME", "home/.local/share");
    set("XDG_CONFIG_HOME", "home/.config");
    set("XDG_CACHE_HOME", "home/.cache");
    set("XDG_RUNTIME_DIR", "runtime");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + "/tessaly-test-XXXXXX");
    if (!root.isValid())
        return 2;
    PointHomeAt(root.path());

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
