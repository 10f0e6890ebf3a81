// Go! in the main window against the demo library on loopback servers.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/donation_window.h"
#include "app/main_window.h"
#include "demo_catalogue.h"
#include "demo_library.h"
#include "fixed_clock.h"
#include "loopback_server.h"

using namespace brindlecast;
using demo::ServerRole;

namespace {

constexpr const char* kStamp = "1/5 09:03:07: ";

QString line(const char* message) { return QString::fromUtf8(kStamp) + QString::fromUtf8(message); }

QByteArray read_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray as_bytes(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Runs check every few milliseconds on the window thread until it returns true.
// Timers only fire while the retrieval lets the window handle events.
class Poller {
public:
    explicit Poller(std::function<bool()> check) : check_(std::move(check)) {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (!done_ && check_()) {
                done_ = true;
                timer_.stop();
            }
        });
        timer_.start(5);
    }
    bool done() const { return done_; }

private:
    std::function<bool()> check_;
    QTimer timer_;
    bool done_ = false;
};

}  // namespace

class GoWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void invalid_address_logs_two_lines_and_leaves_download_data();
    void invalid_address_logs_two_lines_and_leaves_download();
    void go_saves_the_pdf_and_videos_and_shows_the_result();
    void empty_detail_answer_logs_failure_and_leaves_download();
    void unparsable_detail_answer_goes_into_download_without_failure_line();
    void download_error_shows_a_message_box_while_go_waits();
    void window_repaints_and_discards_input_during_a_retrieval();

private:
    QLineEdit* url() { return window_->findChild<QLineEdit*>(QStringLiteral("url")); }
    QLineEdit* download() { return window_->findChild<QLineEdit*>(QStringLiteral("download")); }
    QPlainTextEdit* log() { return window_->findChild<QPlainTextEdit*>(QStringLiteral("Log")); }
    QPushButton* go() { return window_->findChild<QPushButton*>(QStringLiteral("按钮1")); }
    QStringList log_lines() { return log()->toPlainText().split(QLatin1Char('\n')); }
    void press_go_for(const char* case_id);
    QString run_file(const QString& name) const { return run_directory_->filePath(name); }

    testing::FixedClock clock_{testing::fifth_of_january()};
    std::unique_ptr<demo::DemoLibrary> library_;
    std::unique_ptr<testing::LoopbackServer> resource_;
    std::unique_ptr<testing::LoopbackServer> preview_;
    std::unique_ptr<QTemporaryDir> run_directory_;
    std::unique_ptr<MainWindow> window_;
};

void GoWindowTest::init() {
    library_ = std::make_unique<demo::DemoLibrary>(demo::demo_catalogue());
    resource_ = std::make_unique<testing::LoopbackServer>(testing::Scheme::http);
    preview_ = std::make_unique<testing::LoopbackServer>(testing::Scheme::https);
    library_->mount(resource_->server(), preview_->server());
    resource_->start();
    preview_->start();
    library_->set_hosts(resource_->host(), preview_->host());

    run_directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(run_directory_->isValid());

    AppSettings settings;
    settings.resource_host = resource_->host();
    settings.preview_host = preview_->host();
    settings.run_directory = QDir(run_directory_->path()).absolutePath().toStdString();
    settings.ca_file = testing::test_certificate_path();
    settings.clock = &clock_;
    window_ = std::make_unique<MainWindow>(settings);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void GoWindowTest::cleanup() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QCoreApplication::processEvents();
    }
    window_.reset();
    resource_.reset();
    preview_.reset();
    library_.reset();
    run_directory_.reset();
}

void GoWindowTest::press_go_for(const char* case_id) {
    url()->setText(QString::fromStdString("http://" + resource_->host() + "/cases?id=" + case_id));
    QTest::mouseClick(go(), Qt::LeftButton);
}

