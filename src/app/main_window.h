#pragma once
// The main window: the address box, Go!, the result box, the log and the
// donation button.

#include <memory>

#include <QWidget>

#include "app/app_settings.h"
#include "app/message_box_notifier.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace brindlecast {

class LogBoxSink;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    /// Builds the window with its controls and writes the welcome line to the log.
    explicit MainWindow(AppSettings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Go!: runs a retrieval for the address in url and shows a non-empty
    /// result in download. Does nothing while a retrieval runs.
    void on_go_clicked();
    /// Opens a fresh DonationWindow, modal to the whole program.
    void on_donate_clicked();

    bool retrieval_running() const { return retrieval_running_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void on_main_window_created();

    AppSettings settings_;
    QLineEdit* url_ = nullptr;
    QPushButton* go_button_ = nullptr;
    QLabel* download_label_ = nullptr;
    QLineEdit* download_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QPushButton* donate_button_ = nullptr;
    std::unique_ptr<LogBoxSink> log_sink_;
    MessageBoxNotifier notifier_;
    bool retrieval_running_ = false;
};

}  // namespace brindlecast
