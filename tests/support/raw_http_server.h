#pragma once
// A bare HTTP server on 127.0.0.1 and a free port, for what a parsing server
// would normalise away: it keeps every request head byte for byte and lets
// the test write the answer itself, straight onto the socket.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace brindlecast::testing {

class RawHttpServer {
public:
    /// Called on the server thread, one connection at a time, with the
    /// connected socket and the request head read from it (up to and with
    /// the blank line, or what came before the client gave up). The server
    /// closes the socket once the handler returns.
    using Handler = std::function<void(int socket, const std::string& head)>;

    /// Listens at once; throws std::runtime_error when no loopback port can be had.
    explicit RawHttpServer(Handler handler);
    /// Stops accepting and waits for the handler running now to return.
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    int port() const { return port_; }
    /// "http://127.0.0.1:PORT"
    std::string origin() const;
    /// The request heads received so far, in order. A head is recorded before
    /// its handler runs, so it is here once the client has its answer.
    std::vector<std::string> requests() const;
    /// True once the destructor has begun; a stalling handler should end then.
    bool stopping() const { return stopping_; }

    /// A handler that sends `response` whole to every request.
    static Handler answering(std::string response);
    /// Sends all of `data` without raising SIGPIPE; false once the peer is gone.
    static bool send_all(int socket, std::string_view data);

private:
    // Closes the descriptor it holds; one owner, moves only.
    class Fd {
    public:
        explicit Fd(int fd = -1) : fd_(fd) {}
        ~Fd();
        Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
        Fd& operator=(Fd&& other) noexcept;
        Fd(const Fd&) = delete;
        Fd& operator=(const Fd&) = delete;
        int get() const { return fd_; }

    private:
        int fd_;
    };

    void serve();
    std::string read_head(int socket) const;

    Handler handler_;
    Fd listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace brindlecast::testing
