#pragma once

#include "TiedProcess.h"

#include <QtTest>

#include <optional>

// A private X desktop: Xvfb on a free display, openbox, and trayer as the tray host whose panel reserves its strip.
// Its programs end with the test process, however that ends, when it is started on the main thread.
class XDesktop {
public:
    enum class Edge { Bottom, Top, Left, Right };

    ~XDesktop()
    {
        for (auto it = processes.rbegin(); it != processes.rend(); ++it) { // the server last: nobody misses it
            (*it)->terminate();
            (*it)->waitForFinished(3000); // else QProcess kills it
        }
    }

    bool Start(Edge edge = Edge::Bottom)
    {
        const auto fail = [this](const QString& reason) { return error = reason, false; };
        for (const char* program : {"Xvfb", "openbox", "trayer", "xdotool", "xprop"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                return fail(QString("%1 is not installed (scripts/install-deps.sh installs it)").arg(program));
        QProcess* server = Launch("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        while (server && !server->canReadLine() && server->waitForReadyRead(30000)) { }
        display = ":" + QString::fromLatin1(server ? server->readLine().trimmed() : QByteArray());
        if (display == ":")
            return fail("Xvfb did not start");
        Launch("openbox", {"--sm-disable"});
        if (!QTest::qWaitFor([this] { return RootProperty("_NET_SUPPORTING_WM_CHECK").contains("window id"); }, 10000))
            return fail("openbox did not take the screen");
        // Now and then trayer starts without ever mapping its panel; another one then does.
        const QString size = edge == Edge::Left || edge == Edge::Right ? "--width" : "--height";
        for (int attempt = 0; attempt < 3; ++attempt) {
            QProcess* trayer = Launch("trayer",
                {"--edge", EdgeNames()[int(edge)], "--align", "right", "--widthtype", "request", "--heighttype",
                    "pixel", size, "28", "--SetDockType", "true", "--SetPartialStrut", "true", "--transparent", "false",
                    "--tint", "0x30343a", "--expand", "true"});
            if (!trayer)
                return fail("trayer did not start");
            static const QRegularExpression reserved("= (?!0, 0, 1280, 800)"); // the work area lost the strip
            if (QTest::qWaitFor([this] { return RootProperty("_NET_WORKAREA").contains(reserved); }, 4000))
                return true;
            trayer->kill();
            trayer->waitForFinished(3000);
        }
        return fail("the tray host's panel did not reserve its strip");
    }
    QString Display() const { return display; }
    QString Error() const { return error; }

    // No "--sync" on moves: it hangs when the pointer is there already; the server handles the events in order anyway.
    static bool Click(const QPoint& at, int button = 1) { return MovePointer(at, {"click", QString::number(button)}); }
    static bool MovePointer(const QPoint& at, const QStringList& then = {})
    {
        return Xdotool(QStringList {"mousemove", QString::number(at.x()), QString::number(at.y())} + then);
    }
    static bool Press(const QStringList& keys) { return Xdotool(QStringList {"key", "--delay", "50"} + keys); }
    static unsigned long ActiveWindow() { return Run("xdotool", {"getactivewindow"}).value_or("").toULong(); }
    static bool Activate(unsigned long id) { return Xdotool({"windowactivate", "--sync", QString::number(id)}); }
    static QList<unsigned long> Stacking()
    {
        QList<unsigned long> windows;
        for (const QString& id :
            Output({"-root", "_NET_CLIENT_LIST_STACKING"}).section('#', 1).split(',', Qt::SkipEmptyParts))
            windows << id.trimmed().toULong(nullptr, 16);
        return windows;
    }
    static QString WindowProperty(unsigned long id, const QString& name)
    {
        return Output({"-id", QString::number(id), name});
    }
    static Edge EdgeFromEnvironment() { return Edge(qMax(0, EdgeNames().indexOf(qgetenv("TESSALY_DESKTOP_EDGE")))); }

private:
    static QStringList EdgeNames() { return {"bottom", "top", "left", "right"}; }

    static std::optional<QString> Run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(10000) || process.exitCode() != 0)
            return std::nullopt;
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
    static bool Xdotool(const QStringList& arguments) { return Run("xdotool", arguments).has_value(); }
    static QString Output(const QStringList& xpropArguments) { return Run("xprop", xpropArguments).value_or(""); }

    QString RootProperty(const char* name) const { return Output({"-display", display, "-root", name}); }

    QProcess* Launch(const QString& program, const QStringList& arguments)
    {
        QProcess* process = processes.emplace_back(std::make_unique<TiedProcess>()).get();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.remove("DBUS_SESSION_BUS_ADDRESS");
        process->setProcessEnvironment(environment);
        if (!display.isEmpty()) // Xvfb tells its display on its output
            process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(program, arguments);
        return process->waitForStarted(5000) ? process : nullptr;
    }

    std::vector<std::unique_ptr<TiedProcess>> processes;
    QString display;
    QString error;
};
