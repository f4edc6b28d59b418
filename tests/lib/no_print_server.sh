# Keeps a test's runs of the programs off the machine's own printers when the test needs no
# print server of its own: CUPS_SERVER names a socket in the test's directory where nothing
# listens. The POSIX program then prints to its built-in "PDF file" destination in its
# current directory, and wine, which reads the printers through the same variable, finds
# none.
#
#   no_print_server DIR   export CUPS_SERVER=DIR/no-print-server.sock

no_print_server() { export CUPS_SERVER="$1/no-print-server.sock"; }
