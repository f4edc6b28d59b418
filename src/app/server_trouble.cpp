#include "app/server_trouble.hpp"

namespace {

// What is wrong with the server, as it stands after its name in both lines.
const char* Wrong(PrintServerTrouble trouble, bool past) {
    switch (trouble) {
        case PrintServerTrouble::kNone:
            break;
        case PrintServerTrouble::kSilent:
            return past ? " did not answer" : " does not answer";
        case PrintServerTrouble::kUnusable:
            return " gave no usable answer";
        case PrintServerTrouble::kPassword:
            return " asks for a password";
    }
    return "";
}

}  // namespace

Text AppServerTroubleLine(PrintServerTrouble trouble, const Text& server) {
    if (trouble == PrintServerTrouble::kNone) return Text();
    return " ....The print server " + server + Wrong(trouble, false) + ".";
}

Text AppPageInFileLine(PrintServerTrouble trouble, const Text& server, const Text& file) {
    return " ....The print server " + server + Wrong(trouble, true) +
           ": the page went to the file \"" + file + "\".";
}
