#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "demo_servers.h"

extern char** environ;

namespace brindlecast::demo {
namespace {

// Reads one line from fd, waiting at most timeout for it.
std::string read_line(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        if (read(fd, &c, 1) != 1) break;
        if (c == '\n') return line;
        line += c;
    }
    return line;
}

bool wait_for_exit(pid_t pid, std::chrono::milliseconds timeout, int& status) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(DemoLibraryProgram, ServesBothServersAfterItsReadyLineAndStopsOnSigterm) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char* argv[] = {DEMO_LIBRARY_PROGRAM, "--resource-port", "0", "--preview-port", "0", "--print-ready", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DEMO_LIBRARY_PROGRAM, &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    const std::string ready = read_line(out[0], std::chrono::seconds(10));
    close(out[0]);
    // "ready http://127.0.0.1:P1 https://127.0.0.1:P2"
    const std::string http_part = "ready http://127.0.0.1:";
    const std::size_t https_at = ready.find(" https://127.0.0.1:");
    const bool matched = ready.rfind(http_part, 0) == 0 && https_at != std::string::npos;
    if (matched) {
        const std::string resource = "http://127.0.0.1:" + ready.substr(http_part.size(), https_at - http_part.size());
        const std::string preview = "https://127.0.0.1:" + ready.substr(https_at + 19);
        const testing::Fetched detail =
            testing::fetch(resource + "/api/open/reslib/content/detail?id=" + kCaseFull + "&_=1607000000000");
        EXPECT_NE(detail.body.find("案例研究：城市更新"), std::string::npos);
        // The answer names the preview server by the port it really listens on.
        EXPECT_NE(detail.body.find(preview + "/view/city-renewal"), std::string::npos);
        const testing::Fetched config = testing::fetch(preview + "/content/city-renewal.json");
        EXPECT_EQ(config.status, 200) << "the shipped certificate must verify for 127.0.0.1";
    }
    kill(pid, SIGTERM);
    int status = 0;
    const bool stopped = wait_for_exit(pid, std::chrono::seconds(5), status);
    if (!stopped) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(matched) << "ready line was: " << ready;
    ASSERT_TRUE(stopped) << "no exit within 5 s of SIGTERM";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(DemoLibraryProgram, RejectsUnknownArguments) {
    const std::string command = std::string(DEMO_LIBRARY_PROGRAM) + " --resource-port nine 2> /dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace brindlecast::demo
