#include "LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <stdexcept>

namespace {

constexpr int kMaxConnections = 32;
constexpr int kMaxIdleRounds = 600; // 100 ms each: the server gives up after a minute without a connection
constexpr size_t kMaxRequestBytes = 64 * 1024;
constexpr size_t kSlowPiece = 16 * 1024;
constexpr DWORD kSlowPauseMs = 20;

struct TWinsock {
    TWinsock() {
        WSADATA data{};
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            throw std::runtime_error("WSAStartup failed");
    }
    ~TWinsock() { WSACleanup(); }
};

SOCKET ListenOnLoopback(uint16_t& port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        throw std::runtime_error("bind/listen failed");
    }
    port = ntohs(address.sin_port);
    return s;
}

bool Readable(SOCKET s, long timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &timeout) == 1;
}

bool SendAll(SOCKET s, const char* data, size_t size) {
    while (size > 0) {
        const int sent = send(s, data, static_cast<int>(size), 0);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

std::string Header(int status, const char* reason, size_t contentLength) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: application/octet-stream\r\n" +
           "Content-Length: " + std::to_string(contentLength) + "\r\nConnection: close\r\n\r\n";
}

} // namespace

std::string MakeTestBody(size_t size) {
    std::string body(size, '\0');
    uint32_t x = 2463534242u;
    for (auto& c : body) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return body;
}

TLoopbackHttpServer::TLoopbackHttpServer(THttpMode mode, std::string body) : FMode(mode), FBody(std::move(body)) {
    static TWinsock winsock;
    FListener = ListenOnLoopback(FPort);
    FThread = std::thread([this] { Serve(); });
}

TLoopbackHttpServer::~TLoopbackHttpServer() {
    FStop = true;
    FThread.join();
    closesocket(FListener);
}

std::string TLoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + path;
}

std::vector<std::string> TLoopbackHttpServer::RequestPaths() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequestPaths;
}

uint16_t TLoopbackHttpServer::ClosedPort() {
    static TWinsock winsock;
    uint16_t port = 0;
    closesocket(ListenOnLoopback(port));
    return port;
}

void TLoopbackHttpServer::Serve() {
    int idleRounds = 0;
    for (int connections = 0; !FStop && connections < kMaxConnections && idleRounds < kMaxIdleRounds;) {
        if (!Readable(FListener, 100)) {
            ++idleRounds;
            continue;
        }
        const SOCKET client = accept(FListener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        ++connections;
        idleRounds = 0;
        Answer(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

void TLoopbackHttpServer::Answer(SOCKET client) {
    std::string request;
    for (int round = 0; round < 100 && request.find("\r\n\r\n") == std::string::npos; ++round) {
        if (!Readable(client, 100))
            continue;
        char buffer[4096];
        const int received = recv(client, buffer, sizeof(buffer), 0);
        if (received <= 0 || request.size() > kMaxRequestBytes)
            return;
        request.append(buffer, static_cast<size_t>(received));
    }
    const size_t pathStart = request.find(' ');
    const size_t pathEnd = request.find(' ', pathStart + 1);
    if (pathStart == std::string::npos || pathEnd == std::string::npos)
        return;
    {
        std::lock_guard<std::mutex> lock(FLock);
        FRequestPaths.push_back(request.substr(pathStart + 1, pathEnd - pathStart - 1));
    }
    ++FRequestCount;

    const std::string errorPage = "<html><body>error</body></html>";
    switch (FMode) {
    case THttpMode::WholeBody: {
        const std::string head = Header(200, "OK", FBody.size());
        SendAll(client, head.data(), head.size()) && SendAll(client, FBody.data(), FBody.size());
        break;
    }
    case THttpMode::SlowBody: {
        const std::string head = Header(200, "OK", FBody.size());
        if (!SendAll(client, head.data(), head.size()))
            break;
        for (size_t offset = 0; offset < FBody.size() && !FStop; offset += kSlowPiece) {
            if (!SendAll(client, FBody.data() + offset, std::min(kSlowPiece, FBody.size() - offset)))
                break;
            Sleep(kSlowPauseMs);
        }
        break;
    }
    case THttpMode::NotFound:
    case THttpMode::ServerError: {
        const bool notFound = FMode == THttpMode::NotFound;
        const std::string head =
            Header(notFound ? 404 : 500, notFound ? "Not Found" : "Internal Server Error", errorPage.size());
        SendAll(client, head.data(), head.size()) && SendAll(client, errorPage.data(), errorPage.size());
        break;
    }
    case THttpMode::CutShort: {
        const std::string head = Header(200, "OK", FBody.size());
        SendAll(client, head.data(), head.size()) && SendAll(client, FBody.data(), FBody.size() / 3);
        break;
    }
    }
}
