"""The hostile print server's parts: the wire formats, the cases, the mutations."""
