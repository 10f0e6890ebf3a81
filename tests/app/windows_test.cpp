// The two windows: layout, keyboard, modality and the log box.

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/donation_window.h"
#include "app/live_log_sink.h"
#include "app/log_flushing_notifier.h"
#include "app/log_box_sink.h"
#include "app/main_window.h"
#include "app/retrieval_input_guard.h"
#include "fixed_clock.h"
#include "recorders.h"
#include "text/cp936.h"

using namespace brindlecast;

namespace {

const QString kWelcomeLine = QStringLiteral("1/5 09:03:07: 欢迎打赏!");

// The centre of a window's outer rectangle, taking pos() as its frame corner.
QPoint outer_centre(const QWidget& window, QSize outer) { return QRect(window.pos(), outer).center(); }

void expect_centred(const QWidget& window, QSize outer) {
    const QPoint screen_centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint offset = outer_centre(window, outer) - screen_centre;
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
}

void expect_fixed_frame_without_maximise(const QWidget& window) {
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::Window));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
}

// Bytes of a baseline JPEG: a start-of-frame 0 segment, none of the
// progressive kind, and its component count.
struct JpegFrame {
    bool baseline = false;
    bool progressive = false;
    int components = 0;
    int width = 0;
    int height = 0;
};

JpegFrame read_jpeg_frame(const QByteArray& bytes) {
    JpegFrame frame;
    qsizetype at = 2;  // after SOI
    while (at + 4 <= bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) {
            break;
        }
        const auto marker = static_cast<unsigned char>(bytes[at + 1]);
        const int length = (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                           static_cast<unsigned char>(bytes[at + 3]);
        if (marker == 0xC0 || marker == 0xC2) {
            (marker == 0xC0 ? frame.baseline : frame.progressive) = true;
            frame.height = (static_cast<unsigned char>(bytes[at + 5]) << 8) |
                           static_cast<unsigned char>(bytes[at + 6]);
            frame.width = (static_cast<unsigned char>(bytes[at + 7]) << 8) |
                          static_cast<unsigned char>(bytes[at + 8]);
            frame.components = static_cast<unsigned char>(bytes[at + 9]);
            break;
        }
        at += 2 + length;
    }
    return frame;
}

}  // namespace

class WindowsTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void main_window_controls_have_their_names_places_and_captions();
    void main_window_has_a_fixed_centred_frame_without_maximise_box();
    void donate_button_uses_its_face_at_12_pixels_with_a_fallback();
    void welcome_line_is_the_first_log_line();

    void enter_in_url_download_or_a_button_opens_donation_window_not_go_data();
    void enter_in_url_download_or_a_button_opens_donation_window_not_go();
    void enter_with_ctrl_shift_or_alt_opens_nothing();
    void enter_in_log_is_a_line_break();
    void escape_in_main_window_closes_it();

    void donation_window_has_its_pictures_stretched_to_their_boxes();
    void donation_pictures_are_baseline_jpegs_of_their_sizes_and_lengths();
    void donation_window_keeps_main_window_from_taking_clicks();
    void escape_in_donation_window_closes_only_it();
    void each_donate_click_makes_a_fresh_donation_window();

    void log_box_appends_at_the_very_end_whatever_was_typed();
    void log_box_shows_one_line_per_crlf_and_follows_the_newest();
    void log_box_appends_cannot_be_undone();
    void live_sink_passes_lines_on_in_order_at_most_once_per_interval();
    void live_sink_passes_on_what_is_left_when_it_ends();
    void notices_come_after_the_lines_before_them();
    void input_guard_discards_input_to_its_window_only();

private:
    void show_main_window();
    QWidget* open_donation_window_by_click();

    testing::FixedClock clock_{testing::fifth_of_january()};
    std::unique_ptr<MainWindow> window_;
};

void WindowsTest::init() {
    AppSettings settings;
    settings.resource_host = "127.0.0.1:9";
    settings.preview_host = "127.0.0.1:9";
    settings.run_directory = "/nonexistent";
    settings.clock = &clock_;
    window_ = std::make_unique<MainWindow>(settings);
}

void WindowsTest::cleanup() {
    // A donation window left open by a failed check must not block the next test.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QCoreApplication::processEvents();
    }
    window_.reset();
}

void WindowsTest::show_main_window() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

QWidget* WindowsTest::open_donation_window_by_click() {
    auto* donate = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
    QTest::mouseClick(donate, Qt::LeftButton);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<DonationWindow*>(top) != nullptr && top->isVisible()) {
            return top;
        }
    }
    return nullptr;
}

