#pragma once
// The first screen's list of the installed printers.

/// Writes every printer name, each followed by CR LF, and one line end after them: with no
/// printers an empty line stands alone.
void AppListPrinters();
