# Assertions for the test scripts: each prints what differed and counts the failure.

CHECK_FAILURES=0

check_eq() {  # DESCRIPTION EXPECTED ACTUAL
    if [[ "$2" != "$3" ]]; then
        echo "FAIL: $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        CHECK_FAILURES=$((CHECK_FAILURES + 1))
    else
        echo "ok: $1"
    fi
}

# Whether every number of $2 is within $3 of the number in the same place in $1.
near() {
    local -a want=($1) got=($2)
    ((${#want[@]} == ${#got[@]})) || return 1
    local i
    for i in "${!want[@]}"; do
        local d=$((want[i] - got[i]))
        ((d <= $3 && d >= -$3)) || return 1
    done
}

check_near() {  # DESCRIPTION EXPECTED ACTUAL TOLERANCE: numbers that may differ by TOLERANCE
    if near "$2" "$3" "$4"; then check_eq "$1" "$2" "$2"; else check_eq "$1 (within $4)" "$2" "$3"; fi
}

check_done() {
    if ((CHECK_FAILURES > 0)); then
        echo "$CHECK_FAILURES check(s) failed"
        exit 1
    fi
}
