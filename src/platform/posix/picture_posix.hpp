#pragma once
// Pictures on POSIX: bitmap and icon files decoded by gdk-pixbuf. The program has no
// resources here, so only files are found.

#include "platform/types.hpp"

namespace platform::posix {

/// The most pixels a picture may have; a larger one (or a file that claims to be larger) is
/// refused before it is decoded.
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

/// Deletes a bitmap or icon object; false when the handle is none.
bool DeletePicture(Handle picture);

}  // namespace platform::posix
