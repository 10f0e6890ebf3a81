#include "net/download.h"

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "loopback_server.h"
#include "raw_http_server.h"
#include "recorders.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

namespace fs = std::filesystem;
using testing::LoopbackServer;
using testing::RawHttpServer;
using testing::Scheme;

std::string make_body(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return body;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::set<std::string> names_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}

struct ProgressCall {
    std::int32_t total, received, elapsed, this_run;
};

std::string answer_200(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/brindlecast-download-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        settings_.notifier = &notifier_;
        progress_ = [this](std::int32_t total, std::int32_t received, std::int32_t elapsed,
                           std::int32_t this_run) {
            calls_.push_back({total, received, elapsed, this_run});
        };
    }
    void TearDown() override {
        release_stall_ = true;
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Serves the fixed resources and the misbehaviours the download must survive.
    void start(Scheme scheme) {
        server_ = std::make_unique<LoopbackServer>(scheme);
        if (scheme == Scheme::https) settings_.ca_file = testing::test_certificate_path();
        auto& http = server_->server();
        for (std::size_t size : {0u, 10240u, 25000u}) {
            http.Get("/sized/" + std::to_string(size), [size](const auto&, httplib::Response& res) {
                res.set_content(make_body(size), "application/octet-stream");
            });
        }
        http.Get("/chunked", [](const auto&, httplib::Response& res) {
            // Uneven pieces, so blocks must be cut across them.
            res.set_chunked_content_provider(
                "application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
                    const std::string body = make_body(25000);
                    if (offset >= body.size()) {
                        sink.done();
                        return true;
                    }
                    const std::size_t piece = std::min<std::size_t>(7001, body.size() - offset);
                    return sink.write(body.data() + offset, piece);
                });
        });
        http.Get("/moved", [](const auto&, httplib::Response& res) {
            res.set_redirect("/sized/25000");
        });
        http.Get("/encoded", [](const auto&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(make_body(3000), "application/octet-stream");
        });
        http.Get("/missing", [](const auto&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<html>no such file</html>", "text/html");
        });
        http.Get("/cut", [](const auto&, httplib::Response& res) {
            res.set_content_provider(25000, "application/octet-stream",
                                     [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         if (offset > 0) return false;
                                         const std::string part = make_body(12000);
                                         sink.write(part.data(), part.size());
                                         return true;
                                     });
        });
        http.Get("/stall", [this](const auto&, httplib::Response& res) {
            res.set_content_provider(
                25000, "application/octet-stream",
                [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        const std::string part = make_body(5000);
                        return sink.write(part.data(), part.size());
                    }
                    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                    while (!release_stall_ && std::chrono::steady_clock::now() < give_up) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    }
                    return false;
                });
        });
        server_->start();
    }

    std::string url(const std::string& path) const { return server_->origin() + path; }
    std::string local(const std::string& name) const { return utf8_to_cp936((dir_ / name).string()); }

    int download(const std::string& address, const std::string& local_path, std::int32_t offset = 0,
                 bool resume = true) {
        return download_with_progress(address, local_path, progress_, offset, resume, settings_);
    }

    void expect_one_notice(const std::string& text_utf8) {
        ASSERT_EQ(notifier_.notices.size(), 1u);
        EXPECT_EQ(notifier_.notices[0].text, cp936(text_utf8));
        EXPECT_EQ(notifier_.notices[0].caption, cp936("信息："));
    }

    fs::path dir_;
    testing::RecordingNotifier notifier_;
    DownloadSettings settings_;
    std::vector<ProgressCall> calls_;
    ProgressRoutine progress_;
    std::atomic<bool> release_stall_{false};
    std::unique_ptr<LoopbackServer> server_;
};

TEST(DownloadHeaderBlock, IsTheFixedBlockWithARangeLineInResumeMode) {
    const std::string fixed =
        "Accept: */*\r\nAccept-Language: zh-cn\r\nAccept-Encoding: gzip, deflate\r\n"
        "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";
    EXPECT_EQ(fixed.size(), 156u);
    EXPECT_EQ(download_header_block(false, 0), fixed);
    EXPECT_EQ(download_header_block(false, 500), fixed);
    EXPECT_EQ(download_header_block(true, 0), fixed + "\r\nRange:bytes=0-");
    EXPECT_EQ(download_header_block(true, 1234567), fixed + "\r\nRange:bytes=1234567-");
}

