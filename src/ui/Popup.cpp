// The popup's frame: construction, SetState and the status strip, placement,
// visibility and the fade-out, and its link.
#include "Popup.h"

#include "Config.h"
#include "IUi.h"
#include "Log.h"
#include "PopupPlacement.h"
#include "Resources.h"
#include "Taskbar.h"
#include "TrayArea.h"
#include "UsbStorage.h"
#include "WindowStacking.h"
#include "ui_PopupDialog.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QVariant>

#include <sstream>
#include <string>

namespace Ui {

namespace {

const char* const kStyle = ":/styles/PopupDialog.qss";
const char* const kLinkProperty = "LinkId";
constexpr int kVisibleMs = 5000;
constexpr int kFadeStepMs = 50;
constexpr double kFadeStep = 0.025;
constexpr double kFadedOut = 0.01;

QString Translate(const QString& text)
{
    return text.isEmpty() ? QString() : QCoreApplication::translate("global", text.toUtf8().constData());
}

// The application name goes into a text's lowest place marker; a text without
// one is left alone (arg would warn on each state).
QString WithAppName(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?[1-9]"));
    return text.contains(marker) ? text.arg(Config::Instance().appName) : text;
}

// "[(left,top),(right,bottom)]", the corners inclusive.
std::string Corners(const QRect& rect)
{
    std::ostringstream out;
    out << "[(" << rect.left() << "," << rect.top() << "),(" << rect.right() << "," << rect.bottom() << ")]";
    return out.str();
}

// The selected stick has no metadata to offer: none is selected or it has no update folder.
bool StickWithoutMetadata()
{
    const UsbInfo stick = UsbStorage::Instance().GetSelectedUsb();
    return !stick.IsValid() || stick.state == UsbInfo::NoMetadata;
}

} // namespace

Popup::Popup(IUi* facade, QWidget* parent)
    : QDialog(parent)
    , form(std::make_unique<PopupDialog>())
    , taskbar([](int& edge, const QRect& trayIcon) { return GetTaskbarGeometry(edge, trayIcon); })
{
    form->setupUi(this);
    form->labelStatusTitle->setFont(Fonts::Get(Fonts::Bold, 13));
    form->labelContentTitle->setFont(Fonts::Get(Fonts::Bold, 13));
    form->labelStatusText->setFont(Fonts::Get(Fonts::Regular, 12));
    form->labelContentText->setFont(Fonts::Get(Fonts::Regular, 12));
    form->pushButtonContentLink->setFont(Fonts::Get(Fonts::Regular, 12));
    // The popup comes up while the user types in another program: it never
    // takes the keyboard, and its link answers the mouse only (no focus, no
    // default button), so no stray Return or Space can act on it.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::CustomizeWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    LoadStylesheet(kStyle, this);
    visibleTimer.setSingleShot(true);
    connect(&visibleTimer, &QTimer::timeout, this, [this] { fadeTimer.start(kFadeStepMs); });
    connect(&fadeTimer, &QTimer::timeout, this, &Popup::OnFadeTimeout);
    connect(form->pushButtonContentLink, &QPushButton::clicked, this, &Popup::OnLinkButtonClicked);
    connect(facade, &IUi::UpdateLocale, this, &Popup::RetranslateUi);
    CreateStateData();
}

Popup::~Popup() = default;

void Popup::SetTaskbarSource(TaskbarSource source)
{
    taskbar = std::move(source);
}

Popup::StateData Popup::Record(State s) const
{
    const auto found = stateData.find(s);
    return found == stateData.end() ? StateData() : found->second;
}

void Popup::SetState(State newState)
{
    const bool withoutMetadata = StickWithoutMetadata();
    // Held on the removed-stick message; re-applying that message itself (a
    // language change) is not another state and goes through.
    if (state == State::UsbRemoved && newState != State::UsbRemoved && newState != State::MapDownload
        && withoutMetadata) {
        LOG(Debug) << "Ignoring: " << newState << " state";
        return;
    }
    if (newState != state) {
        LOG(Debug) << "Changing state from: " << state << " to: " << newState;
        state = newState;
    }
    ApplyContent(Record(state));
    UpdateStatus();
    const bool quiet
        = state == State::RootUpdate || state == State::UsbCheck || (state == State::MapUpdateCheck && withoutMetadata);
    if (!quiet)
        ShowAndActivate();
}

void Popup::ApplyContent(const StateData& record)
{
    form->labelContentTitle->setText(Translate(record.contentTitle));
    form->labelContentTitle->setVisible(!record.contentTitle.isEmpty());
    form->labelContentIcon->Init(record.contentIcon, record.contentIconFrames);
    form->labelContentIcon->setVisible(!record.contentIcon.isEmpty());
    form->labelContentText->setText(WithAppName(Translate(record.contentText)));
    form->labelContentText->setVisible(!record.contentText.isEmpty());
    form->pushButtonContentLink->setText(Translate(record.linkText));
    form->pushButtonContentLink->setVisible(!record.linkText.isEmpty());
    form->pushButtonContentLink->setProperty(kLinkProperty, static_cast<int>(record.link));
}

void Popup::UpdateStatus()
{
    if (UsbStorage::Instance().GetSelectedUsb().IsValid() || state == State::UsbRemoved) {
        const StateData record = Record(state);
        form->widgetStatus->setVisible(true);
        form->labelStatusTitle->setText(Translate(record.statusTitle));
        form->labelStatusTitle->setVisible(!record.statusTitle.isEmpty());
        form->labelStatusText->setText(Translate(record.statusText));
        form->labelStatusText->setVisible(!record.statusText.isEmpty());
        form->labelStatusText->setStyleSheet(record.statusStyle);
        form->labelStatusIcon->Init(record.statusIcon, record.statusIconFrames);
        form->labelStatusIcon->setVisible(record.statusIconFrames > 0);
    } else {
        form->widgetStatus->setVisible(false);
    }
    adjustSize();
    // adjustSize measures the height at the preferred width, which the fixed
    // width can cut, so a long wrapped text would lose its last line.
    resize(width(), heightForWidth(width()));
    updateGeometry();
}

void Popup::SetGeometry(const QRect& trayIcon)
{
    PopupPlacement in;
    in.taskbar = taskbar(in.edge, trayIcon);
    in.outer = frameGeometry();
    in.client = geometry().size();
    in.tray = trayIcon;
    in.area = AvailableAreaAt(trayIcon.topRight());
    const QRect placed = PlacePopup(in);
    LOG(Debug) << "Updating popup geometry from: " << Corners(geometry()) << " to: " << Corners(placed);
    setGeometry(placed);
}

// Activating the popup brings it above the other windows; taking the focus
// would steal the keys of the program the user is typing in.
void Popup::ShowAndActivate()
{
    show();
    raise();
}

void Popup::setVisible(bool visible)
{
    LOG(Debug) << "Setting popup visibility to: " << (visible ? "true" : "false");
    fadeTimer.stop();
    if (visible) {
        setWindowOpacity(1.0);
        if (!mouseInside)
            visibleTimer.start(kVisibleMs);
    } else {
        visibleTimer.stop();
    }
    QDialog::setVisible(visible);
}

void Popup::OnFadeTimeout()
{
    const double opacity = windowOpacity() - kFadeStep;
    if (opacity < kFadedOut) {
        fadeTimer.stop();
        hide();
    } else {
        setWindowOpacity(opacity);
    }
}

void Popup::enterEvent(QEvent* event)
{
    fadeTimer.stop();
    visibleTimer.stop();
    setWindowOpacity(1.0);
    mouseInside = true;
    SetStaysOnTop(this, true);
    QDialog::enterEvent(event);
}

void Popup::leaveEvent(QEvent* event)
{
    SetStaysOnTop(this, false);
    mouseInside = false;
    visibleTimer.start(kVisibleMs);
    QDialog::leaveEvent(event);
}

void Popup::OnLinkButtonClicked()
{
    const QObject* source = sender();
    const QVariant id = source ? source->property(kLinkProperty) : QVariant();
    if (!id.isValid()) {
        LOG(Warning) << "Invalid property";
        return;
    }
    const auto link = static_cast<PopupLink>(id.toInt());
    if (link == PopupLink::Continue)
        state = State::RootUpdate; // lifts the hold on the removed-stick message
    emit LinkClicked(link);
}

void Popup::RetranslateUi()
{
    LOG(Debug) << "Retranslating widget's strings";
    SetState(state);
}

} // namespace Ui
