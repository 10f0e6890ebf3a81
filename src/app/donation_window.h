#pragma once
// The window with the two donation pictures.

#include <QWidget>

namespace brindlecast {

class DonationWindow final : public QWidget {
    Q_OBJECT
public:
    /// A window without owner, modal to the whole program, deleted when closed;
    /// Esc closes it.
    DonationWindow();
};

}  // namespace brindlecast
