#pragma once
// The transparency groups cairo puts on every PDF page, taken out again. Nothing this backend
// draws is transparent, but Debian 12's print filters turn a page that carries a group into
// one picture at the printer's resolution: a few kilobytes of lines become hundreds of
// kilobytes of pixels, and thin lines grow by a pixel.

#include <string>

namespace platform::posix {

/// Removes the /Group entry of every page of `pdf` and writes the document anew; false, with
/// `pdf` unchanged, when it cannot be read as a PDF.
bool RemovePageGroups(std::string* pdf);

}  // namespace platform::posix
