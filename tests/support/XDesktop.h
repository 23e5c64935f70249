#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

// A private X desktop for tests that need a real one: Xvfb on a free display,
// openbox as the window manager and trayer as the tray host, whose panel
// struts shrink the screen's available area as a real panel does.
class XDesktop {
public:
    enum class Edge { Bottom, Top, Left, Right };

    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // Starts the three programs and waits until the panel's strut is in force.
    // On failure returns false with the reason in Error().
    bool Start(Edge edge = Edge::Bottom);
    QString Display() const { return display; }
    QString Error() const { return error; }

    // The screen's work area as the window manager publishes it.
    QRect WorkArea() const;

    // Real pointer input through the X server (XTEST), as a user's click.
    static bool Click(const QPoint& globalPosition, int button = 1);
    static bool MovePointer(const QPoint& globalPosition);
    // Real key presses (xdotool names, e.g. "Return", "space", "Tab"), to whichever window has the keyboard.
    static bool Press(const QStringList& keys);
    // The window manager's active window, and making a window the active one.
    static unsigned long ActiveWindow();
    static bool Activate(unsigned long window);
    // The client windows from the bottom of the stack to its top.
    static QList<unsigned long> Stacking();

    // A property of a window as xprop prints it ("NAME(TYPE) = value"); empty if unreadable.
    static QString WindowProperty(unsigned long window, const QString& name);

    // The edge named by the environment variable TESSALY_DESKTOP_EDGE
    // ("top", "left", "right"); the bottom otherwise.
    static Edge EdgeFromEnvironment();

private:
    bool Fail(const QString& reason);
    QProcess* Launch(const QString& program, const QStringList& arguments);
    bool StartServer();
    QProcess* LaunchTrayer(Edge edge);
    bool WaitFor(const std::function<bool()>& ready, int milliseconds) const;

    std::vector<std::unique_ptr<QProcess>> processes;
    QString display;
    QString error;
};
