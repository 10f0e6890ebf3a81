#include "library_fixture.h"

#include <cstdlib>
#include <system_error>

#include "text/cp936.h"

namespace brindlecast::testing {
namespace {

std::filesystem::path make_temporary_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brindlecast-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

bool is_progress(const std::string& message) { return message.rfind("已下载:", 0) == 0; }

}  // namespace

LibraryFixture::LibraryFixture(demo::Catalogue catalogue)
    : library_(std::make_unique<demo::DemoLibrary>(std::move(catalogue))),
      run_directory_(make_temporary_folder()) {
    library_->mount(resource_.server(), preview_.server());
    resource_.start();
    preview_.start();
    library_->set_hosts(resource_.host(), preview_.host());

    environment_.resource_host = resource_.host();
    environment_.preview_host = preview_.host();
    environment_.run_directory = utf8_to_cp936(run_directory_.string());
    environment_.log = &log;
    environment_.notifier = &notifier;
    environment_.clock = &clock;
    environment_.ca_file = test_certificate_path();
}

LibraryFixture::~LibraryFixture() {
    resource_.stop();
    preview_.stop();
    std::error_code ignored;
    std::filesystem::remove_all(run_directory_, ignored);
}

std::vector<std::string> LibraryFixture::log_lines() const {
    std::vector<std::string> lines;
    for (const std::string& line : log.lines) lines.push_back(cp936_to_utf8(line));
    return lines;
}

std::vector<std::string> LibraryFixture::messages_without_progress() const {
    std::vector<std::string> messages;
    const std::string stamp = kFixtureStamp;
    for (const std::string& line : log_lines()) {
        std::string message = line;
        if (message.rfind(stamp, 0) == 0) message.erase(0, stamp.size());
        if (message.size() >= 2 && message.compare(message.size() - 2, 2, "\r\n") == 0) {
            message.erase(message.size() - 2);
        }
        if (!is_progress(message)) messages.push_back(message);
    }
    return messages;
}

std::size_t LibraryFixture::progress_line_count() const {
    std::size_t count = 0;
    const std::string prefix = std::string(kFixtureStamp) + "已下载:";
    for (const std::string& line : log_lines()) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

}  // namespace brindlecast::testing