void GoWindowTest::invalid_address_logs_two_lines_and_leaves_download_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("no marker") << QStringLiteral("http://host/cases?case=abc");
    QTest::newRow("marker in capitals") << QStringLiteral("http://host/cases?ID=abc");
    QTest::newRow("ends in id=") << QStringLiteral("http://host/cases?id=");
    // Cut short, the box would keep only the first marker and start a retrieval.
    QTest::newRow("long, ends in id=") << QStringLiteral("http://host/cases?id=x&pad=") +
                                              QString(40000, QLatin1Char('a')) +
                                              QStringLiteral("&id=");
}

void GoWindowTest::invalid_address_logs_two_lines_and_leaves_download() {
    QFETCH(QString, address);
    download()->setText(QStringLiteral("earlier result"));
    url()->setText(address);
    QTest::mouseClick(go(), Qt::LeftButton);

    const QString example = QStringLiteral("示例: http://") +
                            QString::fromStdString(resource_->host()) +
                            QStringLiteral("/cases?id=ff808081769a6f150176a809d8d4049d");
    QCOMPARE(log_lines(), QStringList({line("欢迎打赏!"), line("链接非法,请检查链接正确性."),
                                       example, QString()}));
    QCOMPARE(download()->text(), QStringLiteral("earlier result"));
    QVERIFY(library_->requests().all().empty());
    QVERIFY(!window_->retrieval_running());
}

void GoWindowTest::go_saves_the_pdf_and_videos_and_shows_the_result() {
    press_go_for(demo::kCaseFull);

    const QString pdf_path = run_file(QStringLiteral("案例研究：城市更新.pdf"));
    QCOMPARE(read_file(pdf_path), as_bytes(demo::demo_full_pdf()));
    for (const char* key : {"city-renewal-1", "city-renewal-2"}) {
        const demo::VideoEntry& video = library_->catalogue().videos.at(key);
        QCOMPARE(read_file(run_file(QString::fromStdString(video.filename))),
                 as_bytes(video.video.all_bytes()));
    }

    const QStringList lines = log_lines();
    QCOMPARE(lines.first(), line("欢迎打赏!"));
    QVERIFY(lines.contains(line("Json解析成功")));
    QVERIFY(lines.contains(line("标题获取成功:案例研究：城市更新")));
    QVERIFY(lines.contains(line("文件下载成功,文件名为: ") + pdf_path));
    QVERIFY(lines.contains(line("视频下载成功,文件名为: ") +
                           run_file(QStringLiteral("city-renewal-1.mp4"))));
    QCOMPARE(lines.at(lines.size() - 2), line("视频下载成功,文件名为: ") +
                                             run_file(QStringLiteral("city-renewal-2.mp4")));
    QVERIFY(lines.count(line("已下载:100%")) == 3);
    QVERIFY(!lines.contains(line("获取失败")));

    // The result of a full run is what the last video branch left: its file name.
    QCOMPARE(download()->text(),
             QString::fromStdString(library_->catalogue().videos.at("city-renewal-2").filename));
    QVERIFY(!window_->retrieval_running());
    QVERIFY(log()->textCursor().atEnd());
}

void GoWindowTest::empty_detail_answer_logs_failure_and_leaves_download() {
    download()->setText(QStringLiteral("earlier result"));
    press_go_for(demo::kCaseDetailEmpty);

    const QStringList lines = log_lines();
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines.at(1).startsWith(line("链接获取成功,http://")));
    QCOMPARE(lines.at(2), line("Json解析失败,请重试!"));
    QCOMPARE(lines.at(3), line("获取失败"));
    QCOMPARE(download()->text(), QStringLiteral("earlier result"));
}

void GoWindowTest::unparsable_detail_answer_goes_into_download_without_failure_line() {
    // A failed run still has a result when its working text is not empty: here
    // the error page that came instead of the details.
    download()->setText(QStringLiteral("earlier result"));
    press_go_for(demo::kCaseDetailNotJson);

    const QStringList lines = log_lines();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(2), line("Json解析失败,请重试!"));
    QVERIFY(!lines.contains(line("获取失败")));
    QCOMPARE(download()->text(),
             QString::fromStdString(library_->catalogue().cases.at(demo::kCaseDetailNotJson)
                                        .raw_detail->body));
}

