// Builds a dialog's controls from its window description: one Qt widget per control, named and
// placed as described, in the description's Tab order.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "shell/Layout.h"

class QComboBox;
class QDialog;

namespace kelbo {

class SpecControls {
public:
    // Creates every control of `spec` on `dialog` and gives the dialog its name, caption, font
    // and fixed frame.
    SpecControls(QDialog* dialog, const shell::WindowSpec& spec);

    // The control named `name`, as the type it was made with; null when there is none.
    template <typename T> T* get(const QString& name) const {
        return qobject_cast<T*>(controls_.value(name));
    }

private:
    QHash<QString, QWidget*> controls_;
};

// Replaces the entries of a drop-down list with `choices` (UTF-8).
void fillChoices(QComboBox* box, const std::vector<std::string>& choices);

} // namespace kelbo
