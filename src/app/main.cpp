// brindlecast: fetches the document and videos of one library entry.

#include <utility>

#include <QApplication>
#include <QString>

#include "app/app_settings.h"
#include "app/app_text.h"
#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    brindlecast::AppSettings settings;
    settings.resource_host = BRINDLECAST_RESOURCE_HOST;
    settings.preview_host = BRINDLECAST_PREVIEW_HOST;
    settings.ca_file = BRINDLECAST_CA_FILE;
    // Files are saved beside the executable.
    QString run_directory = QCoreApplication::applicationDirPath();
    if (run_directory.endsWith(QLatin1Char('/'))) {
        run_directory.chop(1);  // the file system root
    }
    settings.run_directory = brindlecast::to_cp936(run_directory);

    brindlecast::MainWindow window(std::move(settings));
    window.show();
    return application.exec();
}
