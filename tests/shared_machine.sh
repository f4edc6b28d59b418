#!/usr/bin/env bash
# The POSIX program on a machine that other people share, run in a terminal (a pseudo-
# terminal of the test's own) as root and as an unprivileged user:
# - a save in a directory that everyone may write (and that is not sticky), where another
#   user has put a symbolic link, a hard link, a link that leads nowhere and a file of their
#   own at the names the save writes its new content under: nothing is written through any of
#   them, none of them becomes the settings file, and the save still succeeds;
# - a settings file the user made private or shared with a group keeps its mode and group
#   through a save, whatever the umask;
# - bytes of a settings file or of a print server's queue name that a terminal would take
#   for controls (C1 controls such as CSI and OSC, ESC) never reach the terminal as such, in
#   the C locale and in a UTF-8 one;
# - the prompts reach the terminal with standard output and error redirected, and with all
#   three standard descriptors closed.
# The print server is a socket where nothing listens (pages go to "PDF file"), but for the
# queue name, which a private print server lists.
set -euo pipefail
program=$1
session=$2
source "$(dirname "$0")/lib/setup.sh"
test_setup cups
# Copies the other users can run wherever the build tree lies.
cp "$program" "$work/virodaro"
cp "$session" "$work/pty_session"
program="$work/virodaro"
session="$work/pty_session"
export TERM=xterm LANG=C.UTF-8
unset LC_ALL

# The answers of a first run: X, Y, and whether to save; then Enter ends the closing screen
# (typed ahead: its text may go to a file instead of the terminal).
first_run_script() {
    printf 'wait X axis: \nsend %s\\r\nwait Y axis: \nsend %s\\r\nwait (Y/N)\nsend y\\r\\r\n' \
        "$1" "$2" >"$work/script"
}

# Runs the program as user $1 in directory $2 on a new terminal, after the shell command
# $3 (which sees the program's own process id as $$), keeping what the terminal got in $2.out.
run_as() {
    local user=$1 dir=$2 before=$3 status=0
    local start=(setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups --)
    (cd "$dir" && "$session" "$dir.out" "$work/script" \
        bash -c "$before; exec ${start[*]} $program") || status=$?
    echo "$status"
}

bytes_of() { od -An -tx1 -v "$1" | tr -s ' \n' ' '; }

for user in root nobody; do
    other=daemon
    # The file an attacker would have the save overwrite: one the running user may write.
    precious="$work/precious-$user"
    printf 'precious' >"$precious"
    chown "$user" "$precious"
    dir="$work/shared-$user"
    mkdir "$dir"
    chmod 0777 "$dir"

    # Another user's links and file at the first names the save would use (the save's own
    # process id is known to whoever watches the machine's processes), and a link at the
    # name that earlier versions wrote through.
    cat >"$work/plant" <<PLANT
