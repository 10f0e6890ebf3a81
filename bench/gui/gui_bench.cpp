// Go! in the main window, on the offscreen platform, against brindlecast-cli on
// the same entry of the demo library: one 200 MiB video, so 20,480 progress
// lines. Runs alternate; prints the median wall time of each, their ratio and
// whether the window stays within 15% of the command line, and the same for
// the CPU time of the thread that does the work (the window thread; the
// command line's process), which a busy machine disturbs less.
//
// usage: gui_bench [runs=5]

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "app/app_settings.h"
#include "app/main_window.h"
#include "demo_catalogue.h"
#include "demo_library.h"

extern char** environ;

namespace {

using Seconds = std::chrono::duration<double>;
using Clock = std::chrono::steady_clock;

constexpr double kGoal = 1.15;

// The demo library on two loopback servers of this process.
class Servers {
public:
    Servers()
        : library_(brindlecast::demo::demo_catalogue()),
          preview_(brindlecast::demo::demo_certificate_path().c_str(),
                   brindlecast::demo::demo_key_path().c_str()) {
        library_.mount(resource_, preview_);
        resource_port_ = resource_.bind_to_any_port("127.0.0.1");
        preview_port_ = preview_.bind_to_any_port("127.0.0.1");
        library_.set_hosts(resource_host(), preview_host());
        resource_thread_ = std::thread([this] { resource_.listen_after_bind(); });
        preview_thread_ = std::thread([this] { preview_.listen_after_bind(); });
        while (!resource_.is_running() || !preview_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~Servers() {
        resource_.stop();
        preview_.stop();
        resource_thread_.join();
        preview_thread_.join();
    }
    Servers(const Servers&) = delete;
    Servers& operator=(const Servers&) = delete;

    std::string resource_host() const { return "127.0.0.1:" + std::to_string(resource_port_); }
    std::string preview_host() const { return "127.0.0.1:" + std::to_string(preview_port_); }

private:
    brindlecast::demo::DemoLibrary library_;
    httplib::Server resource_;
    httplib::SSLServer preview_;
    int resource_port_ = 0;
    int preview_port_ = 0;
    std::thread resource_thread_;
    std::thread preview_thread_;
};

struct Run {
    double seconds = 0;
    double cpu_seconds = 0;
    bool saved = false;
};

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double seconds_of(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

std::uintmax_t file_size_or_zero(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

Run run_cli(const Servers& servers, const std::string& address, std::uintmax_t expected_size) {
    QTemporaryDir directory;
    const std::string output = directory.path().toStdString();
    std::vector<std::string> arguments = {BRINDLECAST_CLI_PROGRAM,
                                          "--resource-host", servers.resource_host(),
                                          "--preview-host", servers.preview_host(),
                                          "--ca-file", brindlecast::demo::demo_certificate_path(),
                                          "--output-dir", output,
                                          address};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The command line's log goes where a redirected run would send it.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    Run run;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        run.seconds = Seconds(Clock::now() - start).count();
        run.cpu_seconds = seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.saved = file_size_or_zero(std::filesystem::path(output) / "huge.mp4") == expected_size;
    return run;
}

Run run_window(const Servers& servers, const std::string& address, std::uintmax_t expected_size,
               int* log_lines) {
    QTemporaryDir directory;
    brindlecast::AppSettings settings;
    settings.resource_host = servers.resource_host();
    settings.preview_host = servers.preview_host();
    settings.run_directory = directory.path().toStdString();
    settings.ca_file = brindlecast::demo::demo_certificate_path();
    brindlecast::MainWindow window(settings);
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QLineEdit*>(QStringLiteral("url"))->setText(QString::fromStdString(address));
    auto* go = window.findChild<QPushButton*>(QStringLiteral("按钮1"));

    const double cpu_start = thread_cpu_seconds();
    const auto start = Clock::now();
    go->click();
    Run run;
    run.seconds = Seconds(Clock::now() - start).count();
    run.cpu_seconds = thread_cpu_seconds() - cpu_start;
    run.saved = file_size_or_zero(std::filesystem::path(directory.path().toStdString()) /
                                  "huge.mp4") == expected_size;
    *log_lines = window.findChild<QPlainTextEdit*>(QStringLiteral("Log"))->blockCount() - 1;
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    const Servers servers;
    const std::string address = "http://" + servers.resource_host() + "/cases?id=" +
                                brindlecast::demo::kCaseHugeVideo;
    const auto catalogue = brindlecast::demo::demo_catalogue();
    const std::uintmax_t video_size = catalogue.videos.at("huge").video.size();

    std::vector<double> cli_times;
    std::vector<double> window_times;
    std::vector<double> cli_cpu;
    std::vector<double> window_cpu;
    int log_lines = 0;
    bool all_saved = true;
    for (int i = 0; i < runs; ++i) {
        const Run cli = run_cli(servers, address, video_size);
        const Run window = run_window(servers, address, video_size, &log_lines);
        all_saved = all_saved && cli.saved && window.saved;
        std::printf("run %d: cli %.3f s (cpu %.3f s), window %.3f s (cpu %.3f s)\n", i + 1,
                    cli.seconds, cli.cpu_seconds, window.seconds, window.cpu_seconds);
        cli_times.push_back(cli.seconds);
        window_times.push_back(window.seconds);
        cli_cpu.push_back(cli.cpu_seconds);
        window_cpu.push_back(window.cpu_seconds);
    }

    const double cli = median(cli_times);
    const double window = median(window_times);
    const double mib = static_cast<double>(video_size) / (1024.0 * 1024.0);
    std::printf("entry: one video of %.0f MiB, %d log lines in the window\n", mib, log_lines);
    std::printf("brindlecast-cli (peer): %.3f s (%.1f MiB/s), median of %d\n", cli, mib / cli, runs);
    std::printf("window Go! (offscreen): %.3f s (%.1f MiB/s), median of %d\n", window, mib / window,
                runs);
    std::printf("ratio window/cli: %.3f (goal at most %.2f): %s\n", window / cli, kGoal,
                window / cli <= kGoal ? "met" : "missed");
    std::printf("best of %d: cli %.3f s, window %.3f s, ratio %.3f\n", runs, best(cli_times),
                best(window_times), best(window_times) / best(cli_times));
    const double cpu_cli = median(cli_cpu);
    const double cpu_window = median(window_cpu);
    std::printf("cpu: brindlecast-cli %.3f s, window thread %.3f s, ratio %.3f (goal at most %.2f): %s\n",
                cpu_cli, cpu_window, cpu_window / cpu_cli, kGoal,
                cpu_window / cpu_cli <= kGoal ? "met" : "missed");
    if (!all_saved) {
        std::printf("warning: a run did not save the whole video\n");
        return 1;
    }
    return 0;
}
