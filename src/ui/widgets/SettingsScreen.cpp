#include "SettingsScreen.h"

#include "Config.h"
#include "IUi.h"
#include "Log.h"
#include "MapStorage.h"
#include "Resources.h"
#include "Settings.h"
#include "UsbStorage.h"
#include "ui_SettingsScreenWidget.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLocale>
#include <QStyledItemDelegate>
#include <QUrl>

namespace Ui {

namespace {

enum Page { General = 0, Subscription = 1, About = 2 };

const char* const kLegalNotices = ":/legal/license_win.htm";
const char* const kLegalStyle = "<head>  <style>    a:link    {      color:%1    }  </style></head>";
const char* const kLinkColour = "#846659";
// Height of one item of the language list, as the style sheet draws it.
const int kListItemHeight = 37;
const int kComboBoxHeight = 38;

QString NativeName(const QLocale& locale)
{
    QString name = locale.nativeLanguageName();
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

void OpenLink(const QString& link)
{
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

} // namespace

int LanguageListRows(int gap)
{
    return (gap - kComboBoxHeight) / kListItemHeight;
}

SettingsScreen::SettingsScreen(IUi* facade, QWidget* parent)
    : QWidget(parent)
    , ui(facade)
    , form(std::make_unique<SettingsScreenWidget>())
{
    // The sheet goes on before the children exist: inside a window that has a
    // sheet of its own, children polished before this page has its sheet keep
    // the window's rules only.
    LoadStylesheet(":/styles/SettingsScreenWidget.qss", this);
    form->setupUi(this);
    SetFonts();
    Connect();
    LOG(Debug) << "Populating legal label";
    QFile legalNotices(kLegalNotices);
    if (legalNotices.open(QIODevice::ReadOnly | QIODevice::Text))
        form->labelLegal->setHtml(QString(kLegalStyle).arg(kLinkColour) + QString::fromUtf8(legalNotices.readAll()));
    else
        LOG(Error) << "Unable to open file: " << legalNotices.fileName() << ", :" << legalNotices.errorString();
    // The language list does not depend on the legal notices: without it the
    // form's placeholder items would carry no locale to save.
    LOG(Debug) << "Populating language list";
    PopulateLanguages();
    RestoreSettings(); // the page starts changed, so this also leaves it clean
    RetranslateUi();
    OnGeneralButtonClicked();
}

SettingsScreen::~SettingsScreen() = default;

void SettingsScreen::SetFonts()
{
    form->labelTitle->setFont(Fonts::Get(Fonts::Bold, 18));
    form->pushButtonCancel->setFont(Fonts::Get(Fonts::Medium, 14));
    form->pushButtonSaveSettings->setFont(Fonts::Get(Fonts::Medium, 14));
    const QFont regular = Fonts::Get(Fonts::Regular, 12);
    const std::initializer_list<QWidget*> regularWidgets
        = {form->pushButtonGeneral, form->pushButtonSubscription, form->pushButtonAbout, form->checkBoxAutoStart,
            form->pushButtonTermsAndConditions, form->pushButtonCopyrightMapData, form->pushButtonReportMapError,
            form->labelLanguage, form->comboBoxLanguage, form->pageSubscription, form->labelSubscriptionTitle,
            form->labelSubscriptionDate, form->labelCopyright, form->labelCurrentVersion};
    for (QWidget* widget : regularWidgets)
        widget->setFont(regular);
}

void SettingsScreen::Connect()
{
    connect(form->pushButtonGeneral, &QPushButton::clicked, this, &SettingsScreen::OnGeneralButtonClicked);
    connect(form->pushButtonSubscription, &QPushButton::clicked, this, &SettingsScreen::OnSubscriptionButtonClicked);
    connect(form->pushButtonAbout, &QPushButton::clicked, this, &SettingsScreen::OnAboutButtonClicked);
    connect(form->pushButtonSaveSettings, &QPushButton::clicked, this, &SettingsScreen::OnSaveSettingsButtonClicked);
    connect(form->pushButtonCancel, &QPushButton::clicked, this, &SettingsScreen::OnCancelButtonClicked);
    connect(form->checkBoxAutoStart, &QCheckBox::toggled, this, &SettingsScreen::OnAutoStartCheckBoxToggled);
    connect(form->comboBoxLanguage, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &SettingsScreen::OnLanguageComboBoxCurrentIndexChanged);
    connect(form->pushButtonTermsAndConditions, &QPushButton::clicked, this,
        &SettingsScreen::OnTermsAndConditionsButtonClicked);
    connect(form->pushButtonCopyrightMapData, &QPushButton::clicked, this,
        &SettingsScreen::OnCopyrightMapDataButtonClicked);
    connect(
        form->pushButtonReportMapError, &QPushButton::clicked, this, &SettingsScreen::OnReportMapErrorButtonClicked);
    connect(ui, &IUi::UpdateLocale, this, &SettingsScreen::RetranslateUi);
}

void SettingsScreen::PopulateLanguages()
{
    QComboBox* list = form->comboBoxLanguage;
    list->clear();
    list->setItemDelegate(new QStyledItemDelegate(this));
    for (const QLocale& locale : Config::Instance().translations)
        list->addItem(NativeName(locale), locale);
    list->model()->sort(0, Qt::AscendingOrder);
}

void SettingsScreen::SelectLanguage(const QString& localeName)
{
    QComboBox* list = form->comboBoxLanguage;
    int index = list->findData(QLocale(localeName));
    if (index < 0)
        index = list->findData(QLocale("en_GB"));
    if (index < 0 && list->count() > 0)
        index = 0;
    if (index >= 0)
        list->setCurrentIndex(index);
}

void SettingsScreen::SetClean()
{
    form->pushButtonSaveSettings->setEnabled(false);
    form->pushButtonCancel->hide();
    changed = false;
}

void SettingsScreen::RestoreSettings()
{
    if (!changed)
        return;
    LOG(Debug) << "Restoring all settings to current values";
    PutBackWritten();
    const Settings& settings = Settings::Instance();
    SelectLanguage(settings.GetLanguage()); // the language in force, also after a failed switch back
    form->checkBoxAutoStart->setChecked(settings.GetRunAtStartup());
    SetClean();
}

void SettingsScreen::SaveSettings()
{
    LOG(Info) << "Saving user settings";
    Settings& settings = Settings::Instance();
    if (!written)
        written = Choices {settings.GetLanguage(), settings.GetRunAtStartup()};
    if (form->comboBoxLanguage->currentIndex() >= 0) {
        const QString chosen = form->comboBoxLanguage->currentData().toLocale().name();
        if (!SwitchLanguage(chosen) && chosen != settings.GetLanguage())
            SelectLanguage(settings.GetLanguage()); // the switch failed: show the language in force
    }
    settings.SetRunAtStartup(form->checkBoxAutoStart->isChecked());
    // Choices that did not reach the file must not look saved: the page offers
    // the save again, and asks before they are left behind.
    if (settings.Save()) {
        written.reset();
        SetClean();
    } else {
        SetChanged();
    }
}

// Announced as any language change is; false when the language stays.
bool SettingsScreen::SwitchLanguage(const QString& localeName)
{
    const bool switched = Settings::Instance().SetLocale(localeName);
    if (switched)
        emit ui->UpdateLocale();
    return switched;
}

// Discarded choices that a failed save put in effect go out of effect too:
// the next start would not bring them back.
void SettingsScreen::PutBackWritten()
{
    if (!written)
        return;
    LOG(Info) << "Putting back the settings last saved";
    Settings& settings = Settings::Instance();
    if (written->language != settings.GetLanguage())
        SwitchLanguage(written->language);
    settings.SetRunAtStartup(written->runAtStartup);
    written.reset();
}

bool SettingsScreen::HasUnsavedChanges() const
{
    return changed;
}

void SettingsScreen::RetranslateUi()
{
    LOG(Debug) << "Retranslating widget's strings";
    const Config& config = Config::Instance();
    form->labelTitle->setText(QCoreApplication::translate("global", "Settings"));
    form->pushButtonGeneral->setText(QCoreApplication::translate("global", "General"));
    form->pushButtonSubscription->setText(QCoreApplication::translate("global", "Subscription"));
    form->pushButtonAbout->setText(QCoreApplication::translate("global", "About"));
    form->labelLanguage->setText(QCoreApplication::translate("global", "Language:"));
    form->pushButtonCancel->setText(QCoreApplication::translate("global", "Cancel"));
    form->pushButtonSaveSettings->setText(QCoreApplication::translate("global", "Save settings"));
    form->pushButtonTermsAndConditions->setText(QCoreApplication::translate("global", "Terms and Conditions"));
    form->pushButtonCopyrightMapData->setText(
        QCoreApplication::translate("global", "Copyright notices applicable to the use of Vexmar's map data"));
    form->pushButtonReportMapError->setText(QCoreApplication::translate("global", "Report Map Errors"));
    form->checkBoxAutoStart->setText(
        QCoreApplication::translate("global", "Start %APPNAME% when the computer starts (recommended)")
            .replace("%APPNAME%", config.appName));
    form->labelCurrentVersion->setText(QCoreApplication::translate("global", "Version %1").arg(config.version));
    form->labelCopyright->setText(form->labelCopyright->text().replace("%CURRENTYEAR%", config.year));
    UpdateSubscription();
}

void SettingsScreen::UpdateSubscription()
{
    const QDate endDate = MapStorage::Instance().GetSubscription().endDate;
    const UsbInfo usb = UsbStorage::Instance().GetSelectedUsb();
    if (endDate.isValid()) {
        form->labelSubscriptionTitle->setText(
            QCoreApplication::translate("global", "This vehicle is entitled to receive map updates until:") + " ");
        form->labelSubscriptionDate->setText(
            QLocale(Settings::Instance().GetLanguage()).toString(endDate, "dd MMMM yyyy"));
        form->pushButtonSubscription->setEnabled(true);
    } else if (!usb.IsValid() || usb.state == UsbInfo::NoMetadata) {
        form->labelSubscriptionTitle->clear();
        form->labelSubscriptionDate->clear();
        form->pushButtonSubscription->setEnabled(false);
        if (form->stackedWidgetSettings->currentIndex() == Subscription)
            ShowPage(General);
    } else {
        form->labelSubscriptionTitle->setText(
            QCoreApplication::translate("global", "This vehicle is not yet entitled to receive map updates."));
        form->labelSubscriptionDate->clear();
        form->pushButtonSubscription->setEnabled(true);
    }
}

void SettingsScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int gap = form->widgetSaveSettings->y() - form->comboBoxLanguage->y();
    form->comboBoxLanguage->setMaxVisibleItems(LanguageListRows(gap));
}

void SettingsScreen::ShowPage(int index)
{
    QPushButton* const buttons[] = {form->pushButtonGeneral, form->pushButtonSubscription, form->pushButtonAbout};
    buttons[index]->setChecked(true);
    form->stackedWidgetSettings->setCurrentIndex(index);
}

void SettingsScreen::OnGeneralButtonClicked()
{
    LOG(Debug) << "General button clicked";
    ShowPage(General);
}

void SettingsScreen::OnSubscriptionButtonClicked()
{
    LOG(Debug) << "Subscription button clicked";
    ShowPage(Subscription);
}

void SettingsScreen::OnAboutButtonClicked()
{
    LOG(Debug) << "About button clicked";
    ShowPage(About);
}

void SettingsScreen::OnSaveSettingsButtonClicked()
{
    LOG(Debug) << "Save changes button clicked";
    SaveSettings();
}

void SettingsScreen::OnCancelButtonClicked()
{
    LOG(Debug) << "Discard changes button clicked";
    emit CancelButtonClicked();
}

void SettingsScreen::OnAutoStartCheckBoxToggled(bool)
{
    LOG(Debug) << "Autostart checkbox clicked";
    SetChanged();
}

void SettingsScreen::OnLanguageComboBoxCurrentIndexChanged(int)
{
    LOG(Debug) << "Language index changed";
    SetChanged();
}

void SettingsScreen::OnTermsAndConditionsButtonClicked()
{
    LOG(Debug) << "Terms and conditions button clicked";
    OpenLink(Config::GetTermsAndConditionsUrl());
}

void SettingsScreen::OnCopyrightMapDataButtonClicked()
{
    LOG(Debug) << "Copyright button clicked";
    OpenLink(Config::GetCopyrightMapDataUrl());
}

void SettingsScreen::OnReportMapErrorButtonClicked()
{
    LOG(Debug) << "Report Map Error button clicked";
    OpenLink(Config::GetReportMapErrorUrl());
}

void SettingsScreen::SetChanged()
{
    form->pushButtonSaveSettings->setEnabled(true);
    form->pushButtonCancel->show();
    changed = true;
}

} // namespace Ui
