// The baseline for the closing screen's wait: the way a polling implementation waits for a
// key, sleeping 1 ms and peeking at the console input, for as long as it is left running.

#include <unistd.h>

#include "platform/console.hpp"
#include "platform/process.hpp"

int main(int argc, char** argv) {
    platform::SetProcessArguments(argc, argv);
    const platform::Handle input = platform::OpenConsoleInput();
    for (;;) {
        usleep(1000);
        platform::InputRecord record{};
        uint32_t count = 0;
        platform::PeekConsoleInputA(input, &record, 1, &count);
        if (count > 0) break;
    }
    platform::ExitProcess(0);
}
