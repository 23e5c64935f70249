#pragma once

#include <QWidget>

#include <memory>
#include <optional>

class QResizeEvent;

namespace Ui {
class IUi;
class SettingsScreenWidget; // uic's class for SettingsScreenWidget.ui

// The settings page of the main window: General (autostart and language,
// kept in the widgets until saved), Subscription (until when the vehicle may
// receive map updates) and About (copyright, version, web links, legal
// notices). Saving a new language emits IUi::UpdateLocale. GUI thread only;
// a child of the main window.
class SettingsScreen : public QWidget {
    Q_OBJECT

public:
    SettingsScreen(IUi* facade, QWidget* parent = nullptr);
    ~SettingsScreen() override;

    // Puts the saved settings back into the widgets, and back in effect after
    // a save that could not be written; does nothing on a clean page.
    void RestoreSettings();
    // Writes the General page's choices into the settings and saves them; the
    // page stays changed when they could not be saved.
    void SaveSettings();
    bool HasUnsavedChanges() const;
    // Fills the Subscription page from the catalogue and the selected stick.
    void UpdateSubscription();

signals:
    void CancelButtonClicked();

public slots:
    void RetranslateUi();
    void OnGeneralButtonClicked();
    void OnSubscriptionButtonClicked();
    void OnAboutButtonClicked();
    void OnSaveSettingsButtonClicked();
    void OnCancelButtonClicked();
    void OnAutoStartCheckBoxToggled(bool checked);
    void OnLanguageComboBoxCurrentIndexChanged(int index);
    void OnTermsAndConditionsButtonClicked();
    void OnCopyrightMapDataButtonClicked();
    void OnReportMapErrorButtonClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetFonts();
    void Connect();
    void PopulateLanguages();
    void SelectLanguage(const QString& localeName);
    void ShowPage(int index);
    void SetClean();
    void SetChanged();
    bool SwitchLanguage(const QString& localeName);
    void PutBackWritten();

    struct Choices {
        QString language;
        bool runAtStartup;
    };

    IUi* ui;
    std::unique_ptr<SettingsScreenWidget> form;
    bool changed = true;
    // What settings.json holds (or what was in force at start), kept while a
    // save that could not be written leaves other choices in effect.
    std::optional<Choices> written;
};

// How many language items fit below the combo box: the vertical gap between
// the combo box and the Save row, less the combo box itself, in item heights
// (truncated toward zero, so a gap under 38 pixels gives 0 or less).
int LanguageListRows(int gap);

} // namespace Ui
