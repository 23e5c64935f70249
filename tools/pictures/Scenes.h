#pragma once

#include "IUi.h"

#include <QImage>
#include <QString>
#include <QStringList>

// Draws the user interface in representative states: the widgets' pages and,
// in one language, each state of the main window and of the popup. Keeps each
// picture in the folder given (none: draws only), and notes every text that
// its button or label cuts off.
class Scenes {
public:
    explicit Scenes(const QString& folder);

    void Widgets();
    // The window's and the popup's scenes in the language given, kept as
    // "<scene>" in English and "<scene>-<locale>" in any other.
    void WindowAndPopup(const QString& locale);

    // The texts cut off so far, as "<scene>: objectName: text".
    const QStringList& Clipped() const { return clipped; }

private:
    class Facade : public Ui::IUi {
    public:
        void Activate() override { }
        void SetState(Ui::State) override { }
        void UpdateUsbs() override { }
        void ConfirmQuit() override { }
    };

    void Keep(const QImage& picture, const QString& name) const;
    void Check(QWidget& widget, const QString& scene);
    void MessagePages();
    void Footer();
    void MapRows();
    void SettingsPages();

    QString folder;
    QString locale;
    QStringList clipped;
    Facade ui;
};
