#include "XDesktop.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

namespace {

const char* EdgeName(XDesktop::Edge edge)
{
    switch (edge) {
    case XDesktop::Edge::Top:
        return "top";
    case XDesktop::Edge::Left:
        return "left";
    case XDesktop::Edge::Right:
        return "right";
    default:
        return "bottom";
    }
}

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Hands one descriptor to the child as its descriptor 3.
class ProcessWithDescriptor : public QProcess {
public:
    explicit ProcessWithDescriptor(int fd)
        : fd(fd)
    {
    }

protected:
    void setupChildProcess() override
    {
        if (fd == 3)
            ::fcntl(fd, F_SETFD, 0);
        else
            ::dup2(fd, 3);
    }

private:
    int fd;
};

} // namespace

XDesktop::~XDesktop()
{
    // Tray host and window manager first, so that they do not complain about a vanished server.
    for (auto it = processes.rbegin(); it != processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000))
            (*it)->kill();
        (*it)->waitForFinished(3000);
    }
}

bool XDesktop::Fail(const QString& reason)
{
    error = reason;
    return false;
}

QProcess* XDesktop::Launch(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    process->setProcessEnvironment(environment);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, arguments);
    if (!process->waitForStarted(5000))
        return nullptr;
    processes.push_back(std::move(process));
    return processes.back().get();
}

// Xvfb picks a free display itself and writes its number to the descriptor it is given.
bool XDesktop::StartServer()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return Fail("cannot make a pipe for Xvfb");
    const int writeEnd = fds[1];
    auto server = std::make_unique<ProcessWithDescriptor>(writeEnd);
    server->setStandardOutputFile(QProcess::nullDevice());
    server->setStandardErrorFile(QProcess::nullDevice());
    server->start("Xvfb", {"-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    ::close(writeEnd);
    const bool started = server->waitForStarted(5000);
    processes.push_back(std::move(server));
    QByteArray number;
    char c = 0;
    while (started && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.isEmpty())
        return Fail("Xvfb did not start");
    display = ":" + QString::fromLatin1(number);
    return true;
}

bool XDesktop::WaitFor(const std::function<bool()>& ready, int milliseconds) const
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool XDesktop::Start(Edge edge)
{
    for (const char* program : {"Xvfb", "openbox", "trayer", "xdotool", "xprop"}) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return Fail(QString("%1 is not installed (scripts/install-deps.sh installs it)").arg(program));
    }
    if (!StartServer())
        return false;
    if (!Launch("openbox", {"--sm-disable"}))
        return Fail("openbox did not start");
    if (!WaitFor(
            [this] {
                return Run("xprop", {"-display", display, "-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
            },
            10000))
        return Fail("openbox did not take the screen");
    // Now and then trayer starts without ever mapping its panel; another one then does.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QProcess* trayer = LaunchTrayer(edge);
        if (!trayer)
            return Fail("trayer did not start");
        if (WaitFor([this] { return WorkArea().isValid() && WorkArea() != QRect(0, 0, 1280, 800); }, 4000))
            return true;
        trayer->kill();
        trayer->waitForFinished(3000);
    }
    return Fail("the tray host's panel did not reserve its strip");
}

QProcess* XDesktop::LaunchTrayer(Edge edge)
{
    const QString size = edge == Edge::Left || edge == Edge::Right ? "width" : "height";
    return Launch("trayer",
        {"--edge", EdgeName(edge), "--align", "right", "--widthtype", "request", "--heighttype", "pixel", "--" + size,
            "28", "--SetDockType", "true", "--SetPartialStrut", "true", "--transparent", "false", "--tint", "0x30343a",
            "--expand", "true"});
}

QRect XDesktop::WorkArea() const
{
    const QString text = Run("xprop", {"-display", display, "-root", "_NET_WORKAREA"});
    const QStringList values = text.section('=', 1).split(',', Qt::SkipEmptyParts);
    if (values.size() < 4)
        return {};
    return QRect(values[0].trimmed().toInt(), values[1].trimmed().toInt(), values[2].trimmed().toInt(),
        values[3].trimmed().toInt());
}

namespace {

bool Xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start("xdotool", arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// No "--sync": it waits for the pointer to move and so hangs when it is already there.
// The server handles the faked motion and buttons in order anyway.
bool Pointer(const QPoint& globalPosition, const QStringList& then)
{
    return Xdotool(
        QStringList {"mousemove", QString::number(globalPosition.x()), QString::number(globalPosition.y())} + then);
}

} // namespace

bool XDesktop::Click(const QPoint& globalPosition, int button)
{
    return Pointer(globalPosition, {"click", QString::number(button)});
}

bool XDesktop::MovePointer(const QPoint& globalPosition)
{
    return Pointer(globalPosition, {});
}

QString XDesktop::WindowProperty(unsigned long window, const QString& name)
{
    return Run("xprop", {"-id", QString::number(window), name}).trimmed();
}

bool XDesktop::Press(const QStringList& keys)
{
    return Xdotool(QStringList {"key", "--delay", "50"} + keys);
}

unsigned long XDesktop::ActiveWindow()
{
    return Run("xdotool", {"getactivewindow"}).trimmed().toULong();
}

bool XDesktop::Activate(unsigned long window)
{
    return Xdotool({"windowactivate", "--sync", QString::number(window)});
}

QList<unsigned long> XDesktop::Stacking()
{
    const QString text = Run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    QList<unsigned long> windows;
    for (const QString& id : text.section('#', 1).split(',', Qt::SkipEmptyParts))
        windows << id.trimmed().toULong(nullptr, 16);
    return windows;
}

XDesktop::Edge XDesktop::EdgeFromEnvironment()
{
    const QString name = qEnvironmentVariable("TESSALY_DESKTOP_EDGE");
    for (Edge edge : {Edge::Top, Edge::Left, Edge::Right}) {
        if (name == EdgeName(edge))
            return edge;
    }
    return Edge::Bottom;
}
