#pragma once

#include <QProcess>
#include <QStringList>

// Another X client's window that holds the keyboard, as the program a user is
// typing in while the popup comes up: it records the keys it receives.
class KeyboardWitness {
public:
    KeyboardWitness() = default;
    ~KeyboardWitness();
    KeyboardWitness(const KeyboardWitness&) = delete;
    KeyboardWitness& operator=(const KeyboardWitness&) = delete;

    // Opens the window and makes it the active one.
    bool Start();
    unsigned long Window() const { return window; }
    // Whether the window manager has it as the active window.
    bool Active() const;
    // The keys pressed in the window so far, by their key symbol names ("Return", "space", "a").
    QStringList Keys();

    // Real key presses through the X server (XTEST), to whichever window has the keyboard.
    static bool Press(const QStringList& keys);
    // The client windows from the bottom of the stack to its top.
    static QList<unsigned long> Stacking();

private:
    QProcess xev;
    QString output;
    unsigned long window = 0;
};
