#include "dialogs/SpecControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

namespace {

QWidget* makeControl(QDialog* dialog, const shell::ControlSpec& spec) {
    using K = shell::ControlKind;
    const QString caption = toQt(spec.caption);
    switch (spec.kind) {
    case K::Button: {
        auto* button = new QPushButton(caption, dialog);
        // Every button takes Enter while it has the focus; the default one while none has.
        button->setAutoDefault(true);
        button->setDefault(spec.role == shell::ButtonRole::Default);
        return button;
    }
    case K::Label: {
        auto* label = new QLabel(caption, dialog);
        if (spec.colour != shell::TextColour::Normal) {
            QPalette palette = label->palette();
            palette.setColor(
                QPalette::WindowText,
                QColor::fromRgb(spec.colour == shell::TextColour::Red ? kRed : kDarkBlue));
            label->setPalette(palette);
        }
        return label;
    }
    case K::Edit:
        return new QLineEdit(dialog);
    case K::TextBox: {
        auto* text = new QPlainTextEdit(dialog);
        text->setReadOnly(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Tab leaves the box, as it does every other control of a dialog.
        text->setTabChangesFocus(true);
        return text;
    }
    case K::CheckBox:
        return new QCheckBox(caption, dialog);
    case K::Option:
        // Auto-exclusive: the options of one window form one group.
        return new QRadioButton(caption, dialog);
    case K::ComboBox:
        return new QComboBox(dialog);
    case K::List: {
        auto* list = new QListWidget(dialog);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    }
    default:
        // Pictures and the folder controls belong to windows that build their own.
        return new QWidget(dialog);
    }
}

} // namespace

SpecControls::SpecControls(QDialog* dialog, const shell::WindowSpec& spec) {
    dialog->setObjectName(toQt(spec.name));
    dialog->setWindowTitle(toQt(spec.caption));
    dialog->setFont(classicFont());
    setFixedDialogFrame(dialog, spec.clientWidth, spec.clientHeight);

    QWidget* previous = nullptr;
    for (const shell::ControlSpec& control : spec.controls) {
        QWidget* widget = makeControl(dialog, control);
        widget->setObjectName(toQt(control.name));
        QFont font = widget->font();
        font.setBold(control.bold);
        font.setUnderline(control.underline);
        widget->setFont(font);
        placeTwips(widget, spec);
        if (control.autoSize)
            widget->adjustSize();
        if (!control.tabStop) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
        controls_.insert(widget->objectName(), widget);
    }
}

void fillChoices(QComboBox* box, const std::vector<std::string>& choices) {
    box->clear();
    for (const std::string& choice : choices)
        box->addItem(toQt(choice));
}

} // namespace kelbo