void WindowsTest::main_window_controls_have_their_names_places_and_captions() {
    struct Case {
        const char* name;
        const char* kind;
        QRect geometry;
        QString caption;
    };
    const Case cases[] = {
        {"url", "QLineEdit", {8, 8, 440, 24}, QString()},
        {"按钮1", "QPushButton", {456, 8, 48, 24}, QStringLiteral("Go!")},
        {"标签1", "QLabel", {8, 48, 56, 24}, QStringLiteral("下载地址")},
        {"download", "QLineEdit", {63, 48, 440, 24}, QString()},
        {"Log", "QPlainTextEdit", {8, 80, 496, 248}, QString()},
        {"按钮2", "QPushButton", {512, 8, 56, 320}, QStringLiteral("欢\n迎\n打\n赏")},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        auto* control = window_->findChild<QWidget*>(name);
        QVERIFY2(control != nullptr, c.name);
        QVERIFY2(control->inherits(c.kind), c.name);
        QCOMPARE(control->geometry(), c.geometry);
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), c.caption);
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            QCOMPARE(label->text(), c.caption);
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(line->text(), c.caption);
            QVERIFY(!line->isReadOnly());
            // No length limit: a text past Qt's default of 32767 stays whole.
            const QString long_text = QStringLiteral("id=") + QString(40000, QLatin1Char('a'));
            line->setText(long_text);
            QCOMPARE(line->text().size(), long_text.size());
            QVERIFY(line->text() == long_text);
            line->clear();
        }
    }

    auto* log = window_->findChild<QPlainTextEdit*>(QStringLiteral("Log"));
    QCOMPARE(log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!log->isReadOnly());

    auto* go = window_->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* donate = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
    QVERIFY(donate->isDefault());
    QVERIFY(!go->isDefault());
    QVERIFY(!go->autoDefault());
}

void WindowsTest::main_window_has_a_fixed_centred_frame_without_maximise_box() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Brindlecast By Halvex Pelmora"));
    expect_fixed_frame_without_maximise(*window_);
    // Every control fits the client area that the outer size leaves.
    for (QWidget* child : window_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QVERIFY2(window_->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
    expect_centred(*window_, QSize(578, 361));
}

void WindowsTest::donate_button_uses_its_face_at_12_pixels_with_a_fallback() {
    auto* donate = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
    const QFont font = donate->font();
    QCOMPARE(font.families().value(0), QStringLiteral("微软雅黑"));
    QCOMPARE(font.pixelSize(), 12);
    QCOMPARE(font.weight(), QFont::Normal);
    QCOMPARE(font.styleHint(), QFont::SansSerif);

    // Where the face is missing, a listed face that has the caption's glyphs
    // stands in for it, not a Latin-only default.
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(font.families().contains(resolved), qPrintable(resolved));
    const QFontMetrics metrics(font);
    for (const QChar character : QStringLiteral("欢迎打赏")) {
        QVERIFY2(metrics.inFont(character), qPrintable(resolved));
    }
    QVERIFY(metrics.height() < 24);  // four lines of 12-pixel text fit the tall button

    auto* go = window_->findChild<QPushButton*>(QStringLiteral("按钮1"));
    QCOMPARE(go->font(), QApplication::font(go));
}

void WindowsTest::welcome_line_is_the_first_log_line() {
    auto* log = window_->findChild<QPlainTextEdit*>(QStringLiteral("Log"));
    QCOMPARE(log->toPlainText(), kWelcomeLine + QStringLiteral("\n"));
    QVERIFY(log->textCursor().atEnd());
}

void WindowsTest::enter_in_url_download_or_a_button_opens_donation_window_not_go_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    for (const char* name : {"url", "download", "按钮1", "按钮2"}) {
        QTest::addRow("%s Return", name) << QString::fromUtf8(name) << int(Qt::Key_Return);
        QTest::addRow("%s keypad Enter", name) << QString::fromUtf8(name) << int(Qt::Key_Enter);
    }
}

