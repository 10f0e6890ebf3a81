#pragma once
// The fixed frame that both windows share: a size given as the outer size of
// the window, no resizing, no maximise box, centred on the screen.

#include <QSize>

class QWidget;

namespace brindlecast {

/// Room the frame is taken to need around the client area: the window
/// manager's real frame is unknown until the window is mapped, so a nominal
/// thin border and title bar stand for it. With these the controls of both
/// layouts fit and keep a margin of about 6 pixels to the right and below.
inline constexpr int kFrameBorder = 2;
inline constexpr int kTitleBarHeight = 23;

/// The client size of a window whose outer size is outer.
QSize client_size_for_outer(QSize outer);

/// Makes window a top-level window with a fixed frame of the given outer size
/// (title bar, system menu, minimise and close boxes, no maximise box), its
/// background in the button face colour, its outer rectangle centred on the
/// primary screen's work area.
void set_up_fixed_window(QWidget& window, QSize outer);

}  // namespace brindlecast
