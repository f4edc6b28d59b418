#!/usr/bin/env bash
# Fails when the compiler fused a product and a sum into one instruction anywhere in the
# logic (arm64's fmadd and its kin, x86's vfmadd...): that rounds once where another
# processor rounds twice, and the two would print a different page.
# Usage: fused_arithmetic.sh OBJDUMP LIBRARY
set -euo pipefail
if fused=$("$1" -d "$2" | grep -E $'\t''v?fn?m(add|sub)[0-9a-z.]*'$'\t'); then
    echo "FAIL: fused multiply-add instructions in $2:"
    head -5 <<<"$fused"
    exit 1
fi
echo "ok: no fused multiply-add in $(basename "$2")"
