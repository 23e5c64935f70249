#include "TableRow.h"

#include "ElidedText.h"
#include "Filesystem.h"
#include "Resources.h"
#include "ui_MapRowWidget.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace Ui {

namespace {

const char* const kIconSheet = "QFrame#frameMapIcon\n{\n    background: url(%1);    background-repeat: no-repeat;\n"
                               "    background-position: center;\n}";
const char* const kRootIcon = ":/icons/ic_map_root_%1.png";
const char* const kOptionalIcon = ":/icons/ic_map_optional_%1.png";
const char* const kUpToDateIcon = ":/icons/ic_map_uptodate_%1.png";
const char* const kPendingIcon = ":/icons/ic_map_pending_%1.png";

// The picture pattern for the map, or none: a mandatory map of another map
// line that is neither pending nor a root map shows no icon.
const char* IconPattern(const MapInfo& map)
{
    if (map.state == MapInfo::Pending)
        return kPendingIcon;
    if (map.root)
        return kRootIcon;
    switch (map.type) {
    case MapInfo::Optional:
        return kOptionalIcon;
    case MapInfo::Installed:
        return kUpToDateIcon;
    default:
        return nullptr;
    }
}

// The region code comes from the service and ends up inside a style sheet's
// url(): anything but capital letters and digits could close the url() and
// add rules of its own, so such a code gets no icon.
bool IsSafeRegion(const QString& region)
{
    static const QRegularExpression safe(QRegularExpression::anchoredPattern("[A-Z0-9]+"));
    return safe.match(region).hasMatch();
}

} // namespace

TableRow::TableRow(const MapInfo& mapInfo, QWidget* parent)
    : QWidget(parent)
    , form(std::make_unique<MapRowWidget>())
    , map(mapInfo)
{
    form->setupUi(this);
    title = new ElidedText(form->labelMapTitle, Qt::ElideRight);
    // The name follows the width the row leaves it, never the other way round.
    form->labelMapTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    form->pushButtonMapAction->setFont(Fonts::Get(Fonts::Medium, 14));
    form->labelMapTitle->setFont(Fonts::Get(Fonts::Regular, 18));
    form->labelDescription->setFont(Fonts::Get(Fonts::Regular, 12));
    form->pushButtonDiscard->setFont(Fonts::Get(Fonts::Regular, 12));
    form->labelButtonSeparator->setFont(Fonts::Get(Fonts::Regular, 14));
    LoadStylesheet(":/styles/MapRowWidget.qss", this);

    connect(form->pushButtonMapAction, &QPushButton::clicked, this, [this] { emit ResetMapButtonClicked(map); });
    connect(form->pushButtonDiscard, &QPushButton::clicked, this, &TableRow::DiscardMapButtonClicked);

    SetTexts();
    SetIcon();
    const bool available = map.state == MapInfo::Available;
    const bool pending = map.state == MapInfo::Pending;
    form->pushButtonMapAction->setVisible(available);
    form->pushButtonMapAction->setEnabled(available);
    form->pushButtonDiscard->setVisible(pending);
    form->pushButtonDiscard->setEnabled(pending);
}

TableRow::~TableRow() = default;

void TableRow::SetTexts()
{
    // Names come from the service: shown as they are, never as markup.
    form->labelMapTitle->setTextFormat(Qt::PlainText);
    form->labelDescription->setTextFormat(Qt::PlainText);
    form->labelMapTitle->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    title->SetText(QString::fromStdWString(map.name));
    if (map.state == MapInfo::Pending) {
        form->labelDescription->setText(QCoreApplication::translate("global", "Map update downloading completed"));
        form->pushButtonDiscard->setText(QCoreApplication::translate("global", "Cancel map update"));
        form->labelButtonSeparator->setVisible(true);
        return;
    }
    form->labelDescription->setText(
        QCoreApplication::translate("global", "Version %1   |   %2")
            .arg(QString::fromStdString(map.release),
                FormatSize(static_cast<std::uint64_t>(std::max<std::int64_t>(map.size, 0)), 2)));
    form->pushButtonMapAction->setText(QCoreApplication::translate("global", "Download map"));
    form->labelButtonSeparator->setVisible(false);
}

void TableRow::SetIcon()
{
    const QString region = QString::fromStdString(map.region);
    const char* pattern = IconPattern(map);
    if (pattern == nullptr || !IsSafeRegion(region))
        return;
    // A region without pictures keeps a blank frame, without a warning on every paint.
    const QString picture = QString(pattern).arg(region);
    if (QFile::exists(picture))
        form->frameMapIcon->setStyleSheet(QString(kIconSheet).arg(picture));
}

} // namespace Ui
