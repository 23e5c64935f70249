#pragma once

#include "XDesktop.h"

// The window of the program a user is typing in while the popup comes up: it holds the keyboard, records the keys.
class KeyboardWitness {
public:
    ~KeyboardWitness()
    {
        xev.kill();
        xev.waitForFinished(3000);
    }

    bool Start()
    {
        xev.start("stdbuf", {"-oL", "xev", "-event", "keyboard", "-geometry", "300x200+100+100"}); // line-buffered
        static const QRegularExpression outer("Outer window is (0x[0-9a-f]+)");
        if (!QTest::qWaitFor([this] { return outer.match(Read()).hasMatch(); }, 10000))
            return false;
        window = outer.match(output).captured(1).toULong(nullptr, 16);
        return XDesktop::Activate(window) && QTest::qWaitFor([this] { return Active(); }, 5000);
    }
    unsigned long Window() const { return window; }
    bool Active() const { return XDesktop::ActiveWindow() == window; }

    QStringList Keys()
    {
        static const QRegularExpression press("KeyPress event[^\\n]*\\n[^\\n]*\\n[^\\n]*keysym 0x[0-9a-f]+, (\\w+)\\)");
        QStringList keys;
        for (auto it = press.globalMatch(Read()); it.hasNext();)
            keys << it.next().captured(1);
        return keys;
    }

private:
    const QString& Read()
    {
        xev.waitForReadyRead(100);
        return output += QString::fromLocal8Bit(xev.readAllStandardOutput());
    }

    QProcess xev;
    QString output;
    unsigned long window = 0;
};
