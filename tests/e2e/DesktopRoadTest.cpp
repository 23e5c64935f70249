#include "ContentService.h"
#include "DesktopTest.h"
#include "LogCapture.h"
#include "QtPrinters.h"
#include "TarTestArchive.h"
#include "UrlCatcher.h"
#include "XDesktop.h"

#include "MainWindow.h"
#include "Popup.h"
#include "ProductionCollaborators.h"
#include "Resources.h"
#include "StateMachine.h"
#include "Ui.h"

#include "Settings.h"

#include <QtWidgets>

namespace {

const QString Mandatory = "EU2_2025_11", Archive = "/files/" + Mandatory; // the installed map's mandatory update

template <class Widget = QWidget> Widget* Shown(const char* name, const QString& text = {})
{
    for (QWidget* window : QApplication::topLevelWidgets())
        for (Widget* widget : window->findChildren<Widget*>(name))
            if (widget->isVisible() && (text.isNull() || widget->property("text") == text))
                return widget;
    return nullptr;
}

} // namespace

// The program as a user meets it, on a private X desktop with a panel and a tray, against the demo's service over
// HTTPS and the demo's stick: the machine with the real interface and managers, and the built program; real input only.
class DesktopRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DESKTOP();
        ASSERT_TRUE(demoRoot.isValid());
        ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tools/demo/catalogue.json"));
        // The demo fabricates its stick from the service's own metadata.
        ASSERT_TRUE(QDir().mkpath(demoRoot.filePath("service")));
        ASSERT_TRUE(QFile::copy(service.CertificatePath(), demoRoot.filePath("service/cert.pem")));
        Demo({"prepare", "--port", QString::number(service.Port())});
        // The test process runs in the demo's own folders, as ./run.sh runs the program.
        for (const QString& line : Demo({"env"}).split('\n', Qt::SkipEmptyParts)) {
            const QString assignment = line.section(' ', 1);
            qputenv(assignment.section('=', 0, 0).toLocal8Bit(), assignment.section('=', 1).remove('\'').toLocal8Bit());
        }
        Fonts::Load(); // as the program does before it builds any window
    }

    QStringList Journey(int last = 0) const
    {
        QStringList journey;
        for (const LogCapture::Record& record : log.Records())
            if (record.severity == Log::Info && record.message.rfind("Changing state from: ", 0) == 0)
                journey << QString::fromStdString(record.message).section(' ', -1);
        return last ? journey.mid(journey.size() - last) : journey;
    }
    bool WaitShown(const QString& state) const
    {
        return QTest::qWaitFor([&] { return Journey(1) == QStringList {state}; }, 30000);
    }
    Ui::MainWindow* Window() const
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<Ui::MainWindow*>(widget))
                return window;
        return nullptr;
    }
    Ui::Popup* Popup() const { return Window()->findChild<Ui::Popup*>(); }
    QPushButton* PopupLink() const { return Popup()->findChild<QPushButton*>("pushButtonContentLink"); }
    static bool Titled(const QString& title)
    {
        return QTest::qWaitFor([&] { return Shown<QLabel>("labelMessageTitle", title); }, 30000);
    }
    void Click(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->isVisible() && widget->isEnabled(); }, 5000))
            << widget->objectName().toStdString() << " is not offered";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); // where it will be drawn
        const QPoint centre = widget->mapToGlobal(widget->rect().center());
        const auto onTop = [&] {
            return widget->isAncestorOf(QApplication::widgetAt(centre)) || QApplication::widgetAt(centre) == widget;
        };
        if (!onTop())
            widget->window()->raise(), widget->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor(onTop, 5000)) << widget->objectName().toStdString() << " is covered";
        ASSERT_TRUE(XDesktop::Click(centre));
        QTest::qWait(200);
    }
    void ClickTray(int button = 1)
    {
        QSystemTrayIcon* tray = ui->findChild<QSystemTrayIcon*>();
        ASSERT_TRUE(QTest::qWaitFor([tray] { return tray->isVisible() && !tray->geometry().isEmpty(); }, 5000));
        ASSERT_TRUE(XDesktop::Click(tray->geometry().center(), button));
        QTest::qWait(200);
    }
    void ChooseTrayMenu(const QString& text)
    {
        ClickTray(3);
        QMenu* menu = ui->findChild<QSystemTrayIcon*>()->contextMenu();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
        const QList<QAction*> actions = menu->actions();
        const auto action = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == text; });
        ASSERT_NE(action, actions.end()) << "no menu entry " << text.toStdString();
        ASSERT_TRUE(XDesktop::Click(menu->mapToGlobal(menu->actionGeometry(*action).center())));
        QTest::qWait(200);
    }
    void ClickPopupLink()
    {
        if (!Popup()->isVisible())
            ClickTray();
        Click(PopupLink());
    }
    void Type(const QStringList& keys)
    {
        Window()->raise(), Window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return Window()->isActiveWindow(); }, 5000));
        ASSERT_TRUE(XDesktop::Press(keys));
        QTest::qWait(200);
    }
    // Tabs on until the shown push button of that text has the focus.
    void TabTo(const QString& text)
    {
        const auto reached = [&] { return QApplication::focusWidget() == Shown<QPushButton>(nullptr, text); };
        for (int tab = 0; tab < 12 && !reached(); ++tab)
            Type({"Tab"});
        ASSERT_TRUE(reached()) << "Tab does not reach " << text.toStdString();
    }
    // The window shown on a page that names no default: once active, no push button has the focus, so none shows
    // the ring where Return would do nothing.
    void ExpectFocusOnNoButton()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Window()->isActiveWindow(); }, 5000));
        const auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        EXPECT_EQ(button, nullptr) << button->objectName().toStdString() << " has the focus";
    }
    // Tabs once round the main window's controls: they take the focus in reading order (top down, left to right
    // along a row), and each looks different while it has it. Leaves the focus on the last one.
    void ExpectTabsInReadingOrder()
    {
        QList<QWidget*> controls;
        for (QWidget* widget : Window()->findChildren<QWidget*>())
            if (widget->window() == Window() && widget->isVisible() && widget->isEnabled()
                && (widget->focusPolicy() & Qt::TabFocus))
                controls << widget;
        const auto centre = [](const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); };
        std::stable_sort(controls.begin(), controls.end(), [&](const QWidget* a, const QWidget* b) {
            const QPoint p = centre(a), q = centre(b);
            return std::abs(p.y() - q.y()) > 8 ? p.y() < q.y() : p.x() < q.x();
        });
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        std::map<QWidget*, QImage> unfocused;
        for (QWidget* control : controls)
            unfocused[control] = control->grab().toImage();
        QStringList expected, reached;
        for (QWidget* control : controls) {
            QWidget* before = QApplication::focusWidget();
            Type({"Tab"});
            EXPECT_TRUE(QTest::qWaitFor([before] { return QApplication::focusWidget() != before; }, 5000));
            QWidget* focused = QApplication::focusWidget();
            ASSERT_TRUE(unfocused.count(focused)) << "Tab left the visible controls";
            // Pixels that a user tells apart: one channel differs by more than a quarter of its range.
            const QImage a = focused->grab().toImage(), &b = unfocused[focused];
            int distinct = a.size() == b.size() ? 0 : a.width() * a.height();
            for (int i = 0; a.size() == b.size() && i < a.width() * a.height(); ++i) {
                const QColor p = a.pixelColor(i % a.width(), i / a.width()),
                             q = b.pixelColor(i % a.width(), i / a.width());
                distinct += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                                std::abs(p.blue() - q.blue())})
                    > 64;
            }
            EXPECT_GT(distinct * 50, focused->width() * focused->height())
                << focused->objectName().toStdString() << " looks unfocused";
            reached << focused->objectName();
            expected << control->objectName();
        }
        EXPECT_EQ(expected, reached);
    }

    QString StickRoot() const { return demoRoot.filePath("stick"); }
    QString Demo(const QStringList& arguments) const
    {
        QProcess demo;
        demo.start("python3",
            QStringList {TestEnv::SourceDir() + "/tools/demo/demo.py", "--root", demoRoot.path()} + arguments);
        EXPECT_TRUE(demo.waitForFinished(30000));
        EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
        return QString::fromUtf8(demo.readAllStandardOutput());
    }
    QProcess& StartProgram()
    {
        QProcess& program = programs.emplace_back();
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(TestEnv::BinaryDir() + "/bin/tessaly", QStringList());
        EXPECT_TRUE(program.waitForStarted());
        return program;
    }
    // The program's log, "time | severity | channel | file: line | function | message" a line.
    static QStringList ProgramLog()
    {
        QString text;
        const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/Dravo/Tessaly/Logs/";
        for (const QString& file : QDir(folder).entryList({"*.log"}, QDir::Files, QDir::Name))
            text += QString::fromUtf8(TestFiles::Read(folder + file));
        return text.split('\n');
    }
    static bool WaitLogged(const QString& record)
    {
        return QTest::qWaitFor([&] { return !ProgramLog().filter(record).isEmpty(); }, 30000);
    }
    void Screenshot(const QString& name)
    {
        QTest::qWait(300); // let the last repaint reach the server
        const QString file = TestEnv::BinaryDir() + "/e2e-screens/TheRoad-" + name + ".png";
        EXPECT_TRUE(QDir().mkpath(QFileInfo(file).path()) && QGuiApplication::primaryScreen()->grabWindow(0).save(file))
            << file.toStdString();
    }

    LogCapture log;
    ContentService service;
    QTemporaryDir demoRoot;
    std::unique_ptr<StateMachine> machine;
    std::list<QProcess> programs;
    Ui::IUi* ui = nullptr;
    bool quitAsked = false;
};

