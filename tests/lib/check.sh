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

check_done() {
    if ((CHECK_FAILURES > 0)); then
        echo "$CHECK_FAILURES check(s) failed"
        exit 1
    fi
}
