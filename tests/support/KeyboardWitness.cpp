#include "KeyboardWitness.h"

#include <QRegularExpression>
#include <QtTest/QTest>

namespace {

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

KeyboardWitness::~KeyboardWitness()
{
    xev.kill();
    xev.waitForFinished(3000);
}

bool KeyboardWitness::Start()
{
    // Line-buffered, so each event can be read as it comes.
    xev.start("stdbuf", {"-oL", "xev", "-event", "keyboard", "-geometry", "300x200+100+100"});
    static const QRegularExpression outer("Outer window is (0x[0-9a-f]+)");
    const bool opened = QTest::qWaitFor(
        [this] {
            xev.waitForReadyRead(100);
            output += QString::fromLocal8Bit(xev.readAllStandardOutput());
            return outer.match(output).hasMatch();
        },
        10000);
    if (!opened)
        return false;
    window = outer.match(output).captured(1).toULong(nullptr, 16);
    Run("xdotool", {"windowactivate", "--sync", QString::number(window)});
    return QTest::qWaitFor([this] { return Active(); }, 5000);
}

bool KeyboardWitness::Active() const
{
    return Run("xdotool", {"getactivewindow"}).trimmed().toULong() == window;
}

QStringList KeyboardWitness::Keys()
{
    xev.waitForReadyRead(100);
    output += QString::fromLocal8Bit(xev.readAllStandardOutput());
    static const QRegularExpression press("KeyPress event[^\\n]*\\n[^\\n]*\\n[^\\n]*keysym 0x[0-9a-f]+, (\\w+)\\)");
    QStringList keys;
    for (auto it = press.globalMatch(output); it.hasNext();)
        keys << it.next().captured(1);
    return keys;
}

bool KeyboardWitness::Press(const QStringList& keys)
{
    QProcess process;
    process.start("xdotool", QStringList {"key", "--delay", "50"} + keys);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

QList<unsigned long> KeyboardWitness::Stacking()
{
    const QString text = Run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    QList<unsigned long> windows;
    for (const QString& id : text.section('#', 1).split(',', Qt::SkipEmptyParts))
        windows << id.trimmed().toULong(nullptr, 16);
    return windows;
}
