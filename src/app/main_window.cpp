#include "app/main_window.h"

#include <chrono>
#include <limits>
#include <string>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>

#include "app/app_text.h"
#include "app/donation_window.h"
#include "app/live_log_sink.h"
#include "app/log_box_sink.h"
#include "app/log_flushing_notifier.h"
#include "app/retrieval_input_guard.h"
#include "app/window_frame.h"
#include "log/activity_log.h"
#include "text/cp936.h"
#include "workflow/environment.h"
#include "workflow/go_command.h"

namespace brindlecast {

namespace {

constexpr QSize kOuterSize(578, 361);
// Often enough that the log visibly follows a download, rarely enough that
// painting stays a small share of its time.
constexpr std::chrono::milliseconds kRepaintInterval(80);

// Qt's line edits stop at 32767 characters by default and cut a longer text
// short, which would lose the tail of an address and with it the identifier.
void lift_length_limit(QLineEdit& box) { box.setMaxLength(std::numeric_limits<int>::max()); }

void use_black_on_white(QWidget& box) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    box.setPalette(palette);
}

QFont donate_button_font() {
    QFont font;
    // The face of the layout first; where it is missing, faces that carry
    // the same Chinese glyphs in a similar sans-serif design.
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

MainWindow::MainWindow(AppSettings settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Brindlecast By Halvex Pelmora"));
    set_up_fixed_window(*this, kOuterSize);

    url_ = new QLineEdit(this);
    url_->setObjectName(QStringLiteral("url"));
    url_->setGeometry(8, 8, 440, 24);
    use_black_on_white(*url_);
    lift_length_limit(*url_);

    go_button_ = new QPushButton(QStringLiteral("Go!"), this);
    go_button_->setObjectName(QStringLiteral("按钮1"));
    go_button_->setGeometry(456, 8, 48, 24);
    go_button_->setAutoDefault(false);

    download_label_ = new QLabel(QStringLiteral("下载地址"), this);
    download_label_->setObjectName(QStringLiteral("标签1"));
    download_label_->setGeometry(8, 48, 56, 24);
    download_label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    download_ = new QLineEdit(this);
    download_->setObjectName(QStringLiteral("download"));
    download_->setGeometry(63, 48, 440, 24);
    // A thin single-line border rather than the sunken frame of url.
    download_->setStyleSheet(QStringLiteral(
        "QLineEdit { border: 1px solid black; background: white; color: black; }"));
    lift_length_limit(*download_);

    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("Log"));
    log_->setGeometry(8, 80, 496, 248);
    log_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log_->setFrameStyle(QFrame::Box | QFrame::Plain);
    log_->setLineWidth(1);
    log_->setTabChangesFocus(false);
    use_black_on_white(*log_);

    donate_button_ = new QPushButton(caption_with_line_breaks("欢\r\n迎\r\n打\r\n赏"), this);
    donate_button_->setObjectName(QStringLiteral("按钮2"));
    donate_button_->setGeometry(512, 8, 56, 320);
    donate_button_->setAutoDefault(false);
    donate_button_->setDefault(true);
    donate_button_->setFont(donate_button_font());

    // Enter in these controls is taken here, before a button handles it itself.
    for (QWidget* control : {static_cast<QWidget*>(url_), static_cast<QWidget*>(download_),
                             static_cast<QWidget*>(go_button_),
                             static_cast<QWidget*>(donate_button_)}) {
        control->installEventFilter(this);
    }

    connect(go_button_, &QPushButton::clicked, this, &MainWindow::on_go_clicked);
    connect(donate_button_, &QPushButton::clicked, this, &MainWindow::on_donate_clicked);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    log_sink_ = std::make_unique<LogBoxSink>(*log_);
    on_main_window_created();
}

MainWindow::~MainWindow() = default;

void MainWindow::on_main_window_created() {
    append_log(*log_sink_, cp936("欢迎打赏!"), *settings_.clock);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter means the default button, never Go!; with Ctrl, Shift or
            // Alt it means nothing.
            const Qt::KeyboardModifiers held =
                key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
            if (held == Qt::NoModifier) {
                donate_button_->click();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::on_go_clicked() {
    // Input is discarded during a retrieval, so this only guards against a
    // programmatic click from inside one.
    if (retrieval_running_) {
        return;
    }
    retrieval_running_ = true;
    const auto done = qScopeGuard([this] { retrieval_running_ = false; });

    const std::string entered_address = to_cp936(url_->text());

    // One thread as ever, but the window repaints as log lines arrive and
    // input meanwhile is thrown away rather than run after the retrieval.
    // The guard is made first and so goes last, after the final lines are in.
    const RetrievalInputGuard guard(*this);
    LiveLogSink log(*log_sink_, kRepaintInterval);
    LogFlushingNotifier notifier(log, notifier_);

    Environment environment;
    environment.resource_host = settings_.resource_host;
    environment.preview_host = settings_.preview_host;
    environment.run_directory = settings_.run_directory;
    environment.ca_file = settings_.ca_file;
    environment.clock = settings_.clock;
    environment.log = &log;
    environment.notifier = &notifier;

    const GoOutcome outcome = run_go_command(entered_address, environment);
    log.flush();
    if (outcome.kind == GoOutcome::Kind::succeeded && !outcome.result.empty()) {
        download_->setText(from_cp936(outcome.result));
    }
    // Input that came after the last repaint is still queued; it is handled,
    // and so thrown away, while the guard stands.
    QCoreApplication::processEvents();
}

void MainWindow::on_donate_clicked() {
    // No owner: the window stands on its own, and its modality keeps this one
    // from taking input until it is closed.
    auto* donation = new DonationWindow();
    donation->show();
}

}  // namespace brindlecast
