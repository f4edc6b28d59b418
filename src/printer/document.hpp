#pragma once
// The print document and its pages. A document begins when a printer is attached and ends
// when it is released; a page is started by the first operation that needs one and ended by
// a form feed or by the end of the document, so nothing drawn means no page.

#include <cstdint>

#include "runtime/text.hpp"

/// The job title when the caller gives none.
inline constexpr const char* kPrnDefaultDocumentName = "Print job";

/// Starts the platform document titled `documentName` (or "Print job"), makes the document
/// font current and reads the measurements. False when the platform refuses the document.
bool PrnBeginDocument(const Text& documentName);

/// Makes sure a page is open: resets the device context with the device mode, selects the
/// current font, applies the colours, reads the measurements, starts the page and puts the
/// current position at (0, 0). False (runtime error 57 for the caller to raise) when no
/// printer is attached or the platform refuses a step.
bool PrnEnsurePage();

/// PrnEnsurePage for the operations that raise its failure: raises 57 and returns false.
bool PrnRequirePage();

/// Ends the open page, if any; the next drawing starts the next page. Raises 57 with nothing
/// attached or when the platform refuses to end the page.
void PrnFormFeed();

/// Ends the open page and the document, which hands the job to the printer. Raises 57 when
/// the platform refuses to end the page or the document: the job did not reach the printer.
void PrnEndDocument();

/// Discards the document: nothing drawn since it began is printed.
void PrnAbortDocument();

/// The file the last document that reached its printer went to, when that printer writes
/// files instead of printing (the POSIX "PDF file"): its name in the directory that was
/// current then. The empty text when it went to a printer, or none has. Raises nothing.
Text PrnDocumentFile();
