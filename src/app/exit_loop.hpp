#pragma once
// The closing screen: how to leave, and the wait for a key or a mouse button.

/// Shows the closing text, switches mouse reporting on and waits for Enter, Esc, Alt+Q or
/// the release of a mouse button; the right button first runs the command interpreter named
/// by COMSPEC and waits for it. Without usable console input it returns at once.
void AppExitLoop();
