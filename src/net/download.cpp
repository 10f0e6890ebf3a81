#include "net/download.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include <curl/curl.h>

#include "text/cp936.h"
#include "text/format_number.h"

namespace brindlecast {
namespace {

constexpr std::string_view kHeaderBlock =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";
static_assert(kHeaderBlock.size() == 156);

// A larger receive buffer than libcurl's default means fewer callbacks; the
// command-line curl uses the same size.
constexpr long kCurlBufferSize = 100 * 1024;
constexpr long kMaxRedirects = 20;

using SteadyClock = std::chrono::steady_clock;

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// Keeps the easy handle attached to the multi handle only while both live.
class MultiAttachment {
public:
    MultiAttachment(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
        attached_ = curl_multi_add_handle(multi_, easy_) == CURLM_OK;
    }
    ~MultiAttachment() {
        if (attached_) curl_multi_remove_handle(multi_, easy_);
    }
    MultiAttachment(const MultiAttachment&) = delete;
    MultiAttachment& operator=(const MultiAttachment&) = delete;
    bool attached() const { return attached_; }

private:
    CURLM* multi_;
    CURL* easy_;
    bool attached_ = false;
};

std::int64_t uptime_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The body goes into a file of its own beside the target, so that the target
// only ever holds a complete resource: either the earlier one or the new one.
class PartFile {
public:
    PartFile() = default;
    ~PartFile() { discard(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool create_beside(const std::string& target) {
        std::random_device random;
        char suffix[32];
        for (int attempt = 0; attempt < 16; ++attempt) {
            std::snprintf(suffix, sizeof suffix, ".part%08x", static_cast<unsigned>(random()));
            std::string path = target + suffix;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = fd;
                path_ = std::move(path);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    int fd() const { return fd_; }

    /// Drops everything written so far.
    bool restart() { return ::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0; }

    /// Closes the file and moves it onto target.
    bool commit(const std::string& target) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) return false;
        if (::rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

    void discard() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!path_.empty()) ::unlink(path_.c_str());
        path_.clear();
    }

private:
    int fd_ = -1;
    std::string path_;
};

// Puts the first `length` bytes of the file at source into fd; false when the
// file is missing or shorter, since a resume after it would leave a gap.
bool copy_prefix(const std::string& source, int fd, std::int64_t length,
                 std::vector<char>& buffer) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    bool ok = true;
    while (ok && length > 0) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(length, static_cast<std::int64_t>(buffer.size())));
        const ssize_t got = ::read(in, buffer.data(), want);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = false;
            break;
        }
        ok = write_all(fd, buffer.data(), static_cast<std::size_t>(got));
        length -= got;
    }
    ::close(in);
    return ok;
}

enum class Failure { none, status, write, read };

// One transfer's receiving side: checks the answer once its headers are in,
// cuts the body into blocks, writes and reports them.
class Receiver {
public:
    Receiver(CURL* easy, PartFile& file, std::vector<char>& buffer, const ProgressRoutine& progress,
             std::int32_t offset, bool resume)
        : easy_(easy),
          file_(file),
          buffer_(buffer),
          progress_(progress),
          offset_(offset),
          resume_(resume),
          received_(resume ? offset : 0) {}

    static size_t on_data(char* data, size_t size, size_t count, void* self) {
        return static_cast<Receiver*>(self)->take(data, size * count) ? size * count : 0;
    }

    // The blank line that ends an answer's header lines: the body is read from
    // here on, so elapsed time counts from here, not from connecting. After a
    // redirect the last answer's headers count; trailers after the body do not.
    static size_t on_header(char* data, size_t size, size_t count, void* self) {
        auto* receiver = static_cast<Receiver*>(self);
        const std::size_t length = size * count;
        const std::string_view line(data, length);
        if (!receiver->answer_checked_ && (line == "\r\n" || line == "\n")) {
            receiver->start_ = SteadyClock::now();
        }
        return length;
    }

    void start_clock() { start_ = last_data_ = SteadyClock::now(); }
    SteadyClock::duration idle() const { return SteadyClock::now() - last_data_; }

