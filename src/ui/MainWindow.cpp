// The window frame: construction, pages and screens, the header, SetState and
// the page-level prompts (quit, discard settings).
#include "MainWindow.h"

#include "AimedReturn.h"
#include "Footer.h"
#include "HoverTracker.h"
#include "IUi.h"
#include "Log.h"
#include "MessageScreen.h"
#include "Resources.h"
#include "SettingsScreen.h"
#include "ui_MainWindowDialog.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace Ui {

namespace {

const char* const kMainWindowStyle = ":/styles/MainWindowDialog.qss";
const char* const kHeaderStyle = ":/styles/HeaderWidget.qss";

// Puts the controls of a container, in their own order, after a control in the
// tab order; returns the last one placed.
QWidget* ChainAfter(QWidget* previous, QWidget* container)
{
    QList<QWidget*> controls;
    for (QWidget* widget = container->nextInFocusChain(); widget != container; widget = widget->nextInFocusChain())
        if (container->isAncestorOf(widget) && widget->focusPolicy() != Qt::NoFocus)
            controls << widget;
    for (QWidget* control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
    return previous;
}

} // namespace

std::ostream& operator<<(std::ostream& out, MainWindow::Page value)
{
    static const char* const names[] = {"None", "Maps", "Settings", "Message"};
    const int index = static_cast<int>(value) + 1;
    if (index >= 0 && index < 4)
        out << names[index];
    return out;
}

std::ostream& operator<<(std::ostream& out, MainWindow::Screen value)
{
    static const char* const names[] = {"None", "MapUpdates", "Message"};
    const int index = static_cast<int>(value) + 1;
    if (index >= 0 && index < 3)
        out << names[index];
    return out;
}

MainWindow::MainWindow(IUi* facade, QWidget* parent)
    : QDialog(parent)
    , ui(facade)
    , form(std::make_unique<MainWindowDialog>())
    , mapsMessageScreen(new MessageScreen(facade, this))
    , messageScreen(new MessageScreen(facade, this))
    , settingsScreen(new SettingsScreen(facade, this))
{
    form->setupUi(this);
    setWindowTitle(
        QStringLiteral("Tessaly v%1.%2.%3").arg(QString::number(2), QString::number(0), QString::number(74)));
    RetranslateUi();
    LoadStylesheet(kMainWindowStyle, this);
    LoadStylesheet(kHeaderStyle, form->widgetHeader);
    setWindowFlags(Qt::Window);
    SetUpForm();
    Connect();
    CreateStateData();
    new HoverTracker(this);
    aimedReturn = new AimedReturn(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::SetUpForm()
{
    form->pushButtonMapUpdates->setFont(Fonts::Get(Fonts::Bold, 13));
    form->labelNotificationTitle->setFont(Fonts::Get(Fonts::Bold, 12));
    form->labelNotificationText->setFont(Fonts::Get(Fonts::Regular, 12));
    form->widgetNotificationBanner->hide();

    form->widgetSettings->layout()->addWidget(settingsScreen);
    form->widgetMapsMessage->layout()->addWidget(mapsMessageScreen);
    form->widgetMessage->layout()->addWidget(messageScreen);
    // Made before the form, the screens would come first in the tab order:
    // they go after the header, as they stand on the window.
    QWidget* previous = form->pushButtonHelp;
    for (QWidget* screen : {static_cast<QWidget*>(mapsMessageScreen), static_cast<QWidget*>(messageScreen),
             static_cast<QWidget*>(settingsScreen)})
        previous = ChainAfter(previous, screen);

    QTableWidget* table = form->tableWidgetMapUpdates;
    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();
    table->setAutoScroll(false);
    table->setShowGrid(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->clearFocus();
    table->setTabKeyNavigation(false); // Tab goes on to the rows' buttons, not the table's cells
}

void MainWindow::KeepFooterLastInTabOrder()
{
    ChainAfter(previousInFocusChain(), form->widgetFooter);
}

void MainWindow::Connect()
{
    connect(ui, &IUi::UpdateLocale, this, &MainWindow::RetranslateUi);
    connect(settingsScreen, &SettingsScreen::CancelButtonClicked, this, [this] {
        LOG(Debug) << "Cancel button clicked";
        ShowDiscardSettingsMessage(false);
    });
    connect(form->pushButtonMapUpdates, &QPushButton::clicked, this, [this] {
        LOG(Debug) << "Map Updates tab clicked";
        ShowMapsOrDiscardSettings();
    });
    connect(form->pushButtonSettings, &QPushButton::clicked, this, [this] {
        LOG(Debug) << "Settings button clicked";
        ShowSettingsPage();
    });
    connect(form->pushButtonHelp, &QPushButton::clicked, this, [this] {
        LOG(Debug) << "Help button clicked";
        PopupClicked(PopupLink::ShowHelp);
    });
}

void MainWindow::ShowMapsOrDiscardSettings()
{
    if (settingsScreen->HasUnsavedChanges())
        ShowDiscardSettingsMessage(true);
    else
        ShowMapsPage();
}

MainWindow::StateData MainWindow::Record(State s) const
{
    const auto found = stateData.find(s);
    return found == stateData.end() ? StateData() : found->second;
}

bool MainWindow::RunAction(State s)
{
    const auto found = stateData.find(s);
    if (found == stateData.end() || !found->second.action)
        return false;
    const auto action = found->second.action; // the record may be written while it runs
    action();
    return true;
}

void MainWindow::SetState(State newState)
{
    bool changed = false;
    if (newState != state) {
        LOG(Debug) << "Changing state from: " << state << " to: " << newState;
        state = newState;
        changed = true;
    }
    RunAction(newState);
    const StateData record = Record(newState); // the action may have set its flag
    if (changed && !record.mapUpdatesEnabled)
        Hide();
    ApplyHeader(record);
    ApplyBanner(record);
}

void MainWindow::ApplyHeader(const StateData& record)
{
    form->pushButtonMapUpdates->setEnabled(record.mapUpdatesEnabled);
    form->pushButtonSettings->setEnabled(record.settingsEnabled);
}

void MainWindow::ApplyBanner(const StateData& record)
{
    form->labelNotificationTitle->setText(QCoreApplication::translate("global", record.title.toUtf8().constData()));
    form->labelNotificationText->setText(QCoreApplication::translate("global", record.text.toUtf8().constData()));
    form->labelNotificationIcon->setPixmap(record.image);
    form->widgetNotificationBanner->setVisible(!record.text.isEmpty());
}

void MainWindow::UpdateUsbs()
{
    form->widgetFooter->UpdateState();
}

void MainWindow::Show()
{
    // A hidden window may still be reported active until the focus change
    // arrives; it must be shown all the same.
    if (isVisible() && isActiveWindow())
        return;
    LOG(Debug) << "Showing main window";
    const bool hidden = !isVisible();
    setWindowState(Qt::WindowActive);
    show();
    // Shown again, the window would give the focus back to the control that
    // last had it, or to its first control.
    if (hidden)
        DropUnchosenFocus();
}

void MainWindow::Hide()
{
    LOG(Debug) << "Hiding main window";
    previousPage = page;
    page = Page::None;
    hide();
}

void MainWindow::SetPage(Page newPage)
{
    LOG(Debug) << "Changing page from: " << page << " to: " << newPage;
    form->stackedWidgetMainWindow->setCurrentIndex(static_cast<int>(newPage));
    const bool changed = newPage != page;
    previousPage = page;
    page = newPage;
    form->widgetFooter->setVisible(newPage == Page::Maps);
    if (changed)
        DropUnchosenFocus();
}

void MainWindow::SetScreen(Screen newScreen)
{
    LOG(Debug) << "Changing screen from: " << screen << " to: " << newScreen;
    form->stackedWidgetManageMaps->setCurrentIndex(static_cast<int>(newScreen));
    previousScreen = screen;
    screen = newScreen;
    // A stack switched moves the focus from the page it leaves to the first
    // control of the new one; a message put in place may have hidden or
    // renamed the button under the focus.
    if (page == Page::Maps)
        DropUnchosenFocus();
}

bool MainWindow::PageNamesDefault() const
{
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    return std::any_of(buttons.begin(), buttons.end(), [this](const QPushButton* button) {
        return button->window() == this && button->isDefault() && button->isVisibleTo(this);
    });
}

void MainWindow::DropUnchosenFocus()
{
    if (!PageNamesDefault() && !aimedReturn->Aims(focusWidget()))
        setFocus();
}

void MainWindow::SelectMapsPage()
{
    form->pushButtonMapUpdates->setChecked(true);
    form->pushButtonSettings->setChecked(false);
    if (screen == Screen::None)
        SetScreen(Screen::MapUpdates);
    SetPage(Page::Maps);
}

void MainWindow::SelectSettingsPage()
{
    form->pushButtonSettings->setChecked(true);
    form->pushButtonMapUpdates->setChecked(false);
    SetPage(Page::Settings);
}

void MainWindow::ShowMapsPage()
{
    LOG(Debug) << "Showing maps page";
    SelectMapsPage();
    Show();
}

void MainWindow::ShowSettingsPage()
{
    LOG(Debug) << "Showing settings page";
    SelectSettingsPage();
    Show();
    // The settings page fits its language list on a resize event.
    resize(width() + 1, height());
    resize(width() - 1, height());
}

// Only prompts use the page: each shows with the focus on its default, so a
// Return the user did not aim confirms nothing.
void MainWindow::ShowMessagePage()
{
    LOG(Debug) << "Showing message page";
    form->pushButtonSettings->setChecked(false);
    SetPage(Page::Message);
    Show();
    messageScreen->FocusDefault();
}

void MainWindow::ShowMapMessageScreen()
{
    LOG(Debug) << "Showing map message screen";
    SetScreen(Screen::Message);
    ShowMapsPage();
}

void MainWindow::ShowMapPrompt()
{
    ShowMapMessageScreen();
    mapsMessageScreen->FocusDefault();
}

void MainWindow::ShowMapUpdatesScreen()
{
    LOG(Debug) << "Showing map updates screen";
    SetScreen(Screen::MapUpdates);
    ShowMapsPage();
}

void MainWindow::RetranslateUi()
{
    LOG(Debug) << "Retranslating widget's strings";
    // Capitals by the language's own rules (Turkish "i" becomes a dotted capital).
    form->pushButtonMapUpdates->setText(QLocale().toUpper(QCoreApplication::translate("global", "Map updates")));
    form->widgetFooter->RetranslateUi();
    SetState(state);
}

void MainWindow::Rewire(MessageScreen* target, Handler first, Handler second)
{
    disconnect(target, nullptr, this, nullptr);
    if (first)
        connect(target, &MessageScreen::FirstButtonClicked, this, std::move(first));
    if (second)
        connect(target, &MessageScreen::SecondButtonClicked, this, std::move(second));
}

MainWindow::Page MainWindow::PageBeforePrompt() const
{
    // A hidden window keeps its last page in the stack only. The message
    // page's own prompt is gone once another prompt replaces it.
    const Page shown = page != Page::None ? page : static_cast<Page>(form->stackedWidgetMainWindow->currentIndex());
    return shown == Page::Settings ? Page::Settings : Page::Maps;
}

void MainWindow::ShowQuitApplicationMessage()
{
    LOG(Debug) << "Showing quit application confirmation message";
    messageScreen->Show(MessageType::QuitApplication);
    form->pushButtonMapUpdates->setEnabled(false);
    form->pushButtonSettings->setEnabled(false);
    const Page back = PageBeforePrompt();
    const bool wasHidden = !isVisible();
    Rewire(
        messageScreen,
        [this, back, wasHidden] {
            LOG(Debug) << "Returning to previous screen";
            ApplyHeader(Record(state));
            if (back == Page::Settings)
                SelectSettingsPage();
            else
                SelectMapsPage();
            if (wasHidden)
                Hide();
        },
        [this] {
            LOG(Debug) << "Quitting application";
            emit ui->ForcedQuit(); // may end the program: nothing after this
        });
    ShowMessagePage();
}

void MainWindow::ShowDiscardSettingsMessage(bool forced)
{
    LOG(Debug) << "Showing discard settings message";
    messageScreen->Show(MessageType::SaveSettings);
    Rewire(
        messageScreen,
        [this, forced] {
            settingsScreen->RestoreSettings();
            form->pushButtonSettings->setChecked(false);
            if (forced) {
                LOG(Debug) << "Returning to map page";
                ShowMapsPage();
            } else if (previousScreen != Screen::None || previousPage == Page::Settings) {
                LOG(Debug) << "Returning to settings page";
                ShowSettingsPage();
            } else {
                LOG(Debug) << "Hiding main window";
                SelectMapsPage();
                Hide();
            }
        },
        [this] { ShowSettingsPage(); });
    ShowMessagePage();
}

} // namespace Ui
