// Pictures of the two windows for the documentation: shows each window on the
// current display and saves it, with the window manager's frame when there is one.
// The main window is shown after a Go! against the demo library on loopback.
// Usage: brindlecast_window_screenshots MAIN_PNG DONATION_PNG

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <httplib.h>

#include "app/app_settings.h"
#include "app/donation_window.h"
#include "app/main_window.h"
#include "demo_catalogue.h"
#include "demo_library.h"

namespace {

bool save_window(QWidget& window, const QString& path) {
    window.raise();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return false;
    }
    QTest::qWait(700);  // let the window manager draw its frame
    QPixmap picture = window.screen()->grabWindow(0, window.frameGeometry().x(),
                                                  window.frameGeometry().y(),
                                                  window.frameGeometry().width(),
                                                  window.frameGeometry().height());
    if (picture.isNull()) {
        picture = window.grab();
    }
    return picture.save(path, "PNG");
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MAIN_PNG DONATION_PNG\n", argv[0]);
        return 2;
    }

    namespace demo = brindlecast::demo;
    demo::DemoLibrary library(demo::demo_catalogue());
    httplib::Server resource;
    httplib::SSLServer preview(demo::demo_certificate_path().c_str(), demo::demo_key_path().c_str());
    library.mount(resource, preview);
    const std::string resource_host =
        "127.0.0.1:" + std::to_string(resource.bind_to_any_port("127.0.0.1"));
    const std::string preview_host =
        "127.0.0.1:" + std::to_string(preview.bind_to_any_port("127.0.0.1"));
    library.set_hosts(resource_host, preview_host);
    std::thread resource_thread([&resource] { resource.listen_after_bind(); });
    std::thread preview_thread([&preview] { preview.listen_after_bind(); });
    while (!resource.is_running() || !preview.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    QTemporaryDir run_directory;
    brindlecast::AppSettings settings;
    settings.resource_host = resource_host;
    settings.preview_host = preview_host;
    settings.run_directory = run_directory.path().toStdString();
    settings.ca_file = demo::demo_certificate_path();
    brindlecast::MainWindow window(settings);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("url"))
        ->setText(QString::fromStdString("http://" + resource_host + "/cases?id=" + demo::kCaseFull));
    window.on_go_clicked();
    resource.stop();
    preview.stop();
    resource_thread.join();
    preview_thread.join();
    if (!save_window(window, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not save the main window\n");
        return 1;
    }

    window.on_donate_clicked();
    QWidget* donation = QApplication::activeModalWidget();
    if (donation == nullptr || !save_window(*donation, QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "could not save the donation window\n");
        return 1;
    }
    donation->close();
    return 0;
}