void WindowsTest::enter_in_url_download_or_a_button_opens_donation_window_not_go() {
    QFETCH(QString, control);
    QFETCH(int, key);
    show_main_window();
    auto* url = window_->findChild<QLineEdit*>(QStringLiteral("url"));
    // A well-formed address: Go! would start a retrieval and log its first line.
    url->setText(QStringLiteral("http://127.0.0.1:9/cases?id=ff808081769a6f150176a809d8d4049d"));
    auto* target = window_->findChild<QWidget*>(control);
    target->setFocus();

    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);

    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal != nullptr);
    QVERIFY(qobject_cast<DonationWindow*>(modal) != nullptr);
    auto* log = window_->findChild<QPlainTextEdit*>(QStringLiteral("Log"));
    QCOMPARE(log->toPlainText(), kWelcomeLine + QStringLiteral("\n"));
    QVERIFY(!window_->retrieval_running());
}

void WindowsTest::enter_with_ctrl_shift_or_alt_opens_nothing() {
    show_main_window();
    for (const char* name : {"url", "download", "按钮1", "按钮2"}) {
        for (const Qt::KeyboardModifier modifier :
             {Qt::ControlModifier, Qt::ShiftModifier, Qt::AltModifier}) {
            auto* target = window_->findChild<QWidget*>(QString::fromUtf8(name));
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return, modifier);
            QVERIFY2(QApplication::activeModalWidget() == nullptr, name);
        }
    }
    QVERIFY(window_->isVisible());
}

