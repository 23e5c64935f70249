#include "DesktopRoad.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "XDesktop.h"

#include "Config.h"
#include "MainWindow.h"
#include "Popup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTranslator>
#include <QtTest/QTest>

namespace {

// The built program next to, or instead of, the one in the test process.
class ProgramOnDesktop : public DesktopRoad {
protected:
    // The program's error records that tell of faults, and machine refusals at any level.
    QStringList ProgramFaults() const
    {
        QStringList faults;
        for (const QString& record : ProgramLog())
            if (record.startsWith("Error | ") || record.contains("Refused"))
                faults << record;
        return faults;
    }

    // Picks a language from the settings page's list by real clicks.
    void ChooseLanguage(const QString& localeName)
    {
        auto* list = Find<QComboBox>(Window(), "comboBoxLanguage");
        Click(list);
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }, 5000));
        const int row = list->findData(QLocale(localeName));
        ASSERT_GE(row, 0) << localeName.toStdString() << " is not offered";
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        ASSERT_TRUE(XDesktop::Click(view->viewport()->mapToGlobal(view->visualRect(index).center())));
        ASSERT_TRUE(QTest::qWaitFor([list, row] { return list->currentIndex() == row; }, 5000));
    }
};

} // namespace

// The built program on the demo's folders: the root offer, the demo stick's
// mandatory update, a log free of faults, and SIGTERM ends it with code 0.
TEST_F(ProgramOnDesktop, DemoRoadToTheOfferAndSigtermEndsItCleanly)
{
    StartProgram();
    ASSERT_TRUE(WaitLogged("Info | Changing state from: MapUpdateCheck to: RootUpdate"));
    InsertStick();
    ASSERT_TRUE(WaitLogged("Info | Changing state from: MapUpdateCheck to: MandatoryUpdate"));
    Screenshot("program-offer");
    program->terminate();
    EXPECT_EQ(0, ProgramExit());
    EXPECT_TRUE(ProgramLog().contains("Info | Received signal 15, quitting"));
    EXPECT_TRUE(ProgramFaults().isEmpty()) << ProgramFaults().join("\n").toStdString();
}

// A second start only brings the running program forward (its popup) and ends.
TEST_F(ProgramOnDesktop, SecondStartActivatesTheRunningProgram)
{
    Start(MakeCollaborators());
    ASSERT_TRUE(WaitShown("RootUpdate"));
    if (Popup()->isVisible())
        ClickTray();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Popup()->isVisible(); }, 5000));

    StartProgram();
    EXPECT_EQ(0, ProgramExit());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Popup()->isVisible(); }, 5000));
    EXPECT_EQ(1, log.Count(Log::Info, "Got Activate event"));
    EXPECT_FALSE(Window()->isVisible());
    Screenshot("activated");
}

// German chosen on the settings page: the window, the popup and the tray icon
// read German at once, and the next start of the program keeps it.
TEST_F(ProgramOnDesktop, GermanChosenInTheSettingsHoldsAfterARestart)
{
    // What the de_DE catalogue makes of a text, the text itself where it has no entry.
    QTranslator catalogue;
    ASSERT_TRUE(catalogue.load(Config::Instance().GetTranslationFilePath("de_DE")));
    const auto german = [&catalogue](const char* text) {
        const QString translated = catalogue.translate("global", text);
        return translated.isEmpty() ? QString(text) : translated;
    };
    Start(MakeCollaborators());
    ASSERT_TRUE(WaitShown("RootUpdate"));
    ChooseTrayMenu("Settings");
    ASSERT_TRUE(QTest::qWaitFor([this] { return PageShown() == "pageSettings"; }, 5000));
    ChooseLanguage("de_DE");
    const QString settings = DataDir() + "/settings.json";
    Click(Find(Window(), "pushButtonSaveSettings"));
    ASSERT_TRUE(QTest::qWaitFor([&settings] { return TestFiles::Read(settings).contains("\"de_DE\""); }, 5000))
        << TestFiles::Read(settings).toStdString();
    EXPECT_EQ(german("Map updates").toUpper(), Find<QPushButton>(Window(), "pushButtonMapUpdates")->text());
    EXPECT_EQ(german("Save settings"), Find<QPushButton>(Window(), "pushButtonSaveSettings")->text());
    EXPECT_EQ(german("Manage maps"), Find<QLabel>(Popup(), "labelContentTitle")->text());
    EXPECT_EQ(german("Open application"), Find<QPushButton>(Popup(), "pushButtonContentLink")->text());
    EXPECT_EQ(german("Open application"), Tray()->contextMenu()->actions().value(0)->text());
    EXPECT_EQ("Tessaly\r\n" + german("Map updates available"), Tray()->toolTip());
    Screenshot("german-settings");

    machine.reset();
    StartProgram();
    EXPECT_TRUE(WaitLogged("Info | Current language: de_DE, run at startup: true"));
    program->terminate();
    EXPECT_EQ(0, ProgramExit());
}
