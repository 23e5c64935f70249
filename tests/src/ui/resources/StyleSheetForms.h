#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// Which form each style sheet under ":/styles/" is loaded onto, so the resource
// test can check that every "#name" selector of the sheet names an object of
// that form (a misspelt selector gives no warning, it just styles nothing).
struct StyleSheetForm {
    QString sheet;
    std::function<std::unique_ptr<QWidget>()> make;
};

// One row per form that exists; a sheet without a row is only parsed.
const std::vector<StyleSheetForm>& StyleSheetForms();
