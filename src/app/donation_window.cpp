#include "app/donation_window.h"

#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QShortcut>

#include "app/window_frame.h"

// The resources live in this static library; without a reference the linker
// would drop their registration.
static void register_donation_pictures() { Q_INIT_RESOURCE(donation_pictures); }

namespace brindlecast {

namespace {

constexpr QSize kOuterSize(540, 385);

struct PictureBox {
    const char* name;
    QRect geometry;
    const char* resource;
};

constexpr PictureBox kPictureBoxes[] = {
    {"图片框1", QRect(8, 0, 264, 232), ":/donation/donation_picture_b.jpg"},
    {"图片框2", QRect(272, 0, 264, 352), ":/donation/donation_picture_a.jpg"},
};

}  // namespace

DonationWindow::DonationWindow() {
    register_donation_pictures();
    setObjectName(QStringLiteral("DonationWindow"));
    set_up_fixed_window(*this, kOuterSize);
    // Qt puts the program's name into a title bar whose caption is empty;
    // a blank keeps the caption empty to the eye.
    setWindowTitle(QStringLiteral(" "));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);

    for (const PictureBox& box : kPictureBoxes) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromUtf8(box.name));
        label->setGeometry(box.geometry);
        label->setFrameShape(QFrame::NoFrame);
        // Stretched to the whole box, proportions not kept.
        label->setScaledContents(true);
        label->setPixmap(QPixmap::fromImage(QImage(QString::fromLatin1(box.resource))));
    }

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

}  // namespace brindlecast
