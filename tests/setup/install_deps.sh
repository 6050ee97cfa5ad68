#!/usr/bin/env bash
# scripts/install-deps.sh with stand-ins for dpkg-query, apt-get, sudo, id
# and sleep on PATH, so that the real apt is never touched: it asks apt to
# wait for dpkg's lock, waits itself for the lock of the package lists and
# gives up on any other failure or after the time allowed; a user who is not
# root goes through sudo. Its groups: `run` and `package` hold nothing only
# the tests need, `test` holds every tool the tests run, and the make
# targets ask for the group they need.
set -euo pipefail
source_dir=$1
script=$source_dir/scripts/install-deps.sh
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --- the stand-ins --------------------------------------------------------
fake=$scratch/bin
mkdir "$fake"
log=$scratch/log
# dpkg-query: the packages named in $scratch/installed are installed.
cat >"$fake/dpkg-query" <<EOF
#!/bin/sh
for p; do :; done
grep -qx "\$p" "$scratch/installed" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
EOF
# apt-get: logs its arguments; "update" fails as $scratch/update says, one
# line per call (lock or fetch), and succeeds when the lines are used up.
cat >"$fake/apt-get" <<EOF
#!/bin/bash
echo "apt-get \$*" >>"$log"
if [[ " \$* " == *" update "* ]] && [[ -s "$scratch/update" ]]; then
  outcome=\$(head -n 1 "$scratch/update")
  sed -i 1d "$scratch/update"
  case \$outcome in
    lock) echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)" >&2 ;;
    fetch) echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/InRelease" >&2 ;;
  esac
  exit 100
fi
exit 0
EOF
cat >"$fake/sudo" <<EOF
#!/bin/sh
echo "sudo \$*" >>"$log"
exec "\$@"
EOF
cat >"$fake/id" <<EOF
#!/bin/sh
cat "$scratch/uid"
EOF
cat >"$fake/sleep" <<EOF
#!/bin/sh
echo "sleep \$*" >>"$log"
EOF
chmod +x "$fake"/*

# Runs install-deps.sh with the stand-ins; its output in $scratch/out.
deps() {
  : >"$log"
  PATH="$fake:$PATH" bash "$script" "$@" >"$scratch/out" 2>&1
}
calls() { grep -c "$1" "$log" || true; }

# --- waiting for apt's locks ----------------------------------------------
echo 0 >"$scratch/uid"
: >"$scratch/installed"
: >"$scratch/update"
deps run || fail "install-deps.sh run failed: $(cat "$scratch/out")"
install_line=$(grep '^apt-get.* install ' "$log") || fail "nothing was installed: $(cat "$log")"
for call in "$(grep '^apt-get.* update' "$log")" "$install_line"; do
  [[ $call == *"-o DPkg::Lock::Timeout=600 "* ]] || fail "apt-get does not wait for dpkg's lock: $call"
done
mapfile -t run < <(bash "$script" --list run)
[[ $install_line == *" --no-install-recommends ${run[*]}" ]] || fail "the run group was not installed: $install_line"
! grep -q '^sudo' "$log" || fail "root went through sudo"

VELMORA_APT_LOCK_TIMEOUT=30 deps run || fail "a shorter time allowed failed"
[[ $(calls 'DPkg::Lock::Timeout=30 ') -eq 2 ]] || fail "VELMORA_APT_LOCK_TIMEOUT is not passed on: $(cat "$log")"

# The lists' lock is held for two tries, then free.
printf 'lock\nlock\n' >"$scratch/update"
deps run || fail "install-deps.sh did not wait for the lists' lock: $(cat "$scratch/out")"
[[ $(calls '^apt-get.* update') -eq 3 && $(calls '^sleep ') -eq 2 && $(calls '^apt-get.* install ') -eq 1 ]] ||
  fail "two held locks: $(cat "$log")"
grep -q 'Waiting for another apt' "$scratch/out" || fail "the wait is not announced: $(cat "$scratch/out")"

# Held for longer than allowed: it gives up, and installs nothing.
printf 'lock\n%.0s' $(seq 10) >"$scratch/update"
! VELMORA_APT_LOCK_TIMEOUT=10 deps run || fail "install-deps.sh waited past the time allowed"
[[ $(calls '^sleep ') -eq 2 && $(calls ' install ') -eq 0 ]] || fail "a lock held too long: $(cat "$log")"
grep -q "still held after 10 seconds" "$scratch/out" || fail "giving up is not explained: $(cat "$scratch/out")"

# Another failure is not waited for.
printf 'fetch\n' >"$scratch/update"
! deps run || fail "a failed update was taken for success"
[[ $(calls '^sleep ') -eq 0 && $(calls ' install ') -eq 0 ]] || fail "a failed fetch was waited for: $(cat "$log")"
grep -q 'Failed to fetch' "$scratch/out" || fail "apt's error is not shown: $(cat "$scratch/out")"

# A user goes through sudo; nothing is asked of apt when all is installed.
echo 1000 >"$scratch/uid"
: >"$scratch/update"
deps run || fail "install-deps.sh as a user failed: $(cat "$scratch/out")"
[[ $(calls '^sudo .*apt-get') -eq 2 ]] || fail "a user's apt-get does not go through sudo: $(cat "$log")"
printf '%s\n' "${run[@]}" >"$scratch/installed"
deps run || fail "install-deps.sh with everything installed failed"
[[ ! -s $log ]] || fail "apt was asked although everything is installed: $(cat "$log")"

# --- the groups -----------------------------------------------------------
mapfile -t package < <(bash "$script" --list package)
mapfile -t test < <(bash "$script" --list test)
[[ $(bash "$script" --list) == "$(bash "$script" --list test)" ]] || fail "the default group is not test"
! bash "$script" --list everything 2>/dev/null || fail "an unknown group is accepted"
contains() {
  local group=$1 p
  shift
  for p; do [[ " $group " == *" $p "* ]] || return 1; done
}
contains "${package[*]}" "${run[@]}" || fail "the package group lacks some of the run group"
contains "${test[*]}" "${package[@]}" || fail "the test group lacks some of the package group"
for p in translate-toolkit imagemagick xvfb xauth gettext libxml2-utils libgtest-dev libgmock-dev googletest \
  libbenchmark-dev lintian devscripts; do
  contains "${test[*]}" "$p" || fail "the test group lacks $p"
  ! contains "${package[*]}" "$p" || fail "the package group (make run, make package) holds $p"
done

# Every tool the tests run comes from a package of the test group.
for tool in lintian hardening-check desktop-file-validate appstreamcli xdg-mime update-mime-database \
  update-desktop-database gio man help2man dpkg-shlibdeps dpkg-parsechangelog file msgfmt msgcat msgmerge \
  pocount po2xliff xmllint xvfb-run; do
  path=$(command -v "$tool") || fail "$tool is not installed here: scripts/install-deps.sh should have installed it"
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null) ||
    fail "no package owns $path"
  owner=${owner%%:*}
  contains "${test[*]}" "$owner" || fail "$tool comes from $owner, which the test group does not install"
done

# --- the make targets ask for their group ---------------------------------
for target in run:run demo:run install:package package:package build:test test:test deps:test; do
  commands=$(make -n -C "$source_dir" "${target%%:*}" BUILD="$scratch/build" 2>/dev/null) ||
    fail "make -n ${target%%:*} failed"
  groups=$(grep -o 'install-deps.sh [a-z]*' <<<"$commands" | sort -u)
  [[ $groups == "install-deps.sh ${target#*:}" ]] || fail "make ${target%%:*} installs: $groups"
done
echo "install-deps: ok"