void WindowsTest::enter_in_log_is_a_line_break() {
    show_main_window();
    auto* log = window_->findChild<QPlainTextEdit*>(QStringLiteral("Log"));
    log->setFocus();
    QTest::keyClicks(log, QStringLiteral("ab"));
    QTest::keyClick(log, Qt::Key_Return);
    QTest::keyClicks(log, QStringLiteral("cd"));
    QCOMPARE(log->toPlainText(), kWelcomeLine + QStringLiteral("\nab\ncd"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void WindowsTest::escape_in_main_window_closes_it() {
    struct Case {
        const char* control;
    };
    for (const Case c : {Case{"url"}, Case{"Log"}, Case{"按钮1"}}) {
        show_main_window();
        auto* target = window_->findChild<QWidget*>(QString::fromUtf8(c.control));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY2(window_->isVisible(), c.control);  // only a bare Esc closes
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY2(!window_->isVisible(), c.control);
    }
}

void WindowsTest::donation_window_has_its_pictures_stretched_to_their_boxes() {
    DonationWindow donation;
    QVERIFY(donation.windowTitle().trimmed().isEmpty());
    expect_fixed_frame_without_maximise(donation);
    expect_centred(donation, QSize(540, 385));
    QCOMPARE(donation.windowModality(), Qt::ApplicationModal);
    QVERIFY(donation.parentWidget() == nullptr);

    struct Case {
        const char* name;
        QRect geometry;
        QSize picture;
    };
    const Case cases[] = {
        {"图片框1", {8, 0, 264, 232}, {726, 677}},
        {"图片框2", {272, 0, 264, 352}, {687, 1006}},
    };
    for (const Case& c : cases) {
        auto* box = donation.findChild<QLabel*>(QString::fromUtf8(c.name));
        QVERIFY2(box != nullptr, c.name);
        QCOMPARE(box->geometry(), c.geometry);
        QVERIFY(donation.rect().contains(box->geometry()));
        QCOMPARE(box->frameShape(), QFrame::NoFrame);
        QVERIFY(box->hasScaledContents());
        QCOMPARE(box->pixmap().size(), c.picture);
    }
}

void WindowsTest::donation_pictures_are_baseline_jpegs_of_their_sizes_and_lengths() {
    struct Case {
        const char* resource;
        int width;
        int height;
        qsizetype bytes;
    };
    const Case cases[] = {
        {":/donation/donation_picture_a.jpg", 687, 1006, 133598},
        {":/donation/donation_picture_b.jpg", 726, 677, 84507},
    };
    DonationWindow donation;  // registers the resources
    for (const Case& c : cases) {
        QFile file(QString::fromLatin1(c.resource));
        QVERIFY2(file.open(QIODevice::ReadOnly), c.resource);
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), c.bytes);
        QVERIFY(bytes.startsWith("\xFF\xD8"));
        const JpegFrame frame = read_jpeg_frame(bytes);
        QVERIFY2(frame.baseline && !frame.progressive, c.resource);
        QCOMPARE(frame.components, 3);
        QCOMPARE(frame.width, c.width);
        QCOMPARE(frame.height, c.height);
    }
}

void WindowsTest::donation_window_keeps_main_window_from_taking_clicks() {
    show_main_window();
    QPointer<QWidget> donation = open_donation_window_by_click();
    QVERIFY(donation != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(donation));

    // A click as the window system delivers it, on both buttons of the main window.
    auto* go = window_->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* donate = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
    QSignalSpy go_clicks(go, &QPushButton::clicked);
    QSignalSpy donate_clicks(donate, &QPushButton::clicked);
    QWindow* main_handle = window_->windowHandle();
    QTest::mouseClick(main_handle, Qt::LeftButton, Qt::NoModifier, go->geometry().center());
    QTest::mouseClick(main_handle, Qt::LeftButton, Qt::NoModifier, donate->geometry().center());
    QCOMPARE(go_clicks.count(), 0);
    QCOMPARE(donate_clicks.count(), 0);
    QCOMPARE(QApplication::activeModalWidget(), donation.data());

    donation->close();
    QTRY_VERIFY(donation.isNull());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

    // Once it is closed the same click goes through again.
    QTest::mouseClick(main_handle, Qt::LeftButton, Qt::NoModifier, donate->geometry().center());
    QCOMPARE(donate_clicks.count(), 1);
    QVERIFY(qobject_cast<DonationWindow*>(QApplication::activeModalWidget()) != nullptr);
}

void WindowsTest::escape_in_donation_window_closes_only_it() {
    show_main_window();
    QPointer<QWidget> donation = open_donation_window_by_click();
    QVERIFY(donation != nullptr);
    QVERIFY(QTest::qWaitForWindowActive(donation));

    QTest::keyClick(donation, Qt::Key_Escape, Qt::ControlModifier);
    QVERIFY(donation != nullptr && donation->isVisible());
    QTest::keyClick(donation, Qt::Key_Escape);
    QTRY_VERIFY(donation.isNull());  // closed and deleted
    QVERIFY(window_->isVisible());
    QVERIFY(window_->isEnabled());
}

void WindowsTest::each_donate_click_makes_a_fresh_donation_window() {
    show_main_window();
    QPointer<QWidget> first = open_donation_window_by_click();
    QVERIFY(first != nullptr);
    first->close();
    QTRY_VERIFY(first.isNull());

    QPointer<QWidget> second = open_donation_window_by_click();
    QVERIFY(second != nullptr);
    QCOMPARE(window_->findChildren<DonationWindow*>().size(), 0);  // no owner
    QCOMPARE(second->findChild<QLabel*>(QStringLiteral("图片框1"))->pixmap().size(),
             QSize(726, 677));
}

void WindowsTest::log_box_appends_at_the_very_end_whatever_was_typed() {
    QPlainTextEdit box;
    LogBoxSink sink(box);
    sink.write_line(cp936("1/5 09:03:07: 欢迎打赏!\r\n"));
    // The user types at the start of the box, leaving the caret there.
    QTextCursor start(box.document());
    box.setTextCursor(start);
    QTest::keyClicks(&box, QStringLiteral("typed"));
    sink.write_line(cp936("1/5 09:03:08: Json解析成功\r\n"));

    QCOMPARE(box.toPlainText(),
             QStringLiteral("typed1/5 09:03:07: 欢迎打赏!\n1/5 09:03:08: Json解析成功\n"));
    QVERIFY(box.textCursor().atEnd());
    QVERIFY(!box.textCursor().hasSelection());
}

void WindowsTest::log_box_shows_one_line_per_crlf_and_follows_the_newest() {
    QPlainTextEdit box;
    box.setGeometry(0, 0, 496, 248);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    LogBoxSink sink(box);
    sink.write_line(
        cp936("1/5 09:03:07: 链接非法,请检查链接正确性.\r\n示例: http://h/cases?id=x\r\n"));
    QCOMPARE(box.blockCount(), 3);  // two lines and the empty one the caret sits on
    QCOMPARE(box.document()->findBlockByNumber(0).text(),
             QStringLiteral("1/5 09:03:07: 链接非法,请检查链接正确性."));
    QCOMPARE(box.document()->findBlockByNumber(1).text(),
             QStringLiteral("示例: http://h/cases?id=x"));
    QVERIFY(!box.toPlainText().contains(QLatin1Char('\r')));

    for (int i = 0; i < 200; ++i) {
        sink.write_line(cp936("1/5 09:03:08: 已下载:") + std::to_string(i) + "%\r\n");
    }
    QScrollBar* bar = box.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(box.textCursor().atEnd());
}

void WindowsTest::log_box_appends_cannot_be_undone() {
    QPlainTextEdit box;
    LogBoxSink sink(box);
    QTest::keyClicks(&box, QStringLiteral("note"));
    QVERIFY(box.document()->isUndoAvailable());
    sink.write_line(cp936("1/5 09:03:07: 欢迎打赏!\r\n"));
    QVERIFY(!box.document()->isUndoAvailable());
    box.undo();
    QCOMPARE(box.toPlainText(), QStringLiteral("note1/5 09:03:07: 欢迎打赏!\n"));
    // Typing afterwards is undoable as usual.
    QTest::keyClicks(&box, QStringLiteral("x"));
    QVERIFY(box.document()->isUndoAvailable());
}

void WindowsTest::live_sink_passes_lines_on_in_order_at_most_once_per_interval() {
    testing::RecordingLogSink inner;
    LiveLogSink sink(inner, std::chrono::milliseconds(1500));
    int handled = 0;
    const auto post_marker = [&handled] {
        QTimer::singleShot(0, qApp, [&handled] { ++handled; });
    };

    post_marker();
    sink.write_line("first\r\n");
    QCOMPARE(handled, 1);  // the first line is shown at once
    QCOMPARE(inner.lines, std::vector<std::string>({"first\r\n"}));

    post_marker();
    sink.write_line("second\r\n");
    sink.write_line("third\r\n");
    QCOMPARE(handled, 1);  // within the interval: gathered, no event handling
    QCOMPARE(inner.lines.size(), size_t(1));

    QTest::qSleep(1600);
    sink.write_line("fourth\r\n");
    QCOMPARE(handled, 2);
    QCOMPARE(inner.lines,
             std::vector<std::string>({"first\r\n", "second\r\nthird\r\nfourth\r\n"}));
}

void WindowsTest::live_sink_passes_on_what_is_left_when_it_ends() {
    testing::RecordingLogSink inner;
    {
        LiveLogSink sink(inner, std::chrono::hours(1));
        sink.write_line("first\r\n");
        sink.write_line("second\r\n");
        sink.write_line("third\r\n");
        QCOMPARE(inner.lines.size(), size_t(1));
    }
    QCOMPARE(inner.lines, std::vector<std::string>({"first\r\n", "second\r\nthird\r\n"}));
}

void WindowsTest::notices_come_after_the_lines_before_them() {
    // A notice during a download: the box must already show the progress
    // lines that came before it while the notice waits for the user.
    QPlainTextEdit box;
    LogBoxSink box_sink(box);
    LiveLogSink sink(box_sink, std::chrono::hours(1));
    QString box_at_notice;
    struct SnapshotNotifier final : Notifier {
        std::function<void()> on_notice;
        void notify(std::string_view, std::string_view) override { on_notice(); }
    } inner;
    inner.on_notice = [&] { box_at_notice = box.toPlainText(); };
    LogFlushingNotifier notifier(sink, inner);

    sink.write_line(cp936("1/5 09:03:07: 已下载:50%\r\n"));
    sink.write_line(cp936("1/5 09:03:07: 已下载:60%\r\n"));
    notifier.notify(cp936("读文件出错!"), cp936("信息："));
    QCOMPARE(box_at_notice,
             QStringLiteral("1/5 09:03:07: 已下载:50%\n1/5 09:03:07: 已下载:60%\n"));
}

void WindowsTest::input_guard_discards_input_to_its_window_only() {
    show_main_window();
    auto* go = window_->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* url = window_->findChild<QLineEdit*>(QStringLiteral("url"));
    QSignalSpy go_clicks(go, &QPushButton::clicked);

    QWidget other;
    auto* other_button = new QPushButton(QStringLiteral("OK"), &other);
    QSignalSpy other_clicks(other_button, &QPushButton::clicked);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    {
        const RetrievalInputGuard guard(*window_);
        QTest::mouseClick(go, Qt::LeftButton);
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          go->geometry().center());
        url->setFocus();
        QTest::keyClicks(url, QStringLiteral("abc"));
        QTest::keyClick(url, Qt::Key_Return);
        QTest::keyClick(url, Qt::Key_Escape);
        QVERIFY(!window_->close());
        QTest::mouseClick(other_button, Qt::LeftButton);

        QCOMPARE(go_clicks.count(), 0);
        QCOMPARE(url->text(), QString());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window_->isVisible());
        QCOMPARE(other_clicks.count(), 1);
    }
    QCoreApplication::processEvents();
    QCOMPARE(go_clicks.count(), 0);  // discarded, not delivered late
    QTest::mouseClick(go, Qt::LeftButton);
    QCOMPARE(go_clicks.count(), 1);
}

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
