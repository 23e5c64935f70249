#pragma once

#include "IconCatalogue.h"

#include <QImage>

// One picture of every icon at its own size, with its name (or frame number), group by group.
QImage ContactSheet(const std::vector<IconGroup>& groups, const QString& labelFamily);
