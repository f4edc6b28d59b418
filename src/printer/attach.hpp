#pragma once
// Attaching a printer: by name, the system's default, or the one the user confirms in the
// print dialog. Attaching begins a print document; attaching again (even with an empty name)
// or cancelling releases the printer, and releasing is what makes the job print.

#include <cstdint>

#include "platform/types.hpp"
#include "runtime/text.hpp"

/// Attach modes; only the two low bits count, and bit 0 set means the default printer.
enum PrnAttachMode : int32_t {
    kPrnAttachByName = 0,
    kPrnAttachDefault = 1,
    kPrnAttachChoose = 2,
};

/// Releases the attached printer (ending its document, which raises 57 when the job did not
/// reach the printer), then attaches the printer the mode names and begins a document titled
/// `documentName`. Failures raise runtime error 68 and empty the stored name; an empty name
/// in mode 0 and a cancelled dialog attach nothing and raise nothing more.
void PrnAttach(int32_t mode, const Text& printerName, const Text& documentName);

/// Ends the page and the document (raising 57 when the job did not reach the printer) and
/// releases the printer. Returns 0, or runtime error 57 when the device context could not be
/// released cleanly, which costs no page and is left to the caller.
uint8_t PrnDetach();

/// Discards the document without printing it and releases the printer. Never raises.
void PrnCancel();

/// The stored printer name: the last one attached, even when it has been released.
Text PrnPrinterName();

/// The attached printer's device context, or 0.
platform::Handle PrnHandle();
