#pragma once
// Decoding bitmap and icon files on POSIX with gdk-pixbuf, loaded only when the first picture
// is decoded: it brings glib and gio with it, which a run that draws no picture should not
// pay for in start-up time and memory.

#include <cstdint>
#include <vector>

#include "platform/print_drawing.hpp"

namespace platform::posix {

/// The most pixels a picture may have; a larger one (or a file that claims to be larger) is
/// refused before it is decoded.
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

/// A decoded picture: 8-bit RGB, or RGBA with `channels` 4, rows top-down without padding.
struct PictureData {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 3;
    std::vector<uint8_t> pixels;

    const uint8_t* Row(int32_t y) const { return pixels.data() + size_t(width) * channels * y; }
};

/// Decodes a file of the kind asked for, an icon scaled to `width` x `height` when both are
/// positive. The file's kind, its size and its completeness are checked first, so a damaged
/// or enormous file is refused rather than read. False with the last error set otherwise.
bool DecodePictureFile(const char* path, ImageType type, int32_t width, int32_t height,
                       PictureData* picture);

}  // namespace platform::posix