TEST_F(DesktopRoad, TheRoad)
{
    // The first check finds the root maps; the program runs in the tray, the popup's link opens its window.
    Collaborators collaborators = ProductionCollaborators([this] { return std::unique_ptr<Ui::IUi>(ui = new Ui::Ui); });
    collaborators.quit = [this] { quitAsked = true; };
    machine = std::make_unique<StateMachine>(std::move(collaborators));
    machine->initiate();
    ASSERT_TRUE(WaitShown("RootUpdate"));
    EXPECT_FALSE(Window()->isVisible());
    if (!Popup()->isVisible())
        ClickTray();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Popup()->isVisible(); }, 5000));
    Screenshot("root-popup");
    ClickPopupLink();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageManageMaps"); }, 5000));
    ExpectFocusOnNoButton();
    Screenshot("root-maps");
    ExpectTabsInReadingOrder();

    // The stick is verified, its installed map checked; the popup's link leads to the mandatory update.
    Demo({"insert"});
    ASSERT_TRUE(WaitShown("MandatoryUpdate"));
    Screenshot("mandatory-popup");
    ClickPopupLink();
    ASSERT_TRUE(Titled("Confirm mandatory map update"));
    ExpectFocusOnNoButton();
    Screenshot("mandatory-page");
    // Tab goes to the first control; Return on "SETTINGS", tabbed to next, presses it as Space would.
    Type({"Tab"});
    EXPECT_EQ(QApplication::focusWidget(), Shown("pushButtonMapUpdates"));
    Type({"Tab", "Return"});
    EXPECT_TRUE(QTest::qWaitFor([] { return Shown("pageSettings"); }, 5000)) << "Return did not press SETTINGS";
    Click(Shown<QPushButton>("pushButtonMapUpdates"));
    ASSERT_TRUE(Titled("Confirm mandatory map update"));

    // Refused at first: "Retry" on the connection-lost page downloads it, resumed after each of three drops.
    service.SetFault({{"path", Archive}, {"kind", "status"}, {"code", 429}});
    service.SetFault({{"path", Archive}, {"kind", "drop_after"}, {"bytes", 6000000}, {"times", 3}});
    service.SetFault({{"path", Archive}, {"kind", "stall"}, {"bytes", 2000000}, {"seconds", 3}});
    Click(Shown<QPushButton>("pushButtonPrimary"));
    ASSERT_TRUE(WaitShown("NoConnection"));
    Screenshot("no-connection");
    Click(Shown<QPushButton>("pushButtonPrimary"));
    ASSERT_TRUE(WaitShown("MapDownload"));
    // The progress refreshes twice a second; the service holds the last part back.
    const QRegularExpression percent(" [1-9][0-9]* %");
    const auto progress = [] { return Shown<QLabel>("labelMessageDescription"); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress() && progress()->text().contains(percent); }, 30000));
    Screenshot("download-progress");
    ASSERT_TRUE(WaitShown("PendingUpdate"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageManageMaps") && !Shown("labelMessageTitle"); }, 5000));
    QTemporaryDir unpacked;
    EXPECT_EQ(0, QProcess::execute("tar", {"-xf", service.ArchivePath(Mandatory + ".tar"), "-C", unpacked.path()}));
    EXPECT_EQ(TarTestArchive::Tree(unpacked.path()), TarTestArchive::Tree(StickRoot() + "/VexmarNDSFull/" + Mandatory));
    EXPECT_TRUE(QFile::exists(StickRoot() + "/VexmarNDSFull/" + Mandatory + ".meta.xml"));
    EXPECT_EQ((QStringList {"", "", "bytes=6000000-", "bytes=12000000-", "bytes=18000000-", "bytes=20000000-"}),
        service.ArchiveRanges());
    EXPECT_EQ(0, log.Count(Log::Error, "")) << "a dropped connection is resumed, not a fault";
    Screenshot("pending");

    // Cancelling the pending map asks first (Return answers "No"); "Yes" deletes it and offers it again.
    Click(Shown<QPushButton>("pushButtonDiscard"));
    ASSERT_TRUE(QTest::qWaitFor([] { return Shown("labelMessageTitle"); }, 5000));
    Type({"Return"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageManageMaps") && !Shown("labelMessageTitle"); }, 5000));
    Click(Shown<QPushButton>("pushButtonDiscard"));
    Click(Shown<QPushButton>("pushButtonPrimary"));
    ASSERT_TRUE(WaitShown("MandatoryUpdate"));
    EXPECT_FALSE(QDir(StickRoot() + "/VexmarNDSFull").exists());

    service.SetFault({{"path", Archive}, {"kind", "stall"}, {"bytes", 4000000}, {"seconds", 30}});
    ASSERT_TRUE(Titled("Confirm mandatory map update"));
    Click(Shown<QPushButton>("pushButtonPrimary"));
    ASSERT_TRUE(WaitShown("MapDownload"));
    ASSERT_TRUE(QTest::qWaitFor([] { return MapStorage::Instance().GetDownloadingMap().downloaded > 0; }, 30000));
    ASSERT_TRUE(Titled("Map update"));

    // Cancelling asks first, with the focus on "No": Return goes on downloading. Tab to "Yes" and Return cancels.
    const auto focusOn = [](const QString& text) {
        return QTest::qWaitFor([&] { return QApplication::focusWidget() == Shown<QPushButton>(nullptr, text); }, 5000);
    };
    Click(Shown<QPushButton>("pushButtonPrimary", "Cancel"));
    ASSERT_TRUE(Titled("Cancel map update download?"));
    EXPECT_TRUE(focusOn("No"));
    Screenshot("stop-download-prompt");
    Type({"Return"});
    ASSERT_TRUE(Titled("Map update"));
    Click(Shown<QPushButton>("pushButtonPrimary", "Cancel"));
    ASSERT_TRUE(Titled("Cancel map update download?"));
    TabTo("Yes");
    Screenshot("stop-download-yes-tabbed");
    Type({"Return"});
    ASSERT_TRUE(WaitShown("MandatoryUpdate"));
    EXPECT_TRUE(Journey().contains("CancelDownload"));

    // Return on the mandatory update's "Continue" that the user tabbed to starts the download again.
    service.SetFault({{"path", Archive}, {"kind", "stall"}, {"bytes", 4000000}, {"seconds", 30}});
    ASSERT_TRUE(Titled("Confirm mandatory map update"));
    TabTo("Continue");
    Screenshot("mandatory-continue-tabbed");
    Type({"Return"});
    ASSERT_TRUE(WaitShown("MapDownload"));
    ASSERT_TRUE(QTest::qWaitFor([] { return MapStorage::Instance().GetDownloadingMap().downloaded > 0; }, 30000));

    // Quitting asks first, with the focus on "No", which Return answers. The header's help button takes Return
    // only once the user moved the focus onto it.
    ChooseTrayMenu("Quit");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageMessage"); }, 5000));
    EXPECT_TRUE(focusOn("No"));
    Screenshot("quit-prompt");
    Type({"Return"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageManageMaps"); }, 5000));
    ChooseTrayMenu("Quit");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageMessage"); }, 5000));
    ExpectTabsInReadingOrder();
    UrlCatcher browser;
    Type({"Tab", "Return"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.urls.size() == 1; }, 5000)) << "help did not take the Return";
    EXPECT_TRUE(Shown("pageMessage"));
    TabTo("No");
    Type({"Return"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return Shown("pageManageMaps"); }, 5000));
    EXPECT_FALSE(quitAsked);

    // Pulled mid-download: the popup holds the removed-stick message until "Continue"; the roots are offered again.
    Demo({"remove"});
    ASSERT_TRUE(WaitShown("RootUpdate"));
    EXPECT_EQ((QStringList {"MapDownload", "UsbRemoved", "MapUpdateCheck", "RootUpdate"}), Journey(4));
    EXPECT_EQ("Continue", PopupLink()->text());
    ClickPopupLink();
    EXPECT_NE("Continue", PopupLink()->text());

    // With nothing at stake, quitting asks nothing; the program ends.
    ChooseTrayMenu("Quit");
    EXPECT_TRUE(quitAsked);
    machine.reset();
    EXPECT_EQ(1, log.Count(Log::Info, "Stopping USB discovery"));
    EXPECT_EQ(0, log.Count(Log::Error, "Refused")) << "no way the user takes may make the machine refuse an event";
}

// The built program; the settings page's tests choose the language by clicks.
TEST_F(DesktopRoad, TheProgramKeepsTheSavedLanguageComesForwardOnASecondStartAndEndsOnSigterm)
{
    ASSERT_TRUE(Settings::Instance().SetLocale("de_DE"));
    Settings::Instance().Save();
    const auto endsWell = [](QProcess& program) {
        return program.waitForFinished(15000) && program.exitStatus() == QProcess::NormalExit && !program.exitCode();
    };
    QProcess& program = StartProgram();
    EXPECT_TRUE(WaitLogged("Current language: de_DE, run at startup: true"));
    Demo({"insert"});
    ASSERT_TRUE(WaitLogged("Changing state from: MapUpdateCheck to: MandatoryUpdate"));
    EXPECT_TRUE(endsWell(StartProgram()));
    EXPECT_TRUE(WaitLogged("Got Activate event"));
    program.terminate();
    EXPECT_TRUE(endsWell(program));
    EXPECT_TRUE(WaitLogged("Received signal 15, quitting"));
    const QStringList faults = ProgramLog().filter(QRegularExpression("\\| Error *\\||Refused"));
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}
