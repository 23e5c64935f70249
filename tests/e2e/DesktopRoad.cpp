#include "DesktopRoad.h"

#include "DesktopTest.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "XDesktop.h"

#include "Config.h"
#include "MainWindow.h"
#include "MapStorage.h"
#include "MessageScreen.h"
#include "Popup.h"
#include "ProductionCollaborators.h"
#include "Resources.h"
#include "Ui.h"
#include "UsbStorage.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QJsonValue>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QtTest/QTest>

namespace {

const char* const StateChange = "Changing state from: ";

// Files below a folder, by their path relative to it, with their bytes.
std::map<QString, QByteArray> Tree(const QString& root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(root).relativeFilePath(path)] = TestFiles::Read(path);
    }
    return files;
}

// Pixels that a user tells apart: one channel differs by more than a quarter of its range.
int Distinct(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            count += std::max(
                         {std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue())})
                > 64;
        }
    return count;
}

bool Contains(const QWidget* outer, const QWidget* inner)
{
    return inner && (inner == outer || outer->isAncestorOf(inner));
}

} // namespace

void DesktopRoad::SetUp()
{
    REQUIRE_DESKTOP();
    ASSERT_TRUE(demoRoot.isValid());
    ASSERT_TRUE(service.Start(TestEnv::SourceDir() + "/tools/demo/catalogue.json"));
    // The demo fabricates its stick from the service's own metadata.
    ASSERT_TRUE(QDir().mkpath(demoRoot.filePath("service")));
    ASSERT_TRUE(QFile::copy(service.CertificatePath(), demoRoot.filePath("service/cert.pem")));
    Demo({"prepare", "--port", QString::number(service.Port())});
    // The test process runs in the demo's own folders, as ./run.sh runs the
    // program, so the program started from the tests shares them.
    for (const QString& line : Demo({"env"}).split('\n', Qt::SkipEmptyParts)) {
        const QString assignment = line.section(' ', 1);
        qputenv(assignment.section('=', 0, 0).toLocal8Bit(), assignment.section('=', 1).remove('\'').toLocal8Bit());
    }
    ASSERT_EQ(Config::Instance().updateSource, service.BaseUrl().toStdString());
    UsbStorage::Instance().Clear();
    MapStorage::Instance().Clear();
    Fonts::Load(); // as the program does before it builds any window
}

void DesktopRoad::TearDown()
{
    if (program) {
        program->kill();
        program->waitForFinished();
    }
    machine.reset();
    // No way the user takes may make the machine refuse an event.
    EXPECT_EQ(log.Count(Log::Error, "Refused"), 0);
}

Collaborators DesktopRoad::MakeCollaborators()
{
    Collaborators collaborators = ProductionCollaborators([this] {
        auto made = std::make_unique<Ui::Ui>();
        ui = made.get();
        return made;
    });
    collaborators.quit = [this] { quitAsked = true; };
    return collaborators;
}

void DesktopRoad::Start(Collaborators collaborators)
{
    machine = std::make_unique<StateMachine>(std::move(collaborators));
    machine->initiate();
}

std::vector<std::string> DesktopRoad::Journey() const
{
    std::vector<std::string> journey;
    for (const LogCapture::Record& record : log.Records()) {
        // The facade logs each change at Info; the window's own record is at Debug.
        if (record.severity == Log::Info && record.message.rfind(StateChange, 0) == 0)
            journey.push_back(record.message.substr(record.message.rfind(' ') + 1));
    }
    return journey;
}

::testing::AssertionResult DesktopRoad::WaitShown(const std::string& state, int ms) const
{
    if (QTest::qWaitFor([&] { return Shown() == state; }, ms))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << state << " not reached; shown:";
    for (const std::string& shown : Journey())
        failure << ' ' << shown;
    return failure;
}

Ui::MainWindow* DesktopRoad::Window() const
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Ui::MainWindow*>(widget))
            return window;
    return nullptr;
}

QWidget* DesktopRoad::MessagePage() const
{
    for (Ui::MessageScreen* page : Window()->findChildren<Ui::MessageScreen*>())
        if (page->isVisible())
            return page;
    return nullptr;
}

QString DesktopRoad::MessageTitle() const
{
    QWidget* page = MessagePage();
    return page ? Find<QLabel>(page, "labelMessageTitle")->text() : QString();
}

QPushButton* DesktopRoad::MessageButton(bool primary) const
{
    QWidget* page = MessagePage();
    return page ? Find<QPushButton>(page, primary ? "pushButtonPrimary" : "pushButtonSecondary") : nullptr;
}

QString DesktopRoad::PageShown() const
{
    auto* pages = Find<QStackedWidget>(Window(), "stackedWidgetMainWindow");
    return Window()->isVisible() ? pages->currentWidget()->objectName() : QString();
}

void DesktopRoad::Click(QWidget* widget)
{
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->isVisible() && widget->isEnabled(); }, 5000))
        << widget->objectName().toStdString() << " is not offered";
    QWidget* window = widget->window();
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    if (!Contains(widget, QApplication::widgetAt(centre))) {
        window->raise();
        window->activateWindow();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return Contains(widget, QApplication::widgetAt(centre)); }, 5000))
        << widget->objectName().toStdString() << " is covered";
    ASSERT_TRUE(XDesktop::Click(centre));
    QTest::qWait(200);
}

