// Window geometry is given in twips (1/1440 inch); this is the one place that turns it into
// pixels, at the screen's logical resolution.
#pragma once

#include <QGuiApplication>
#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>
#include <cmath>

namespace kelbo {

inline constexpr double kTwipsPerInch = 1440.0;

class Twips {
public:
    explicit Twips(double logicalDpi) : dpi_(logicalDpi > 0 ? logicalDpi : 96.0) {}
    // The primary screen's logical resolution (96 when there is no screen).
    static Twips forScreen(const QScreen* screen = QGuiApplication::primaryScreen()) {
        return Twips(screen ? screen->logicalDotsPerInchY() : 96.0);
    }

    int px(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch)); }
    QSize size(int width, int height) const { return QSize(px(width), px(height)); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(px(left), px(top), px(width), px(height));
    }
    double dpi() const { return dpi_; }

private:
    double dpi_;
};

// left = (screen width - window width) \ 2, top likewise, on the screen the window will show on.
inline void centreWindow(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

} // namespace kelbo
