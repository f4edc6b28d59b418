// Arbitrary terminal input, in arbitrary pieces and at arbitrary times: the decoder never
// crashes, never stalls (every byte is decided once its wait is over), and every key-down
// has its key-up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/terminal/input_decoder_posix.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using platform::posix::InputDecoder;
    using platform::posix::Millis;
    if (size < 2) return 0;
    InputDecoder decoder({(data[0] & 1) != 0, data[1]});
    decoder.SetMouseReports((data[0] & 2) != 0);
    Millis now = 0;
    size_t at = 2;
    // Each piece: a length byte, a pause byte, then that many bytes.
    while (at + 2 <= size) {
        const size_t length = data[at] % 16;
        now += data[at + 1] * 4;
        at += 2;
        const size_t take = length < size - at ? length : size - at;
        decoder.Expire(now);
        decoder.Feed(std::string_view(reinterpret_cast<const char*>(data + at), take), now);
        at += take;
    }
    for (int round = 0; decoder.Deadline() && round < 64; ++round) {
        now = *decoder.Deadline();
        decoder.Expire(now);
    }
    if (decoder.Deadline()) std::abort();  // bytes left undecided
    bool expectUp = false;
    for (const auto& record : decoder.Records()) {
        if (record.kind != platform::InputKind::kKey) {
            if (expectUp) std::abort();
            continue;
        }
        if (record.key.keyDown == expectUp) std::abort();
        expectUp = !expectUp;
    }
    if (expectUp) std::abort();
    return 0;
}
