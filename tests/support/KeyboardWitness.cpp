#include "KeyboardWitness.h"

#include "XDesktop.h"

#include <QRegularExpression>
#include <QtTest/QTest>

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
    return XDesktop::Activate(window) && QTest::qWaitFor([this] { return Active(); }, 5000);
}

bool KeyboardWitness::Active() const
{
    return XDesktop::ActiveWindow() == window;
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