    /// The headers of an answer without a body are only seen at the end.
    bool check_answer() {
        if (answer_checked_) return failure_ == Failure::none;
        answer_checked_ = true;
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        status_ = status;
        if (status >= 400) {
            failure_ = Failure::status;
            return false;
        }
        curl_off_t length = -1;
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        content_length_ = length;
        total_ = length >= 0 ? static_cast<std::int32_t>(length) : 0;
        // A server that ignores the range sends the whole resource: keeping the
        // prefix in front of it would store the first bytes twice.
        if (resume_ && offset_ > 0 && status != 206) {
            if (!file_.restart()) {
                failure_ = Failure::write;
                return false;
            }
            received_ = 0;
            base_ = 0;
        }
        return true;
    }

    /// Writes the last, shorter block and checks that the announced length came.
    bool finish() {
        if (!check_answer()) return false;
        if (filled_ > 0 && !write_block(buffer_.data(), filled_)) return false;
        filled_ = 0;
        if (content_length_ >= 0 && body_bytes_ != content_length_) {
            failure_ = Failure::read;
            return false;
        }
        return true;
    }

    Failure failure() const { return failure_; }
    long status() const { return status_; }

private:
    bool take(const char* data, std::size_t size) {
        if (!check_answer()) return false;
        body_bytes_ += static_cast<std::int64_t>(size);
        const std::size_t block = buffer_.size();
        while (size > 0) {
            if (filled_ == 0 && size >= block) {
                // A whole block already lies in libcurl's buffer: no need to copy it.
                if (!write_block(data, block)) return false;
                data += block;
                size -= block;
                continue;
            }
            const std::size_t part = std::min(block - filled_, size);
            std::memcpy(buffer_.data() + filled_, data, part);
            filled_ += part;
            data += part;
            size -= part;
            if (filled_ == block) {
                filled_ = 0;
                if (!write_block(buffer_.data(), block)) return false;
            }
        }
        // Counted after the progress calls, so a slow progress routine is no stall.
        last_data_ = SteadyClock::now();
        return true;
    }

    bool write_block(const char* data, std::size_t size) {
        if (!write_all(file_.fd(), data, size)) {
            failure_ = Failure::write;
            return false;
        }
        received_ += static_cast<std::int64_t>(size);
        if (progress_) {
            auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                               SteadyClock::now() - start_)
                               .count();
            if (elapsed == 0) elapsed = 10;
            progress_(total_, static_cast<std::int32_t>(received_),
                      static_cast<std::int32_t>(elapsed),
                      static_cast<std::int32_t>(received_ - base_));
        }
        return true;
    }

    CURL* easy_;
    PartFile& file_;
    std::vector<char>& buffer_;
    const ProgressRoutine& progress_;
    const std::int32_t offset_;
    const bool resume_;
    std::int64_t received_;
    std::int64_t base_ = offset_;
    std::int64_t body_bytes_ = 0;
    std::int64_t content_length_ = -1;
    std::int32_t total_ = 0;
    std::size_t filled_ = 0;
    bool answer_checked_ = false;
    long status_ = 0;
    Failure failure_ = Failure::none;
    SteadyClock::time_point start_{};
    SteadyClock::time_point last_data_{};
};

CurlList make_header_list(const std::string& block) {
    CurlList list;
    auto add = [&list](const std::string& line) {
        curl_slist* grown = curl_slist_append(list.get(), line.c_str());
        if (grown == nullptr) return false;
        static_cast<void>(list.release());
        list.reset(grown);
        return true;
    };
    std::size_t start = 0;
    while (start <= block.size()) {
        std::size_t end = block.find("\r\n", start);
        if (end == std::string::npos) end = block.size();
        if (!add(block.substr(start, end - start))) return nullptr;
        start = end + 2;
    }
    // Asks caches on the way to fetch from the origin.
    if (!add("Pragma: no-cache")) return nullptr;
    return list;
}

bool configure(CURL* easy, std::string_view address, const std::string& agent,
               curl_slist* headers, Receiver& receiver, const std::string& ca_file) {
    const std::string url(address);
    bool ok = curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) == CURLE_OK;
    // Only web addresses: a crafted address or redirect must not read local files.
    ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers) == CURLE_OK;
    // The body is stored as it arrives, whatever encoding the header invited.
    ok = ok && curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kCurlBufferSize) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Receiver::on_data) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEDATA, &receiver) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Receiver::on_header) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERDATA, &receiver) == CURLE_OK;
    if (!ca_file.empty()) {
        ok = ok && curl_easy_setopt(easy, CURLOPT_CAINFO, ca_file.c_str()) == CURLE_OK;
    }
    return ok;
}

