#include "Application.h"
#include "Config.h"
#include "Log.h"
#include "MemoryArenas.h"
#include "ProductionCollaborators.h"
#include "Resources.h"
#include "Settings.h"
#include "SignalExit.h"
#include "StateMachine.h"
#include "Ui.h"

#include <QFile>
#include <QGuiApplication>
#include <QOpenGLContext>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sstream>
#include <string>

namespace {

std::string LevelName(const boost::optional<Log::Severity>& level)
{
    std::ostringstream name;
    if (level)
        name << *level;
    return name.str();
}

// Without a log level in config.json there is no log at all. A logs folder
// that cannot be made (a read-only data folder) costs the log, not the run.
std::unique_ptr<Log::ILogger> CreateLogger(const Config& config)
{
    if (!config.logLevel)
        return nullptr;
    try {
        auto logger = Log::CreateFileLogger(QFile::encodeName(config.logsDir).toStdString());
        logger->SetLevel(*config.logLevel);
        return logger;
    } catch (const std::exception& error) {
        qWarning("Running without a log: %s", error.what());
        return nullptr;
    }
}

// The machine's guard reports through a queued connection, so its first
// report is handled only once the event loop runs; the machine is terminated
// and destroyed when the loop has ended.
int RunEventLoop(bool& threadLeft)
{
    Settings::Instance();
    Collaborators collaborators = ProductionCollaborators([] { return std::make_unique<Ui::Ui>(); });
    collaborators.threadLeft = [&threadLeft] { threadLeft = true; };
    StateMachine machine(std::move(collaborators));
    machine.initiate();
    return QApplication::exec();
}

// A thread left running may still use the process-wide objects that an
// orderly exit destroys, and it holds the process until its call returns: the
// log is flushed, the windows' removal reaches the display, and the process
// ends without the rest of the teardown.
[[noreturn]] void EndWithoutWaiting(int code, std::unique_ptr<Log::ILogger> logger)
{
    QGuiApplication::sync();
    logger.reset();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

int main(int argc, char** argv)
{
    // Qt's own event dispatcher merges cross-thread wake-ups that the GLib one
    // turns into one eventfd write each: a download of many small files posts
    // a hundred thousand of them. Programs we start (the browser) keep theirs.
    qputenv("QT_NO_GLIB", "1");
    // The program draws with the raster engine alone, yet on X11 Qt loads its
    // GL integration with the first window, which maps Mesa and LLVM (about
    // half the program's memory). Qt chooses the integration once, on its
    // first query, which is made here. A choice of the user's stands.
    const bool glChosen = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
    if (!glChosen)
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    LimitMemoryArenas();
    Application app(argc, argv);
    QOpenGLContext::supportsThreadedOpenGL();
    qunsetenv("QT_NO_GLIB");
    if (!glChosen)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    QCoreApplication::setOrganizationName("Dravo");
    QCoreApplication::setApplicationName("Tessaly");
    QApplication::setQuitOnLastWindowClosed(false);

    const Config& config = Config::Instance();
    QCoreApplication::setApplicationVersion(config.version);
    std::unique_ptr<Log::ILogger> logger = CreateLogger(config);

    const QString configuration = "Production Release";
    LOG(Info) << "Starting " << config.appName;
    LOG(Info) << "Configuration : " << configuration;
    LOG(Info) << "Version : " << config.version;
    LOG(Info) << "config.json-file contents: Application LogLevel = " << LevelName(config.logLevel)
              << ", FullMapUpdate UpdateType = " << config.updateType.value_or(std::string())
              << ", MapDownload RetryDuration = " << config.retryDuration;
    for (const QString& error : config.unloggedErrors)
        LOG(Error) << error;

    Fonts::Load();
    const SignalExit signalExit;
    bool threadLeft = false;
    const int code = app.Run([&threadLeft] { return RunEventLoop(threadLeft); });
    if (threadLeft)
        EndWithoutWaiting(code, std::move(logger));
    return code;
}