void DesktopRoad::ClickTray(int button)
{
    QSystemTrayIcon* tray = Tray();
    ASSERT_TRUE(QTest::qWaitFor([tray] { return tray->isVisible() && !tray->geometry().isEmpty(); }, 5000));
    ASSERT_TRUE(XDesktop::Click(tray->geometry().center(), button));
    QTest::qWait(200);
}

void DesktopRoad::ChooseTrayMenu(const QString& text)
{
    ClickTray(3);
    QMenu* menu = Tray()->contextMenu();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            ASSERT_TRUE(XDesktop::Click(menu->mapToGlobal(menu->actionGeometry(action).center())));
            QTest::qWait(200);
            return;
        }
    }
    FAIL() << "no menu entry " << text.toStdString();
}

void DesktopRoad::ClickPopupLink()
{
    if (!Popup()->isVisible())
        ClickTray();
    Click(Find(Popup(), "pushButtonContentLink"));
}

void DesktopRoad::Type(const QStringList& keys)
{
    QWidget* window = Window();
    if (!window->isActiveWindow()) {
        window->raise();
        window->activateWindow();
    }
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->isActiveWindow(); }, 5000));
    ASSERT_TRUE(XDesktop::Press(keys));
    QTest::qWait(200);
}

void DesktopRoad::ExpectTabsInReadingOrder()
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
    QList<QWidget*> reached;
    for (int tab = 0; tab < controls.size(); ++tab) {
        QWidget* before = QApplication::focusWidget();
        Type({"Tab"});
        EXPECT_TRUE(QTest::qWaitFor([before] { return QApplication::focusWidget() != before; }, 5000));
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(focused && unfocused.count(focused)) << "Tab " << tab + 1 << " left the visible controls";
        EXPECT_GT(Distinct(focused->grab().toImage(), unfocused[focused]) * 50, focused->width() * focused->height())
            << focused->objectName().toStdString() << " looks unfocused";
        reached << focused;
    }
    const auto names = [](const QList<QWidget*>& widgets) {
        QStringList list;
        for (const QWidget* widget : widgets)
            list << widget->objectName();
        return list.join(' ').toStdString();
    };
    EXPECT_EQ(reached, controls) << names(reached) << " instead of " << names(controls);
}

QProcess& DesktopRoad::StartProgram()
{
    program = std::make_unique<QProcess>();
    program->setProcessChannelMode(QProcess::ForwardedChannels);
    program->start(TestEnv::BinaryDir() + "/bin/tessaly", QStringList());
    EXPECT_TRUE(program->waitForStarted());
    return *program;
}

int DesktopRoad::ProgramExit()
{
    const bool ended = program->waitForFinished(15000) && program->exitStatus() == QProcess::NormalExit;
    return ended ? program->exitCode() : -1;
}

QStringList DesktopRoad::Faults() const
{
    QStringList faults;
    for (const LogCapture::Record& record : log.Records())
        if (record.severity == Log::Error)
            faults << QString::fromStdString(record.message);
    return faults;
}

QStringList DesktopRoad::ProgramLog() const
{
    QStringList records;
    for (const QFileInfo& file : QDir(DataDir() + "/Logs").entryInfoList({"*.log"}, QDir::Files, QDir::Name)) {
        for (const QString& line : QString::fromUtf8(TestFiles::Read(file.filePath())).split('\n')) {
            // "time | severity | channel | file: line | function | message"
            const QStringList fields = line.split(" | ");
            if (fields.size() >= 6)
                records << fields[1].trimmed() + " | " + fields.mid(5).join(" | ");
        }
    }
    return records;
}

::testing::AssertionResult DesktopRoad::WaitLogged(const QString& record) const
{
    if (QTest::qWaitFor([&] { return ProgramLog().contains(record); }, WaitMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not logged: " << record.toStdString();
}

QString DesktopRoad::Demo(const QStringList& arguments) const
{
    QProcess demo;
    demo.start("python3",
        QStringList {TestEnv::SourceDir() + "/tools/demo/demo.py"} + arguments
            + QStringList {"--root", demoRoot.path()});
    EXPECT_TRUE(demo.waitForFinished(30000));
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    return QString::fromUtf8(demo.readAllStandardOutput());
}

void DesktopRoad::Screenshot(const QString& name)
{
    QTest::qWait(300); // let the last repaint reach the server
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString test = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const QString file = QString("%1-%2-%3.png").arg(test).arg(++shots, 2, 10, QChar('0')).arg(name);
    const QString folder = TestEnv::BinaryDir() + "/e2e-screens";
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/" + file)) << file.toStdString();
}

QStringList DesktopRoad::Requests(const QString& path) const
{
    const QString wanted = QUrl(service.BaseUrl()).path() + path;
    QStringList queries;
    for (const QJsonValue& request : service.RequestLog())
        if (request["path"].toString() == wanted)
            queries << request["query"].toString();
    return queries;
}

bool DesktopRoad::StickHoldsArchive(const QString& mapId) const
{
    QTemporaryDir unpacked;
    QProcess tar;
    tar.start("tar", {"-xf", service.ArchivePath(mapId + ".tar"), "-C", unpacked.path()});
    if (!tar.waitForFinished(60000) || tar.exitCode() != 0)
        return false;
    const auto onStick = Tree(StickRoot() + "/VexmarNDSFull/" + mapId);
    return !onStick.empty() && Tree(unpacked.path()) == onStick;
}
