#pragma once
// Pictures on POSIX: bitmap and icon files decoded by gdk-pixbuf. The program has no
// resources here, so only files are found.

#include "platform/posix/print/picture_decode_posix.hpp"
#include "platform/types.hpp"

namespace platform::posix {

/// Deletes a bitmap or icon object; false when the handle is none.
bool DeletePicture(Handle picture);

}  // namespace platform::posix