ln -s "$precious" "$dir/VIRODARO.CFG.tmp"
name="$dir/VIRODARO.CFG.\$1"
ln -s "$precious" "\$name-1.tmp"
ln "$precious" "\$name-2.tmp"
ln -s "$dir/nowhere" "\$name-3.tmp"
printf 'theirs' >"\$name-4.tmp"
chmod 666 "\$name-4.tmp"
chown -h $other "\$name"-[1-4].tmp
PLANT
    first_run_script 12 -8
    status=$(run_as "$user" "$dir" "bash $work/plant \$\$")
    check_eq "$user, planted names: exit code" 0 "$status"
    check_eq "$user, planted names: the save succeeded" 1 "$(grep -c 'Saved VIRODARO.CFG File' "$dir.out" || true)"
    check_eq "$user, planted names: nothing written through a link" precious "$(cat "$precious")"
    check_eq "$user, planted names: the settings file is the user's own plain file" \
        "regular file $user" "$(stat -c '%F %U' "$dir/VIRODARO.CFG")"
    check_eq "$user, planted names: its content" "$(printf '12\r\n-8\r\n' | od -An -tx1 -v | tr -s ' \n' ' ')" \
        "$(bytes_of "$dir/VIRODARO.CFG")"
    check_eq "$user, planted names: the link that leads nowhere still does" "no" \
        "$([[ -e "$dir/nowhere" ]] && echo yes || echo no)"
    check_eq "$user, planted names: the other user's file untouched" "theirs $other" \
        "$(cat "$dir"/VIRODARO.CFG.*-4.tmp) $(stat -c %U "$dir"/VIRODARO.CFG.*-4.tmp)"
    check_eq "$user, planted names: what the other user put there stays, nothing else is left" \
        "VIRODARO.CFG 1.tmp 2.tmp 3.tmp 4.tmp VIRODARO.CFG.tmp" \
        "$(cd "$dir" && ls | grep -v '\.pdf$' | sed 's/^VIRODARO\.CFG\.[0-9]*-//' | tr '\n' ' ' | sed 's/ $//')"

    # A link that leads nowhere at the settings file's own name: it counts as no file, and the
    # save puts a file in its place instead of making its target.
    dir="$work/dangling-$user"
    mkdir "$dir"
    chmod 0777 "$dir"
    ln -s "$dir/target" "$dir/VIRODARO.CFG"
    first_run_script 1 2
    status=$(run_as "$user" "$dir" true)
    check_eq "$user, dangling settings link: exit code" 0 "$status"
    check_eq "$user, dangling settings link: replaced by a plain file, no target made" \
        "regular file absent" \
        "$(stat -c %F "$dir/VIRODARO.CFG") $([[ -e "$dir/target" ]] && echo made || echo absent)"
done

# The settings file keeps its mode and group through a save (its reset pair "0" "0" asks the
# question again, without the prompts), under a umask that would give a new file another
# mode.
printf 'wait (Y/N)\nsend y\\r\\r\n' >"$work/save-script"
for user in root nobody; do
    group=$(id -gn "$user")
    if [[ $user == root ]]; then group=daemon; fi
    for mode_umask in 600:022 664:077 640:077; do
        mode=${mode_umask%:*}
        mask=${mode_umask#*:}
        dir="$work/mode-$user-$mode"
        mkdir "$dir"
        chown "$user" "$dir"
        printf '0\r\n0\r\n' >"$dir/VIRODARO.CFG"
        chown "$user:$group" "$dir/VIRODARO.CFG"
        chmod "$mode" "$dir/VIRODARO.CFG"
        inode=$(stat -c %i "$dir/VIRODARO.CFG")
        cp "$work/save-script" "$work/script"
        status=$(run_as "$user" "$dir" "umask $mask")
        check_eq "$user, mode $mode under umask $mask: exit code" 0 "$status"
        check_eq "$user, mode $mode under umask $mask: mode, owner and group kept" \
            "$mode $user $group" "$(stat -c '%a %U %G' "$dir/VIRODARO.CFG")"
        check_eq "$user, mode $mode under umask $mask: a new file in the old one's place" \
            "saved other" "$(grep -q 'Saved VIRODARO.CFG File' "$dir.out" && echo saved) $(
                [[ $(stat -c %i "$dir/VIRODARO.CFG") != "$inode" ]] && echo other)"
    done
done

# Bytes a terminal would act on, in the settings file: 8-bit CSI and OSC, BEL, ESC.
dir="$work/controls"
mkdir "$dir"
printf '\x9b2J\x9d0;owned\x07\r\n\x1b[31m\x90q\r\n' >"$dir/VIRODARO.CFG"
printf 'wait Exit Program\nsend \\r\n' >"$work/script"
for locale in C C.UTF-8; do
    status=0
    (cd "$dir" && LANG=$locale "$session" "$dir-$locale.out" "$work/script" "$program") ||
        status=$?
    check_eq "locale $locale: exit code" 0 "$status"
    raw=$(od -An -tx1 -v "$dir-$locale.out" | tr -s ' \n' ' ')
    if [[ $locale == C ]]; then
        check_eq "locale C: no byte above 127 reaches the terminal" "" \
            "$(grep -oE ' [89a-f][0-9a-f]' <<<"$raw" | head -1)"
    else
        # Only whole UTF-8 characters, none of them an 8-bit control.
        check_eq "locale $locale: valid UTF-8 without 8-bit controls" "valid" \
            "$(iconv -f UTF-8 -t UTF-8 "$dir-$locale.out" >/dev/null 2>&1 && echo valid)$(
                grep -oE ' c2 [89][0-9a-f]' <<<"$raw" | head -1)"
    fi
    # The text's own ESC would have opened "[31m"; only the program's sequences may.
    check_eq "locale $locale: the file's ESC does not reach the terminal" "" \
        "$(grep -o $'\x1b\\[31m' "$dir-$locale.out" || true)"
