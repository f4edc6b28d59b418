# Instructions by ELF object in one callgrind output file written with
# --compress-strings=no --dump-instr=no, one line each:
#   self OBJECT COUNT   the instructions of OBJECT's own code
#   libc OBJECT COUNT   the C library's instructions in the calls OBJECT's code made to it
#                       (memcpy, malloc, ...), which its own code does not show
# OBJECT is the file's name without its directory and the ".so" version ("libcups"). Code
# callgrind places in no object is the call stubs of an object's procedure linkage table,
# counted for the object that calls it. A call counts for the second kind only when the C
# library function called never leads back out of the C library (as __libc_start_main leads
# to main and exit to the handlers): its whole count is then the C library's work for the
# caller.
function object(path) {
    sub(/.*\//, "", path)
    sub(/\.so(\..*)?$/, "", path)
    return path == "???" ? "?" : path
}
/^ob=/ { current = object(substr($0, 4)); next }
/^fn=/ { function_ = current SUBSEP substr($0, 4); next }
# The next call's callee; a call without an object stays in the caller's.
/^cob=/ { callee_object = object(substr($0, 5)); next }
/^cfn=/ { callee_name = substr($0, 5); next }
/^calls=/ { calling = 1; next }
/^[0-9+*-]/ {
    # The line after calls= is the call's inclusive count, already counted in the callee.
    if (calling) {
        calls[function_, (callee_object != "" ? callee_object : current) SUBSEP callee_name] += $NF
        calling = 0
        callee_object = ""
    } else {
        self[function_] += $NF
    }
    next
}
END {
    # A stub belongs to the object that calls it most.
    for (pair in calls) {
        split(pair, part, SUBSEP)
        stub = part[3] SUBSEP part[4]
        if (part[3] == "?" && part[1] != "?" && calls[pair] >= stub_calls[stub]) {
            stub_calls[stub] = calls[pair]
            owner[stub] = part[1]
        }
    }
    for (pair in calls) {
        split(pair, part, SUBSEP)
        caller = part[1] SUBSEP part[2]
        from = part[1] == "?" && (caller in owner) ? owner[caller] : part[1]
        edge_from[pair] = from
        if (from == "libc" && part[3] != "libc" && part[3] != "?") leaves_libc[caller] = 1
    }
    # A C library function that calls one that leads out of the C library leads out too.
    do {
        grown = 0
        for (pair in calls) {
            split(pair, part, SUBSEP)
            caller = part[1] SUBSEP part[2]
            if (edge_from[pair] == "libc" && ((part[3] SUBSEP part[4]) in leaves_libc) &&
                !(caller in leaves_libc)) {
                leaves_libc[caller] = 1
                grown = 1
            }
        }
    } while (grown)
    for (pair in calls) {
        split(pair, part, SUBSEP)
        if (edge_from[pair] != "libc" && part[3] == "libc" &&
            !((part[3] SUBSEP part[4]) in leaves_libc)) {
            libc[edge_from[pair]] += calls[pair]
        }
    }
    for (fn in self) {
        split(fn, part, SUBSEP)
        total[part[1] == "?" && (fn in owner) ? owner[fn] : part[1]] += self[fn]
    }
    for (name in total) print "self", name, total[name]
    for (name in libc) print "libc", name, libc[name]
}
