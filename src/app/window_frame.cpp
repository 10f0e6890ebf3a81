#include "app/window_frame.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace brindlecast {

QSize client_size_for_outer(QSize outer) {
    return {outer.width() - 2 * kFrameBorder, outer.height() - 2 * kFrameBorder - kTitleBarHeight};
}

void set_up_fixed_window(QWidget& window, QSize outer) {
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(client_size_for_outer(outer));

    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        // move() places the frame's top-left corner, so centring the outer size
        // centres the whole window as the user sees it.
        window.move(area.x() + (area.width() - outer.width()) / 2,
                    area.y() + (area.height() - outer.height()) / 2);
    }
}

}  // namespace brindlecast
