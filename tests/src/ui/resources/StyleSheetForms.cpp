#include "StyleSheetForms.h"

// Add a row here for each form that loads a style sheet, e.g.
//   {":/styles/FooterWidget.qss", Make<Ui::Footer>},
// with the form's header included above.

namespace {

template <typename Form> std::unique_ptr<QWidget> Make()
{
    return std::make_unique<Form>();
}

} // namespace

const std::vector<StyleSheetForm>& StyleSheetForms()
{
    static const std::vector<StyleSheetForm> forms = {};
    return forms;
}
