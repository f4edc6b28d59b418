// Arbitrary bytes as a print server's answer about a queue: read as IPP, then as the queue's
// papers and capabilities. No crash, no undefined behaviour, and every paper found by name
// is one of the queue's papers or a size its custom range holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/posix/print/queue_attributes_posix.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace platform::posix;
    IppPtr answer = ParseIpp({reinterpret_cast<const char*>(data), size});
    if (answer == nullptr) return 0;
    const QueueAttributes queue(std::move(answer));
    queue.Name();
    queue.Uri();
    for (const char* name : {"iso_a4_210x297mm", "na_letter_8.5x11in", "custom_100x200mm"}) {
        cups_size_t paper;
        if (queue.PaperByName(name, &paper) && paper.media[sizeof paper.media - 1] != '\0') {
            std::abort();
        }
    }
    for (const char* option : {"media", "copies", "sides", "orientation-requested"}) {
        queue.Supports(option, "3");
        queue.Supports(option, "custom_2x3in");
    }
    return 0;
}
