// Arbitrary bytes as a queue's PPD: the excerpt, then libcups' reading of it as the program
// reads it. No crash, no undefined behaviour, and the excerpt is never longer than the PPD
// by more than the line ends it adds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/print/ppd_excerpt_posix.hpp"
#include "platform/posix/print/ppd_paper_posix.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace platform::posix;
    const std::string_view ppd(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> excerpt = PpdExcerpt(ppd);
    if (!excerpt) return 0;
    if (excerpt->size() > 2 * ppd.size() + 1) std::abort();
    Paper paper;
    ReadPpd(UnnamedFile(*excerpt), {&paper});
    return 0;
}
