// A print server made distant for a benchmark: listens on a loopback TCP port and relays
// every connection to a local socket (a private cupsd's), holding each piece of data for a
// fixed delay in either direction, as a network with that one-way latency would. It ends by
// itself after the given number of seconds.
//
//   delay_relay PORT SOCKET DELAY_MS SECONDS
//
// It prints "listening" on standard output once clients can connect.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Bytes read from one side, due to be written to the other at `due`.
struct Piece {
    Clock::time_point due;
    std::string bytes;
};

// One relayed connection: each direction keeps its pieces in the order they came.
struct Link {
    int fds[2];  // 0: the client, 1: the server
    std::deque<Piece> toward[2];
    bool closed[2] = {false, false};
};

int ConnectUnix(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count <= 0) return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: delay_relay PORT SOCKET DELAY_MS SECONDS\n");
        return 2;
    }
    const int port = std::stoi(argv[1]);
    const std::string target = argv[2];
    const auto delay = std::chrono::milliseconds(std::stoi(argv[3]));
    const auto end = Clock::now() + std::chrono::seconds(std::stoi(argv[4]));

    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int reuse = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 64) != 0) {
        std::perror("delay_relay");
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);

    std::vector<Link> links;
    while (Clock::now() < end) {
        // Wait for data, a connection, or the next piece to fall due.
        std::vector<pollfd> waiting{{listener, POLLIN, 0}};
        auto next = Clock::now() + std::chrono::milliseconds(100);
        for (const Link& link : links) {
            for (int side = 0; side < 2; ++side) {
                if (!link.closed[side]) waiting.push_back({link.fds[side], POLLIN, 0});
                if (!link.toward[side].empty()) next = std::min(next, link.toward[side].front().due);
            }
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
        poll(waiting.data(), waiting.size(), static_cast<int>(std::max<long>(0, wait.count())));

        if (waiting[0].revents & POLLIN) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = client >= 0 ? ConnectUnix(target) : -1;
            if (server >= 0) {
                const int on = 1;
                setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                links.push_back({{client, server}, {}, {false, false}});
            } else if (client >= 0) {
                close(client);
            }
        }
        const auto now = Clock::now();
        for (Link& link : links) {
            for (int side = 0; side < 2; ++side) {
                if (link.closed[side]) continue;
                pollfd ready{link.fds[side], POLLIN, 0};
                if (poll(&ready, 1, 0) <= 0) continue;
                char bytes[65536];
                const ssize_t count = read(link.fds[side], bytes, sizeof bytes);
                if (count <= 0) {
                    link.closed[side] = true;
                    continue;
                }
                link.toward[1 - side].push_back({now + delay, std::string(bytes, count)});
            }
            for (int side = 0; side < 2; ++side) {
                auto& pieces = link.toward[side];
                while (!pieces.empty() && pieces.front().due <= Clock::now()) {
                    WriteAll(link.fds[side], pieces.front().bytes);
                    pieces.pop_front();
                }
                // A side that closed is closed on the other once its data has gone over.
                if (link.closed[1 - side] && pieces.empty()) shutdown(link.fds[side], SHUT_WR);
            }
        }
        // A link whose both sides closed and whose data has gone over is done.
        std::erase_if(links, [](const Link& link) {
            const bool done = link.closed[0] && link.closed[1] && link.toward[0].empty() &&
                              link.toward[1].empty();
            if (done) {
                close(link.fds[0]);
                close(link.fds[1]);
            }
            return done;
        });
    }
    close(listener);
    return 0;
}
