#include "cli/terminal_log_sink.h"

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "text/cp936.h"

namespace brindlecast {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// What a sink wrote into a temporary file, read back whole.
std::string written(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[256];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    return text;
}

TEST(TerminalLogSink, OnlyLinesThatAreProgressOverwriteEachOther) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_NE(file, nullptr);
    {
        TerminalLogSink sink(file.get(), true);
        sink.write_line(cp936("12/9 14:05:09: 已下载:50%\r\n"));
        sink.write_line(cp936("12/9 14:05:09: 已下载:100%\r\n"));
        // A title that happens to hold the progress text is an ordinary line.
        sink.write_line(cp936("12/9 14:05:09: 标题获取成功:注意: 已下载:完\r\n"));
        sink.write_line(cp936("12/9 14:05:09: 已下载:1%\r\n"));
    }
    EXPECT_EQ(written(file.get()),
              "\r\033[K12/9 14:05:09: 已下载:50%"
              "\r\033[K12/9 14:05:09: 已下载:100%\n"
              "12/9 14:05:09: 标题获取成功:注意: 已下载:完\n"
              "\r\033[K12/9 14:05:09: 已下载:1%\n");
}

TEST(TerminalLogSink, WritesEveryLineWithLineFeedsWhenNotATerminal) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    ASSERT_NE(file, nullptr);
    {
        TerminalLogSink sink(file.get(), false);
        sink.write_line(cp936("12/9 14:05:09: 已下载:50%\r\n"));
        sink.write_line(cp936("12/9 14:05:09: 链接非法,请检查链接正确性.\r\n示例: http://h/cases?id=x\r\n"));
    }
    EXPECT_EQ(written(file.get()),
              "12/9 14:05:09: 已下载:50%\n"
              "12/9 14:05:09: 链接非法,请检查链接正确性.\n示例: http://h/cases?id=x\n");
}

}  // namespace
}  // namespace brindlecast
