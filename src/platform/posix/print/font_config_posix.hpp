#pragma once
// Where printer fonts are found: fontconfig's configuration. The families the runtime itself
// asks for (its built-in fonts and the page's caption: "MS Sans Serif", "Courier New",
// "Arial") are found through a small configuration of the program's own, which reads the
// font directories through the system's caches but none of the system's many rules, and so
// costs a fraction of the system's whole configuration. Any other family is found with the
// system's configuration, read when first asked for, so that every font the user has stays
// reachable by its name.

namespace platform::posix {

/// Starts setting the fonts up on a thread of its own, once: it takes milliseconds that the
/// first font need not wait for when printing starts early enough. Without a thread the
/// fonts are set up when the first one is needed.
void WarmUpFonts();

/// Waits for the font set-up; false when it could not be done (the memory ran out), and
/// then no font can be made.
bool FontsReady();

/// Makes current the configuration that finds the face name, after FontsReady: the
/// program's own for the families the runtime uses, the system's for any other. False when
/// no configuration could be read.
bool UseFontsFor(const char* faceName);

}  // namespace platform::posix
