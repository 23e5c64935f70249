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

private:
    QProcess xev;
    QString output;
    unsigned long window = 0;
};