// Drives the transfer until it ends or no byte has come for stall_timeout.
// Returns CURLE_OPERATION_TIMEDOUT for a stall.
CURLcode run_transfer(CURLM* multi, Receiver& receiver,
                      std::chrono::milliseconds stall_timeout) {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    int running = 1;
    while (true) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) return CURLE_RECV_ERROR;
        if (running == 0) break;
        const auto idle = duration_cast<milliseconds>(receiver.idle());
        if (idle >= stall_timeout) return CURLE_OPERATION_TIMEDOUT;
        const auto wait = std::min<milliseconds>(stall_timeout - idle, milliseconds(1000));
        if (curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::max<long long>(wait.count(), 1)),
                            nullptr) != CURLM_OK) {
            return CURLE_RECV_ERROR;
        }
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) return message->data.result;
    }
    return CURLE_RECV_ERROR;
}

struct Messages {
    std::string caption = cp936("信息：");
    std::string connect_error = cp936("Internet连接错误!");
    std::string open_error = cp936("不能打开本地的文件!");
    std::string read_error = cp936("读文件出错!");
    std::string write_error = cp936("写本地的文件出错!");
    std::string status_error = cp936("下载失败,服务器返回状态: ");
};

}  // namespace

std::string download_header_block(bool resume, std::int32_t offset) {
    std::string block(kHeaderBlock);
    if (resume) {
        block += "\r\nRange:bytes=";
        block += format_number(offset);
        block += '-';
    }
    return block;
}

std::string download_agent_text(std::int64_t uptime_ms) {
    // The counter wraps at 2^32 and reads negative in its upper half.
    const auto counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(uptime_ms));
    return "Agent" + format_number(counter);
}

int download_with_progress(std::string_view address, std::string_view local_path,
                           const ProgressRoutine& progress, std::int32_t offset, bool resume,
                           const DownloadSettings& settings) {
    const Messages messages;
    auto fail = [&](const std::string& text) {
        if (settings.notifier != nullptr) settings.notifier->notify(text, messages.caption);
        return -1;
    };

    const std::string agent = download_agent_text(uptime_ms());
    CurlEasy easy(curl_easy_init());
    CurlMulti multi(curl_multi_init());
    if (!easy || !multi) return fail(messages.connect_error);

    const CurlList headers = make_header_list(download_header_block(resume, offset));
    std::vector<char> buffer(kDownloadBlockSize, '\0');

    const std::string target = cp936_to_utf8(local_path);
    // A folder of that name cannot take the file; say so before fetching
    // anything rather than failing the rename at the end.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return fail(messages.open_error);
    }
    PartFile file;
    if (!file.create_beside(target)) return fail(messages.open_error);
    if (resume && offset > 0 && !copy_prefix(target, file.fd(), offset, buffer)) {
        file.discard();
        return fail(messages.open_error);
    }

    Receiver receiver(easy.get(), file, buffer, progress, offset, resume);
    if (!headers || !configure(easy.get(), address, agent, headers.get(), receiver,
                               settings.ca_file)) {
        file.discard();
        return fail(messages.connect_error);
    }
    MultiAttachment attachment(multi.get(), easy.get());
    if (!attachment.attached()) {
        file.discard();
        return fail(messages.connect_error);
    }

    receiver.start_clock();
    const CURLcode result = run_transfer(multi.get(), receiver, settings.stall_timeout);
    const bool complete = result == CURLE_OK && receiver.finish();
    if (complete && file.commit(target)) return 0;

    file.discard();
    switch (receiver.failure()) {
        case Failure::status:
            return fail(messages.status_error + format_number(receiver.status()));
        case Failure::write:
            return fail(messages.write_error);
        case Failure::read:
            return fail(messages.read_error);
        case Failure::none:
            break;
    }
    // Transfer errors (unreachable host, cut connection, stall) are read
    // errors; a complete body that could not be put in place is a write error.
    return fail(complete ? messages.write_error : messages.read_error);
}

}  // namespace brindlecast