TEST(DownloadAgentText, ReadsTheUptimeAsASigned32BitNumber) {
    const struct {
        std::int64_t uptime;
        const char* text;
    } cases[] = {
        {0, "Agent0"},
        {86400000, "Agent86400000"},
        {2147483647, "Agent2147483647"},
        {2147483648, "Agent-2147483648"},  // after about 24.8 days
        {4294967296 + 5, "Agent5"},        // the counter wraps
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uptime);
        EXPECT_EQ(download_agent_text(c.uptime), c.text);
    }
}

TEST_F(DownloadTest, SendsTheHeaderBlockThenTheRangeLineAsWritten) {
    RawHttpServer raw(RawHttpServer::answering(answer_200("hello")));
    ASSERT_EQ(download(raw.origin() + "/file?x=1", local("resumed"), 0, true), 0);
    ASSERT_EQ(download(raw.origin() + "/file?x=1", local("plain"), 0, false), 0);
    const auto requests = raw.requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string fixed_lines =
        "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nAccept-Encoding: gzip, deflate\r\n"
        "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR "
        "1.1.4322)\r\n";
    for (const std::string& request : requests) {
        SCOPED_TRACE(request);
        EXPECT_EQ(request.rfind("GET /file?x=1 HTTP/1.1\r\n", 0), 0u);
        EXPECT_NE(request.find(fixed_lines), std::string::npos);
        EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos);
    }
    EXPECT_NE(requests[0].find("\r\nRange:bytes=0-\r\n"), std::string::npos);
    EXPECT_EQ(requests[1].find("Range"), std::string::npos);
    EXPECT_EQ(read_file(dir_ / "resumed"), "hello");
    EXPECT_EQ(read_file(dir_ / "plain"), "hello");
}

class DownloadOverScheme : public DownloadTest, public ::testing::WithParamInterface<Scheme> {};

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, DownloadOverScheme,
                         ::testing::Values(Scheme::http, Scheme::https),
                         [](const auto& info) {
                             return info.param == Scheme::http ? "http" : "https";
                         });

TEST_P(DownloadOverScheme, StoresTheBodyInBlocksWithOneProgressCallEach) {
    start(GetParam());
    const struct Case {
        const char* path;
        std::string body;
        std::int32_t total;
        std::vector<std::int32_t> received;
    } cases[] = {
        {"/sized/0", "", 0, {}},
        {"/sized/10240", make_body(10240), 10240, {10240}},
        {"/sized/25000", make_body(25000), 25000, {10240, 20480, 25000}},
        {"/chunked", make_body(25000), 0, {10240, 20480, 25000}},
        {"/moved", make_body(25000), 25000, {10240, 20480, 25000}},
        {"/encoded", make_body(3000), 3000, {3000}},  // labelled gzip, kept as sent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        calls_.clear();
        const std::string name = "文件.pdf";
        ASSERT_EQ(download(url(c.path), local(name)), 0);
        EXPECT_EQ(read_file(dir_ / name), c.body);
        EXPECT_EQ(names_in(dir_), std::set<std::string>{name});
        ASSERT_EQ(calls_.size(), c.received.size());
        for (std::size_t i = 0; i < calls_.size(); ++i) {
            EXPECT_EQ(calls_[i].total, c.total);
            EXPECT_EQ(calls_[i].received, c.received[i]);
            EXPECT_EQ(calls_[i].this_run, c.received[i]);
            EXPECT_GT(calls_[i].elapsed, 0);
            // Time never runs back, except that a block in the first
            // millisecond reports 10 in place of 0, which a later block may undercut.
            if (i > 0 && calls_[i - 1].elapsed != 10) {
                EXPECT_GE(calls_[i].elapsed, calls_[i - 1].elapsed);
            }
        }
    }
    EXPECT_TRUE(notifier_.notices.empty());
}

