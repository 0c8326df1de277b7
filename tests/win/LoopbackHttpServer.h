#pragma once
// A small HTTP server on 127.0.0.1 with an ephemeral port, for download tests.
// It answers every GET the same way, chosen by its mode, on a thread of its
// own; every loop is bounded and the destructor stops and joins the thread.
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class THttpMode {
    WholeBody,   // 200 with Content-Length and the whole body
    SlowBody,    // 200, the body in small pieces with pauses between them
    NotFound,    // 404 with a short error page
    ServerError, // 500 with a short error page
    CutShort,    // 200 announcing the whole length, then a third of it and a closed connection
};

class TLoopbackHttpServer {
public:
    TLoopbackHttpServer(THttpMode mode, std::string body);
    TLoopbackHttpServer(const TLoopbackHttpServer&) = delete;
    TLoopbackHttpServer& operator=(const TLoopbackHttpServer&) = delete;
    ~TLoopbackHttpServer();

    uint16_t Port() const { return FPort; }
    std::string Url(const std::string& path) const;
    int RequestCount() const { return FRequestCount; }
    std::vector<std::string> RequestPaths() const;

    // A loopback port with nothing listening on it: connections are refused.
    static uint16_t ClosedPort();

private:
    void Serve();
    void Answer(SOCKET client);

    THttpMode FMode;
    std::string FBody;
    SOCKET FListener = INVALID_SOCKET;
    uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<int> FRequestCount{0};
    mutable std::mutex FLock;
    std::vector<std::string> FRequestPaths;
    std::thread FThread;
};

// Deterministic pseudo-random bytes, so a wrong offset or a lost block shows.
std::string MakeTestBody(size_t size);
