#include "raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <utility>

namespace brindlecast::testing {
namespace {

// Short enough that the destructor never waits long for the loop to notice.
constexpr int kPollSliceMs = 20;
// A client that sends nothing for this long is not coming back.
constexpr auto kQuietClientLimit = std::chrono::seconds(5);

}  // namespace

RawHttpServer::Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

RawHttpServer::Fd& RawHttpServer::Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

RawHttpServer::RawHttpServer(Handler handler)
    : handler_(std::move(handler)), listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_.get() < 0 ||
        ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_.get(), 8) != 0 ||
        ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("raw server cannot listen on loopback");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer() {
    stopping_ = true;
    thread_.join();
}

std::string RawHttpServer::origin() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> RawHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

RawHttpServer::Handler RawHttpServer::answering(std::string response) {
    return [response = std::move(response)](int socket, const std::string&) {
        send_all(socket, response);
    };
}

bool RawHttpServer::send_all(int socket, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void RawHttpServer::serve() {
    while (!stopping_) {
        pollfd waiting{listener_.get(), POLLIN, 0};
        if (::poll(&waiting, 1, kPollSliceMs) <= 0) continue;
        const Fd client(::accept(listener_.get(), nullptr, nullptr));
        if (client.get() < 0) continue;
        const std::string head = read_head(client.get());
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(head);
        }
        handler_(client.get(), head);
        // A clean end of stream, so the client reads all that was sent.
        ::shutdown(client.get(), SHUT_WR);
    }
}

std::string RawHttpServer::read_head(int socket) const {
    std::string head;
    char chunk[4096];
    auto quiet_since = std::chrono::steady_clock::now();
    while (head.find("\r\n\r\n") == std::string::npos && !stopping_) {
        pollfd readable{socket, POLLIN, 0};
        const int ready = ::poll(&readable, 1, kPollSliceMs);
        if (ready < 0) break;
        if (ready == 0) {
            if (std::chrono::steady_clock::now() - quiet_since > kQuietClientLimit) break;
            continue;
        }
        const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        head.append(chunk, static_cast<std::size_t>(got));
        quiet_since = std::chrono::steady_clock::now();
    }
    return head;
}

}  // namespace brindlecast::testing