TEST_P(DownloadOverScheme, ReplacesAnExistingFileRatherThanAppendingToIt) {
    start(GetParam());
    write_file(dir_ / "video.mp4", "an earlier download");
    ASSERT_EQ(download(url("/sized/25000"), local("video.mp4"), 0, true), 0);
    EXPECT_EQ(read_file(dir_ / "video.mp4"), make_body(25000));
    ASSERT_EQ(download(url("/sized/10240"), local("video.mp4"), 0, false), 0);
    EXPECT_EQ(read_file(dir_ / "video.mp4"), make_body(10240));
    EXPECT_EQ(names_in(dir_), std::set<std::string>{"video.mp4"});
}

TEST_P(DownloadOverScheme, FailsWithoutTouchingTheTargetWhenTheBodyDoesNotArrive) {
    start(GetParam());
    settings_.stall_timeout = std::chrono::milliseconds(1000);
    const struct Case {
        const char* path;
        const char* notice;
    } cases[] = {
        {"/missing", "下载失败,服务器返回状态: 404"},
        {"/cut", "读文件出错!"},
        {"/stall", "读文件出错!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        notifier_.notices.clear();
        for (const bool earlier_file : {false, true}) {
            SCOPED_TRACE(earlier_file);
            notifier_.notices.clear();
            if (earlier_file) write_file(dir_ / "kept.pdf", "earlier good file");
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(download(url(c.path), local("kept.pdf")), -1);
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
            expect_one_notice(c.notice);
            if (earlier_file) {
                EXPECT_EQ(read_file(dir_ / "kept.pdf"), "earlier good file");
                EXPECT_EQ(names_in(dir_), std::set<std::string>{"kept.pdf"});
            } else {
                EXPECT_TRUE(names_in(dir_).empty());
            }
        }
        fs::remove(dir_ / "kept.pdf");
    }
}

TEST_F(DownloadTest, RejectsAServerWhoseCertificateIsNotTrusted) {
    start(Scheme::https);
    settings_.ca_file.clear();  // the system's store does not know the test certificate
    EXPECT_EQ(download(url("/sized/25000"), local("doc.pdf")), -1);
    expect_one_notice("读文件出错!");
    EXPECT_TRUE(names_in(dir_).empty());
}

TEST_F(DownloadTest, ReportsAReadErrorWhenNothingListens) {
    start(Scheme::http);
    const std::string address = url("/sized/25000");
    server_->stop();
    server_.reset();
    EXPECT_EQ(download(address, local("doc.pdf"), 0, false), -1);
    expect_one_notice("读文件出错!");
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(names_in(dir_).empty());
}

TEST_F(DownloadTest, CannotOpenAFileInAMissingFolderOrInPlaceOfAFolder) {
    start(Scheme::http);
    fs::create_directory(dir_ / "a-folder");
    for (const char* name : {"no-such-folder/doc.pdf", "a-folder", "a-folder/"}) {
        SCOPED_TRACE(name);
        notifier_.notices.clear();
        EXPECT_EQ(download(url("/sized/25000"), local(name)), -1);
        expect_one_notice("不能打开本地的文件!");
        EXPECT_TRUE(calls_.empty());
        EXPECT_EQ(names_in(dir_), std::set<std::string>{"a-folder"});
        EXPECT_TRUE(fs::is_empty(dir_ / "a-folder"));
    }
}

TEST_F(DownloadTest, ElapsedTimeCountsFromTheEndOfTheAnswerHeaders) {
    using std::chrono::milliseconds;
    const struct Case {
        const char* name;
        milliseconds before_head;
        milliseconds before_body;
        std::int32_t at_least;
        std::int32_t below;
    } cases[] = {
        // Waiting for the answer is not part of the transfer time.
        {"slow answer", milliseconds(400), milliseconds(0), 1, 300},
        // Waiting for the body after the headers is.
        {"slow body", milliseconds(0), milliseconds(400), 400, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calls_.clear();
        const std::string whole = answer_200("hello");
        const std::size_t head_end = whole.find("\r\n\r\n") + 4;
        RawHttpServer raw([&c, whole, head_end](int socket, const std::string&) {
            std::this_thread::sleep_for(c.before_head);
            RawHttpServer::send_all(socket, std::string_view(whole).substr(0, head_end));
            std::this_thread::sleep_for(c.before_body);
            RawHttpServer::send_all(socket, std::string_view(whole).substr(head_end));
        });
        ASSERT_EQ(download(raw.origin() + "/f", local("f.bin")), 0);
        ASSERT_EQ(calls_.size(), 1u);
        EXPECT_GE(calls_[0].elapsed, c.at_least);
        EXPECT_LT(calls_[0].elapsed, c.below);
    }
}

// Run in a child process: the file size limit would hit the test program too.
// The child leaves through exit, so it clears its own folder.
int download_under_size_limit(const std::string& address, const std::string& local_path,
                              const fs::path& target) {
    std::signal(SIGXFSZ, SIG_IGN);  // a refused write then fails with EFBIG
    const rlimit limit{15000, 15000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    testing::RecordingNotifier notifier;
    DownloadSettings settings;
    settings.notifier = &notifier;
    const int result = download_with_progress(address, local_path, {}, 0, true, settings);
    int code = 0;
    if (result != -1) {
        code = 3;
    } else if (notifier.notices.size() != 1 ||
               notifier.notices[0].text != cp936("写本地的文件出错!")) {
        code = 4;
    } else if (read_file(target) != "earlier good file") {
        code = 5;
    } else if (names_in(target.parent_path()).size() != 1) {
        code = 6;
    }
    std::error_code ignored;
    fs::remove_all(target.parent_path(), ignored);
    return code;
}

TEST_F(DownloadTest, EndsWithAMessageWhenTheFileCannotBeWritten) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    start(Scheme::http);
    write_file(dir_ / "big.mp4", "earlier good file");
    EXPECT_EXIT(std::exit(download_under_size_limit(url("/sized/25000"), local("big.mp4"),
                                                    dir_ / "big.mp4")),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(DownloadTest, ResumesAfterTheLocalPrefixWhenTheServerHonoursTheRange) {
    start(Scheme::http);
    const std::string body = make_body(25000);
    write_file(dir_ / "part.mp4", body.substr(0, 10000));
    ASSERT_EQ(download(url("/sized/25000"), local("part.mp4"), 10000, true), 0);
    EXPECT_EQ(read_file(dir_ / "part.mp4"), body);
    ASSERT_EQ(calls_.size(), 2u);
    EXPECT_EQ(calls_[0].total, 15000);  // the length of the ranged answer
    EXPECT_EQ(calls_[0].received, 20240);
    EXPECT_EQ(calls_[0].this_run, 10240);
    EXPECT_EQ(calls_[1].received, 25000);
    EXPECT_EQ(calls_[1].this_run, 15000);
    EXPECT_EQ(names_in(dir_), std::set<std::string>{"part.mp4"});
}

TEST_F(DownloadTest, StartsOverWhenTheServerIgnoresTheRange) {
    const std::string body = make_body(25000);
    RawHttpServer raw(RawHttpServer::answering(answer_200(body)));
    write_file(dir_ / "part.mp4", body.substr(0, 10000));
    ASSERT_EQ(download(raw.origin() + "/v.mp4", local("part.mp4"), 10000, true), 0);
    ASSERT_EQ(raw.requests().size(), 1u);
    EXPECT_NE(raw.requests()[0].find("\r\nRange:bytes=10000-\r\n"), std::string::npos);
    EXPECT_EQ(read_file(dir_ / "part.mp4"), body);
    ASSERT_EQ(calls_.size(), 3u);
    EXPECT_EQ(calls_[0].received, 10240);
    EXPECT_EQ(calls_[0].this_run, 10240);
    EXPECT_EQ(calls_[2].received, 25000);
    EXPECT_EQ(calls_[2].total, 25000);
}

TEST_F(DownloadTest, RefusesToResumeAfterALocalFileShorterThanTheOffset) {
    start(Scheme::http);
    write_file(dir_ / "part.mp4", "short");
    EXPECT_EQ(download(url("/sized/25000"), local("part.mp4"), 10000, true), -1);
    expect_one_notice("不能打开本地的文件!");
    EXPECT_EQ(read_file(dir_ / "part.mp4"), "short");
    EXPECT_EQ(names_in(dir_), std::set<std::string>{"part.mp4"});
}

}  // namespace
}  // namespace brindlecast
