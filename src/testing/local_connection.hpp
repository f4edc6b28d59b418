#pragma once
// A connected pair of local stream sockets standing for a connection to the print server:
// the program's end, and the server's. Both are closed with it.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

struct LocalConnection {
    int ours = -1;
    int server = -1;
    LocalConnection() {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        ours = ends[0];
        server = ends[1];
    }
    ~LocalConnection() {
        close(ours);
        close(server);
    }
    LocalConnection(const LocalConnection&) = delete;
    LocalConnection& operator=(const LocalConnection&) = delete;
};
