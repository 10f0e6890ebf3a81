#include "app/retrieval_input_guard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace brindlecast {

namespace {

bool is_user_input(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

}  // namespace

RetrievalInputGuard::RetrievalInputGuard(QWidget& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

RetrievalInputGuard::~RetrievalInputGuard() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool RetrievalInputGuard::belongs_to_window(const QObject* object) const {
    // Shortcuts and other helpers are plain QObjects; their owning widget decides.
    for (; object != nullptr; object = object->parent()) {
        if (object->isWidgetType()) {
            return static_cast<const QWidget*>(object)->window() == &window_;
        }
        if (object->isWindowType()) {
            return object == window_.windowHandle();
        }
    }
    return false;
}

bool RetrievalInputGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!is_user_input(event->type()) || !belongs_to_window(watched)) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // An accepted override tells the shortcut map that the focus widget
        // wants the key itself, so no shortcut (Esc closing the window) fires;
        // the key press that follows is discarded here as well.
        event->accept();
    } else {
        // An ignored close event keeps the window open.
        event->ignore();
    }
    return true;
}

}  // namespace brindlecast
