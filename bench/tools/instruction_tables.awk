# The tables of bench/instructions.sh, from the files callgrind_objects.awk wrote, one per run,
# named NAME.RUN: NAME is program, floor (its library floor), lp or lp_floor.
#   awk -v runs=5 -v program=virodaro -f instruction_tables.awk program.* floor.* lp.* lp_floor.*
# Below this many instructions, in both columns, a library's row joins "the others".
BEGIN { kSmall = 5e4 }

function mega(n) { return sprintf("%.2f M", n / 1e6) }

# The median of KEY over the runs in TABLE (TABLE[KEY, run]).
function median(table, key,    i, j, v, values) {
    for (i = 1; i <= runs; i++) {
        v = table[key, i - 1] + 0
        for (j = i - 1; j >= 1 && values[j] > v; j--) values[j + 1] = values[j]
        values[j + 1] = v
    }
    return runs % 2 ? values[(runs + 1) / 2] : (values[runs / 2] + values[runs / 2 + 1]) / 2
}

# The lowest and highest of KEY over the runs, less LESS.
function spread(table, key, less,    i, v, low, high) {
    for (i = 0; i < runs; i++) {
        v = table[key, i] - less
        if (i == 0 || v < low) low = v
        if (i == 0 || v > high) high = v
    }
    return sprintf("%.2f to %.2f M", low / 1e6, high / 1e6)
}

# What KIND (self or libc) counts for OBJECT beyond the floor: the measured NAME's median less
# its floor's. A program's own code has no floor.
function beyond(table, name, object) {
    if (object == program || object == "lp") return median(table, name SUBSEP object)
    return median(table, name SUBSEP object) - median(table, name "_floor" SUBSEP object)
}

function label(object) {
    if (object == program) return "the program's own code"
    if (object == "lp") return "lp's own code"
    if (object == "ld-linux-x86-64") return "the loader (ld.so)"
    return object
}

function small(a, b) { return a < kSmall && a > -kSmall && b < kSmall && b > -kSmall }

# Sorts rows 1..N of NAMES, FIRST and SECOND by FIRST, largest first.
function sort_rows(names, first, second, n,    i, j, t) {
    for (i = 2; i <= n; i++) {
        for (j = i; j > 1 && first[j] > first[j - 1]; j--) {
            t = names[j]; names[j] = names[j - 1]; names[j - 1] = t
            t = first[j]; first[j] = first[j - 1]; first[j - 1] = t
            t = second[j]; second[j] = second[j - 1]; second[j - 1] = t
        }
    }
}

{
    split(FILENAME, at, ".")
    # The floor's counts stand under the name of what they are the floor of.
    name = at[1] == "floor" ? "program_floor" : at[1]
    if ($1 == "self") {
        total[name, at[2]] += $3
        self[name, $2, at[2]] = $3
        objects[$2] = 1
    } else {
        libc[name, $2, at[2]] = $3
        callers[$2] = 1
    }
}

END {
    floor = median(total, "program_floor")
    lp_floor = median(total, "lp_floor")
    printf "| | instructions (median of %d run%s) | spread |\n|---|---|---|\n", runs,
        runs == 1 ? "" : "s"
    printf "| the program | %s | %s |\n", mega(median(total, "program")),
        spread(total, "program", 0)
    printf "| its library floor | %s | %s |\n", mega(floor), spread(total, "program_floor", 0)
    printf "| the program beyond its floor | %s | %s |\n",
        mega(median(total, "program") - floor), spread(total, "program", floor)
    printf "| `lp` | %s | %s |\n", mega(median(total, "lp")), spread(total, "lp", 0)
    printf "| `lp`'s library floor | %s | %s |\n", mega(lp_floor), spread(total, "lp_floor", 0)
    printf "| `lp` beyond its floor | %s | %s |\n", mega(median(total, "lp") - lp_floor),
        spread(total, "lp", lp_floor)
    printf "\nBeyond its floor the program does %.2f times what `lp` does beyond its own.\n",
        (median(total, "program") - floor) / (median(total, "lp") - lp_floor)

    rows = 0
    for (object in objects) {
        ours = beyond(self, "program", object)
        theirs = beyond(self, "lp", object)
        if (small(ours, theirs)) {
            rest += ours
            lp_rest += theirs
            continue
        }
        row[++rows] = object
        row_ours[rows] = ours
        row_theirs[rows] = theirs
    }
    sort_rows(row, row_ours, row_theirs, rows)
    printf "\n| beyond the floor, by library | the program | `lp` |\n|---|---|---|\n"
    for (i = 1; i <= rows; i++) {
        printf "| %s | %s | %s |\n", label(row[i]), mega(row_ours[i]), mega(row_theirs[i])
        if (row[i] != "libc") continue
        # The C library's count is the work it did for the others: each caller's share.
        shares = 0
        for (caller in callers) {
            ours = beyond(libc, "program", caller)
            theirs = beyond(libc, "lp", caller)
            if (small(ours, theirs)) continue
            share[++shares] = caller
            share_ours[shares] = ours
            share_theirs[shares] = theirs
        }
        sort_rows(share, share_ours, share_theirs, shares)
        ours = row_ours[i]
        theirs = row_theirs[i]
        for (j = 1; j <= shares; j++) {
            printf "| &nbsp;&nbsp;of which for %s | %s | %s |\n", label(share[j]),
                mega(share_ours[j]), mega(share_theirs[j])
            ours -= share_ours[j]
            theirs -= share_theirs[j]
        }
        printf "| &nbsp;&nbsp;of which otherwise | %s | %s |\n", mega(ours), mega(theirs)
    }
    printf "| the others together | %s | %s |\n", mega(rest), mega(lp_rest)
}
