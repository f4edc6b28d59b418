#pragma once
// What the run tells the user about a print server it gave up: that it does not answer,
// gives no usable answer or asks for a password, and where the page went instead.

#include "printer/enumeration.hpp"
#include "runtime/text.hpp"

/// The line that names the server and what is wrong with it; empty for kNone.
Text AppServerTroubleLine(PrintServerTrouble trouble, const Text& server);

/// The report's line that names the file the page went to because of the server.
Text AppPageInFileLine(PrintServerTrouble trouble, const Text& server, const Text& file);
