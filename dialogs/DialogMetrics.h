// Look and placement shared by the item dialogs, the help windows and the about box.
#pragma once

#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QValidator>
#include <QWidget>
#include <optional>
#include <string>

#include "app/Twips.h"
#include "shell/Layout.h"
#include "shell/View.h"

namespace kelbo {

inline Twips twipsOf(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : nullptr;
    return screen ? Twips::forScreen(screen) : Twips::forScreen();
}

inline void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsOf(widget).rect(left, top, width, height));
}

// Places a control where the window's description puts the control of the same name.
inline void placeTwips(QWidget* widget, const shell::WindowSpec& window) {
    const shell::ControlSpec* control = window.find(widget->objectName().toStdString());
    if (control)
        placeTwips(widget, control->twips.left, control->twips.top, control->twips.width,
                   control->twips.height);
}

// The classic dialog font: MS Sans Serif 8.25 pt where it exists, a sans-serif of the same size
// elsewhere.
inline QFont classicFont(bool bold = false, bool underline = false) {
    QFont font;
    // The layouts are measured for that font's narrow letters: Arial-like faces come next.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// Fixed single border with a title bar but neither a close box nor minimize/maximize buttons.
inline void setFixedDialogFrame(QDialog* dialog, int clientWidthTwips, int clientHeightTwips) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(twipsOf(dialog).size(clientWidthTwips, clientHeightTwips));
}

// A fixed place on the screen, given in twips from its top-left corner.
inline void moveToTwips(QWidget* window, int left, int top) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    const Twips twips = twipsOf(window);
    window->move(origin.x() + twips.px(left), origin.y() + twips.px(top));
}

// Refuses a TAB or a line break in a one-line field: pasted into an identifier or a type, a TAB
// would move the split of the item line and a line break would split the line in the list.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                return Invalid;
        return Acceptable;
    }
};

// Dark blue 0x00C00000 and red 0x000000FF, written as RGB.
inline constexpr QRgb kDarkBlue = 0xFF0000C0;
inline constexpr QRgb kRed = 0xFFFF0000;

} // namespace kelbo
