// Pictures of the two windows for the documentation: shows each window on the
// current display and saves it, with the window manager's frame when there is one.
// Usage: brindlecast_window_screenshots MAIN_PNG DONATION_PNG

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <cstdio>

#include "app/app_settings.h"
#include "app/donation_window.h"
#include "app/main_window.h"

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

    brindlecast::AppSettings settings;
    settings.resource_host = "library.example";
    settings.preview_host = "preview.example";
    settings.run_directory = "/tmp";
    brindlecast::MainWindow window(settings);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("url"))
        ->setText(QStringLiteral("http://library.example/cases?id=ff808081769a6f150176a809d8d4049d"));
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
