// A print server that takes every connection and never answers, on a socket of the test's
// own: what a hung print server looks like to a client. It ends by itself after the given
// number of seconds, so that no test leaves it running.
//
//   silent_server SOCKET SECONDS
//
// It prints "listening" on standard output once clients can connect.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: silent_server SOCKET SECONDS\n");
        return 2;
    }
    const std::string path = argv[1];
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[2]));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return 2;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(path.c_str());
    if (listener < 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0) {
        std::perror("silent_server");
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    // The connections stay open and unread until the end.
    std::vector<int> clients;
    while (std::chrono::steady_clock::now() < end) {
        pollfd waiting{listener, POLLIN, 0};
        if (poll(&waiting, 1, 100) > 0) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) clients.push_back(client);
        }
    }
    for (int client : clients)
        close(client);
    close(listener);
    unlink(path.c_str());
    return 0;
}