void GoWindowTest::download_error_shows_a_message_box_while_go_waits() {
    QString caption;
    QString text;
    bool running_meanwhile = false;
    qsizetype progress_lines_meanwhile = 0;
    int go_clicks_meanwhile = 0;
    QSignalSpy go_clicks(go(), &QPushButton::clicked);
    const Poller poller([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return false;
        }
        caption = box->windowTitle();
        text = box->text();
        running_meanwhile = window_->retrieval_running();
        progress_lines_meanwhile = log()->toPlainText().count(QStringLiteral("已下载:"));
        // The main window takes no clicks while the box waits.
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          go()->geometry().center());
        go_clicks_meanwhile = static_cast<int>(go_clicks.count());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        return true;
    });

    press_go_for(demo::kCaseVideoCut);

    QVERIFY(poller.done());
    QCOMPARE(caption, QStringLiteral("信息："));
    QCOMPARE(text, QStringLiteral("读文件出错!"));
    QVERIFY(running_meanwhile);
    QVERIFY(progress_lines_meanwhile > 0);  // the box came in the middle of the downloads
    // The spy hears the click that started Go! only once Go! has returned, and
    // no other click at all.
    QCOMPARE(go_clicks_meanwhile, 0);
    QCOMPARE(go_clicks.count(), 1);

    // The cut video has no success line; the second video still comes after it.
    const QStringList lines = log_lines();
    QVERIFY(!lines.contains(line("视频下载成功,文件名为: ") +
                            run_file(QStringLiteral("cut-video.mp4"))));
    QCOMPARE(lines.at(lines.size() - 2), line("视频下载成功,文件名为: ") +
                                             run_file(QStringLiteral("city-renewal-2.mp4")));
    QVERIFY(!download()->text().isEmpty());
}

void GoWindowTest::window_repaints_and_discards_input_during_a_retrieval() {
    // Paints of the log while Go! holds the thread.
    int paints_during_retrieval = 0;
    struct PaintCounter final : QObject {
        std::function<void()> on_paint;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) on_paint();
            return false;
        }
    } counter;
    counter.on_paint = [&] {
        if (window_->retrieval_running()) ++paints_during_retrieval;
    };
    log()->viewport()->installEventFilter(&counter);

    // A user who clicks the donation button, types and presses Esc mid-retrieval,
    // and a second Go! from inside it.
    auto* donate = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
    const QString address = QString::fromStdString("http://" + resource_->host() +
                                                   "/cases?id=" + demo::kCaseFull);
    bool interfered = false;
    const Poller poller([&] {
        if (!window_->retrieval_running()) {
            return false;
        }
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          donate->geometry().center());
        QTest::keyClicks(url(), QStringLiteral("typed"));
        QTest::keyClick(url(), Qt::Key_Escape);
        go()->click();
        interfered = true;
        return true;
    });
    // Keys queued at every chance until the last line is in, the last of them
    // after the last repaint of the retrieval: none may be typed once Go! has
    // returned. (Keys queued after the last line may count as input after it.)
    int keys_queued = 0;
    const Poller queued_keys([&] {
        if (window_->retrieval_running() &&
            log()->toPlainText().count(QStringLiteral("视频下载成功")) < 2) {
            QCoreApplication::postEvent(
                url(), new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
            ++keys_queued;
        }
        return false;
    });

    url()->setText(address);
    QTest::mouseClick(go(), Qt::LeftButton);

    QVERIFY(interfered);
    QVERIFY(keys_queued > 0);
    QVERIFY(paints_during_retrieval > 0);
    QCOMPARE(url()->text(), address);
    QVERIFY(window_->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCoreApplication::processEvents();
    // Nothing ran late either.
    QCOMPARE(url()->text(), address);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    qsizetype detail_queries = 0;
    for (const demo::ReceivedRequest& request : library_->requests().of(ServerRole::resource)) {
        if (request.path == "/api/open/reslib/content/detail") ++detail_queries;
    }
    QCOMPARE(detail_queries, qsizetype(1));  // one retrieval, not two
}

QTEST_MAIN(GoWindowTest)
#include "go_window_test.moc"
