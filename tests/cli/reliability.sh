#!/usr/bin/env bash
# velmora-cli under concurrent edits, interrupted saves, file size limits and
# a memory limit. Every check holds whatever the timing, so the outcome does
# not depend on the machine's speed.
# $1: path of the velmora-cli program.
set -uo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# The files of a folder besides the project's lock files.
leftovers() { ls -A "$1" | grep -v -E '^\..*\.(lock|open)$' | grep -v -x -F -f <(printf '%s\n' "${@:2}"); }

"$cli" make-sample . --bench-unit 8 --phrases 3000 >/dev/null || fail "make-sample"

# --- 50 concurrent edits of one project: all survive ---------------------
"$cli" new APM.BIN -o p.vmprj >/dev/null || fail "new APM.BIN"
mapfile -t rows < <("$cli" phrases p.vmprj | awk 'NR > 1 { print $1 }' | head -50)
[ "${#rows[@]}" -eq 50 ] || fail "the demo unit has ${#rows[@]} phrases, not 50"
pids=()
for i in "${rows[@]}"; do
  "$cli" translate p.vmprj "$i" "Edit $i" >/dev/null &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "a concurrent translate failed"; done
edited=$("$cli" phrases p.vmprj --filter only-edited | awk -F'\t' 'NR > 1 && $8 == "Edit " $1' | wc -l)
[ "$edited" -eq 50 ] || fail "only $edited of 50 concurrent edits survived"

# --- saves killed at any point leave the old file or the new one ---------
# Each signal once while the new file is being written (found through the
# program's open files, so the kill lands there on any machine) and once
# after a fixed delay.
mkdir kill && cp BENCH.BIN kill/
"$cli" new kill/BENCH.BIN -o kill/big.vmprj >/dev/null || fail "new BENCH.BIN"
row=$("$cli" phrases kill/big.vmprj | awk 'NR == 2 { print $1 }')
# Runs "$@", waits until it has a file open in folder kill/ other than the
# project, the unit and the lock files -- the new file being written -- and
# then sends it signal $SIG (polled from Python, fast enough for a save of a
# few milliseconds). Exit 0 when the signal came while the file was open.
kill_while_writing() {
  python3 - "$@" <<'PY'
import os, signal, subprocess, sys
folder = os.path.realpath("kill") + "/"
p = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
caught = False
while p.poll() is None and not caught:
    try:
        for fd in os.listdir("/proc/%d/fd" % p.pid):
            target = os.readlink("/proc/%d/fd/%s" % (p.pid, fd))
            name = target[len(folder):] if target.startswith(folder) else None
            if name and name not in ("big.vmprj", "BENCH.BIN") and not name.endswith((".lock", ".open")):
                p.send_signal(getattr(signal, "SIG" + os.environ["SIG"]))
                caught = True
                break
    except OSError:
        pass
p.wait()
sys.exit(0 if caught else 1)
PY
}
n=0
during=0
for sig in INT TERM KILL; do
  for when in writing 0.02; do
    n=$((n + 1))
    cp kill/big.vmprj before.vmprj
    if [ "$when" = writing ]; then
      SIG=$sig kill_while_writing "$cli" translate kill/big.vmprj "$row" "Killed $n" && during=$((during + 1))
    else
      "$cli" translate kill/big.vmprj "$row" "Killed $n" >/dev/null 2>&1 &
      pid=$!
      sleep "$when"
      kill -s "$sig" "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
    if ! cmp -s kill/big.vmprj before.vmprj; then
      # The save finished: the new project, complete.
      text=$("$cli" phrases kill/big.vmprj | awk -F'\t' -v row="$row" '$1 == row { print $8 }')
      [ "$text" = "Killed $n" ] || fail "SIG$sig ($when): neither the old nor the new project ($text)"
    fi
    left=$(leftovers kill big.vmprj BENCH.BIN)
    [ -z "$left" ] || fail "SIG$sig ($when) left: $left"
  done
done
[ $during -eq 3 ] || fail "only $during of 3 saves were caught while writing"

# --- a file size limit: a clear message, the old file, no leftovers -------
cp kill/big.vmprj before.vmprj
msg=$( (ulimit -f 4096; "$cli" translate kill/big.vmprj "$row" "Too big" 2>&1 >/dev/null) )
rc=$?
[ $rc -eq 1 ] || fail "translate under a size limit: exit $rc"
case "$msg" in
  *"Stream write error: kill/big.vmprj: File too large"*) ;;
  *) fail "translate under a size limit said: $msg" ;;
esac
cmp -s kill/big.vmprj before.vmprj || fail "the size limit changed the project"
msg=$( (ulimit -f 64; "$cli" build-bin kill/big.vmprj -o kill/out.BIN 2>&1 >/dev/null) )
[ $? -eq 1 ] || fail "build-bin under a size limit did not fail"
case "$msg" in *"Stream write error: kill/out.BIN: File too large"*) ;; *) fail "build-bin said: $msg" ;; esac
left=$(leftovers kill big.vmprj BENCH.BIN)
[ -z "$left" ] || fail "the size limit left: $left"

# --- crafted files under a memory limit -----------------------------------
# The demo loader with the directory's and the header's size of unit APM set
# to FFFFFFFF: 47 KB that claim 4 GB; and the same loader as a volume set.
python3 - <<'EOF' || fail "crafting the loader"
import struct
d = bytearray(open("LOADING.KWI", "rb").read())
# The "AISIN-AW" entry's first module record and its unit 0 (see 'info').
count = struct.unpack(">H", d[0:2])[0]
p = 4 + 16 * count
records = []
for i in range(count):
    modules = struct.unpack(">H", d[4 + 16 * i + 12:4 + 16 * i + 14])[0]
    names, p = p, p + 64 * modules
    records.append((p, modules))
    p += 256 * modules
record = records[1][0]                              # maker entry 1 is "AISIN-AW"
start = struct.unpack(">I", d[record + 250:record + 254])[0] >> 8 << 11
offset = start + 2 * struct.unpack(">I", d[record + 72 + 8:record + 72 + 12])[0]
d[record + 72 + 12:record + 72 + 16] = b"\xff" * 4
d[offset + 116:offset + 120] = b"\xff" * 4
open("crafted.KWI", "wb").write(d)
import os
os.makedirs("set", exist_ok=True)
for k in range(0, len(d), 20000):
    open("set/ALLDATA%d.KWI" % (k // 20000 + 1), "wb").write(d[k:k + 20000])
EOF
mkdir -p crafted && mv crafted.KWI crafted/LOADING.KWI
libs=$(ldd "$cli" 2>/dev/null)
if [[ "$libs" == *libasan* || "$libs" == *libtsan* ]]; then
  limit=unlimited  # a sanitizer reserves terabytes of address space
else
  limit=1048576    # 1 GB
fi
for src in crafted/LOADING.KWI set/ALLDATA1.KWI; do
  msg=$( (ulimit -v $limit; "$cli" new "$src" -o crafted.vmprj --yes 2>&1 >/dev/null) )
  rc=$?
  [ $rc -eq 1 ] || fail "new $src under a memory limit: exit $rc"
  case "$msg" in
    *"Stream read error: "*"before the unit's end at byte "*) ;;
    *) fail "new $src under a memory limit said: $msg" ;;
  esac
done
[ ! -e crafted.vmprj ] || fail "a project was written from a crafted loader"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed ($n interrupted saves, $during of them while writing)"
