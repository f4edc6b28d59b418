#pragma once
// Where printer fonts are found: fontconfig's configuration. The families the runtime itself
// asks for (its built-in fonts and the page's caption: "MS Sans Serif", "Courier New",
// "Arial") are found through a small configuration of the program's own, which reads the
// font directories through the system's caches but none of the system's many rules, and so
// costs a fraction of the system's whole configuration; each face of them is looked up once,
// when it is first used, among the fonts of the families it may be. Any other family, and one
// of the runtime's for which the program's configuration finds no face that may stand for
// it, is found with the system's configuration, read when first asked for, so that every font
// the user has stays reachable by its name.

#include <cairo.h>

namespace platform::posix {

/// Starts setting the fonts up on a thread of its own, once: it takes milliseconds that the
/// first font need not wait for when printing starts early enough. Without a thread the
/// fonts are set up when the first one is needed.
void WarmUpFonts();

/// Waits for the font set-up; false when it could not be done (the memory ran out), and
/// then no font can be made.
bool FontsReady();

/// The face cairo draws the face name ("" the default face) in, with the slant and weight
/// asked for: the face a cairo font face of that family, slant and weight finds, with the
/// options and at the size (pixels per em) of its first use. The caller destroys it; null when
/// no configuration could be read.
cairo_font_face_t* CreateFontFace(const char* faceName, cairo_font_slant_t slant,
                                  cairo_font_weight_t weight, const cairo_font_options_t* options,
                                  double pixels);

}  // namespace platform::posix
