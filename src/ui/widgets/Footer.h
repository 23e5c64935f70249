#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;

namespace Ui {

class FooterWidget; // uic's class for FooterWidget.ui
class ElidedText;

// The strip at the bottom of the main window: the free space of the head
// unit and of the selected stick, the product logo, and a drop-down list for
// choosing another stick without update data. Reads the stick registry and
// the map catalogue directly and refreshes the figures every second once it
// has been filled. GUI thread only; owned by the main window, whose child the
// list is so that it can float above the footer.
class Footer : public QWidget {
    Q_OBJECT

public:
    explicit Footer(QWidget* parent = nullptr);
    ~Footer() override;

    // Rebuilds the list, the panels and the figures from the registries.
    void UpdateState();
    // Refreshes both space panels and re-arms the one-second refresh.
    void UpdateSpaceInfo();
    // Shows the list just above the stick panel, or hides it; the argument
    // (the button's state) is not looked at.
    void ToggleUsbList(bool checked = false);
    void SetVisibleHeadUnitPanel(bool visible);
    void SetVisibleUsbPanel(bool visible);
    // Called by the main window's re-translation.
    void RetranslateUi();

    // Closes the list on a press anywhere but on the list, its button or the
    // footer; never consumes the event.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetSpaceInfo(std::int64_t freeSpace, std::int64_t totalSpace, QProgressBar* bar, QLabel* label);
    void OnItemClicked(QListWidgetItem* item);
    void HideUsbList();

    std::unique_ptr<FooterWidget> form;
    QListWidget* usbList;
    ElidedText* usbPath; // a child of the stick's label
    QTimer spaceTimer;
};

} // namespace Ui
