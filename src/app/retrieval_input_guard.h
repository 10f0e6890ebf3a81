#pragma once
// Keeps a window deaf to the user while a retrieval runs on its thread.

#include <QObject>

class QWidget;

namespace brindlecast {

/// While it lives, user input (mouse, keys, shortcuts, wheel, touch, drops)
/// and close requests addressed to window or its controls are discarded, not
/// queued. Other top-level windows, such as a message box shown during the
/// retrieval, still take input.
class RetrievalInputGuard final : public QObject {
    Q_OBJECT
public:
    explicit RetrievalInputGuard(QWidget& window);
    ~RetrievalInputGuard() override;
    RetrievalInputGuard(const RetrievalInputGuard&) = delete;
    RetrievalInputGuard& operator=(const RetrievalInputGuard&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongs_to_window(const QObject* object) const;

    QWidget& window_;
};

}  // namespace brindlecast
