#pragma once

#include "ContentService.h"
#include "LogCapture.h"

#include "Collaborators.h"
#include "MainWindow.h"
#include "Popup.h"
#include "State.h"
#include "StateMachine.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class QPushButton;

// The whole program in the test process as a user meets it: the machine with
// the real user interface and the real managers on their threads, on a private
// X desktop with a panel and a tray, against the demo's content service over
// HTTPS, with the demo's stick behind the discovery roots. The test acts only
// through real clicks on what is shown and checks what the user sees.
class DesktopRoad : public ::testing::Test {
protected:
    static constexpr int WaitMs = 30000;
    // The installed map's mandatory update, of another map line.
    static constexpr const char* Mandatory = "EU2_2025_11";

    void SetUp() override;
    void TearDown() override;

    // What the machine is made of; tests may change it before Start.
    virtual Collaborators MakeCollaborators();
    void Start(Collaborators collaborators);

    // The states the user interface was given, in order, e.g. "RootUpdate".
    std::vector<std::string> Journey() const;
    std::string Shown() const { return Journey().empty() ? std::string() : Journey().back(); }
    // Fails with the journey when the state is not reached in time.
    ::testing::AssertionResult WaitShown(const std::string& state, int ms = WaitMs) const;

    Ui::MainWindow* Window() const;
    Ui::Popup* Popup() const { return Window()->findChild<Ui::Popup*>(); }
    QSystemTrayIcon* Tray() const { return ui->findChild<QSystemTrayIcon*>(); }
    // A widget of the window or the popup by its object name.
    template <class Widget = QWidget> Widget* Find(QWidget* parent, const char* name) const
    {
        return parent->findChild<Widget*>(name);
    }
    // The visible message page of the window: its title, text and buttons.
    QWidget* MessagePage() const;
    QString MessageTitle() const;
    QPushButton* MessageButton(bool primary) const;
    // The main window's visible page, by its object name.
    QString PageShown() const;

    // Real pointer clicks through the X server. A widget hidden behind
    // another window is brought to the front first.
    void Click(QWidget* widget);
    void ClickTray(int button = 1);
    void ChooseTrayMenu(const QString& text);
    // The popup's link, showing the popup first when it has faded out.
    void ClickPopupLink();
    // Real key presses into the main window, made the active window first.
    void Type(const QStringList& keys);
    // Tabs once round the main window's controls: they take the focus in
    // reading order (top down, left to right along a row), and each looks
    // different while it has it. Leaves the focus on the last one.
    void ExpectTabsInReadingOrder();

    // The demo stick, as the head unit wrote it, and its insertion.
    QString StickRoot() const { return demoRoot.filePath("stick"); }
    void InsertStick() { Demo({"insert"}); }
    void RemoveStick() { Demo({"remove"}); }

    // The program's data folder (config.json, settings.json, Logs).
    static QString DataDir() { return qEnvironmentVariable("XDG_DATA_HOME") + "/Dravo/Tessaly"; }
    // The error records of the test process that tell of faults.
    QStringList Faults() const;

    // The built program, started in the same folders and on the same desktop;
    // it is killed if a test leaves it running.
    QProcess& StartProgram();
    // The exit code once it has ended, or -1 when it did not end normally in time.
    int ProgramExit();
    // The program's log records, "severity | message" each.
    QStringList ProgramLog() const;
    ::testing::AssertionResult WaitLogged(const QString& record) const;

    // A screenshot of the whole desktop, numbered in the order taken.
    void Screenshot(const QString& name);

    // The service's requests of that path below its base, e.g. "/package/allroots":
    // their query items, in order.
    QStringList Requests(const QString& path) const;
    // Whether the unpacked map on the stick holds exactly the archive's files.
    bool StickHoldsArchive(const QString& mapId) const;

    LogCapture log;
    ContentService service;
    QTemporaryDir demoRoot;
    std::unique_ptr<StateMachine> machine;
    std::unique_ptr<QProcess> program;
    Ui::IUi* ui = nullptr;
    bool quitAsked = false;
    int shots = 0;

private:
    // Runs a command of the demo's tool on the demo's folder; returns its output.
    QString Demo(const QStringList& arguments) const;
};
