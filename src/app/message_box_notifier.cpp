#include "app/message_box_notifier.h"

#include <QMessageBox>

#include "app/app_text.h"

namespace brindlecast {

void MessageBoxNotifier::notify(std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::NoIcon, from_cp936(caption), from_cp936(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace brindlecast