done
# BEL is one of the controls the console's own output path processes: it rings.
check_eq "C locale: what cannot be shown is a question mark" 1 \
    "$(grep -acF $'setting  X = ?2J?0;owned\a     Y = ?[31m?q' "$dir-C.out" || true)"
check_eq "UTF-8 locale: the bytes are code page 437 glyphs" 1 \
    "$(grep -acF $'setting  X = \xc2\xa22J\xc2\xa50;owned\a     Y = \xe2\x86\x90[31m\xc3\x89q' "$dir-C.UTF-8.out" || true)"

# A queue whose name holds 8-bit CSI and OSC, on the first screen's printer list.
(
    trap cups_stop EXIT
    cups_start "$work/cups"
    evil=$'evil\x9b2J\x9d0;x'
    cups_add_queue "$evil" drv:///sample.drv/generic.ppd
    dir="$work/queue-name"
    mkdir "$dir"
    printf 'wait X axis: \nsend \\r\nwait Y axis: \nsend \\r\nwait (Y/N)\nsend n\\r\\r\n' >"$work/script"
    status=0
    (cd "$dir" && LANG=C "$session" "$dir.out" "$work/script" "$program") || status=$?
    check_eq "queue name with controls: exit code" 0 "$status"
    check_eq "queue name with controls: no byte above 127 reaches the terminal" "" \
        "$(od -An -tx1 -v "$dir.out" | tr -s ' \n' ' ' | grep -oE ' [89a-f][0-9a-f]' | head -1)"
    # On the first screen's list, and in the report as the first printer.
    check_eq "queue name with controls: shown with question marks" 2 \
        "$(grep -acF 'evil?2J?0;x' "$dir.out")"
    check_done
) || CHECK_FAILURES=$((CHECK_FAILURES + 1))

# The prompts reach the terminal whatever the standard descriptors are.
for how in redirected closed; do
    dir="$work/$how"
    mkdir "$dir"
    first_run_script 5 6
    if [[ $how == redirected ]]; then
        redirect=">$dir/stdout.txt 2>$dir/stderr.txt"
    else
        redirect="<&- >&- 2>&-"
    fi
    status=0
    (cd "$dir" && "$session" "$dir.out" "$work/script" bash -c "exec $program $redirect") ||
        status=$?
    check_eq "standard descriptors $how: exit code" 0 "$status"
    check_eq "standard descriptors $how: the prompts were on the terminal" 3 \
        "$(grep -aoE 'X axis: |Y axis: |Save setting \(Y/N\)' "$dir.out" | wc -l)"
    check_eq "standard descriptors $how: the settings saved as typed" \
        "$(printf '5\r\n6\r\n' | od -An -tx1 -v | tr -s ' \n' ' ')" "$(bytes_of "$dir/VIRODARO.CFG")"
done
check_eq "standard output redirected: the screens went to its file" 1 \
    "$(grep -c 'Saved VIRODARO.CFG File' "$work/redirected/stdout.txt" || true)"
check_eq "standard descriptors closed: no screen text landed in a file" \
    "VIRODARO.CFG" "$(cd "$work/closed" && ls | grep -v '\.pdf$' | tr '\n' ' ' | sed 's/ $//')"

check_done
