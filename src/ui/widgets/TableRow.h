#pragma once

#include "MapInfo.h"

#include <QWidget>

#include <memory>

namespace Ui {
class MapRowWidget; // uic's class for MapRowWidget.ui
class ElidedText;

// One row of the main window's map list: the region icon, the name, a line
// with release and size (or the completion note) and the one action the map's
// state allows. Everything is decided at construction from a copy of the map;
// the owner builds the rows again when the list or the language changes.
// GUI thread only; owned by the map list it is placed in.
class TableRow : public QWidget {
    Q_OBJECT

public:
    explicit TableRow(const MapInfo& mapInfo, QWidget* parent = nullptr);
    ~TableRow() override;

signals:
    // "Download map": carries the row's copy of the map as it was when built.
    void ResetMapButtonClicked(MapInfo mapInfo);
    // "Cancel map update" of a pending map.
    void DiscardMapButtonClicked();

private:
    void SetTexts();
    void SetIcon();

    std::unique_ptr<MapRowWidget> form;
    MapInfo map;
    ElidedText* title; // a child of the name's label
};

} // namespace Ui
