#!/usr/bin/env bash
# tests/wine/run.sh <Windows build folder> [<native build folder>]
#
# The Windows modules end to end under Wine, on an X display of their own
# (Xvfb): a fresh 32-bit prefix in <Windows build folder>/wine-test, the
# component, the toolkit beside it and the test host (TestHost.dll)
# registered with regsvr32, then the script client (client.vbs) under cscript:
# searches whose rows must equal the native build's zvv on the same pages,
# AutoRefresh, the index prompt and progress dialog (answered by the test
# host; screenshots in wine-test/screenshots), a collection created anew by
# one process while another holds it open (CollectionSwap.exe), and finally
# regsvr32 /u and what it must remove and keep. Every check prints PASS or FAIL; the script
# exits non-zero when any failed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
win_build=$(cd "${1:?usage: run.sh <Windows build folder> [<native build folder>]}" && pwd)
native_build=$(cd "${2:-$here/../../build/default}" && pwd)

if [[ -z ${ZVV_WINE_ON_XVFB:-} ]]; then
  exec env ZVV_WINE_ON_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$win_build" "$native_build"
fi

started=$SECONDS
bin=$win_build/bin
zvv=$native_build/bin/zvv
work=$win_build/wine-test
shots=$work/screenshots
for file in "$bin/ZoViveviVadiro.dll" "$bin/dizode.dll" "$bin/TestHost.dll" "$bin/CollectionSwap.exe" \
  "$zvv"; do
  [[ -f $file ]] || { echo "run.sh: $file is missing: build it first" >&2; exit 1; }
done

# Wine turns file names into Unix names through the locale's character set.
export LC_ALL=C.UTF-8
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all
# No runtime installers: their prompts would wait for an answer forever.
export WINEDLLOVERRIDES="mscoree,mshtml="
# zvv keeps its registry beside the test's files, not in the user's home.
export ZVV_REGISTRY_FILE=$work/linux-registry.reg

failures=0
pass() { echo "PASS  $1"; }
fail() {
  echo "FAIL  $1"
  failures=$((failures + 1))
}
# check <what> <command...>: the command's success is the check's.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# A check of behaviour that another change is still to bring: it is expected
# to fail until then, and a pass fails the run so that the mark goes.
check_awaiting() {
  local awaiting=$1 what=$2
  shift 2
  if "$@"; then
    fail "$what: passes now; make it a plain check (it was awaiting $awaiting)"
  else
    echo "XFAIL $what (awaiting $awaiting)"
  fi
}
not() { ! "$@"; }
same() { diff -u "$1" "$2" >&2; }
windows_path() { winepath -w "$1"; }

# An install folder: the test's pages in Help, and the toolkit's folder that
# every installation has.
make_install() {
  mkdir -p "$1/Help" "$1/dizode"
  cp -R "$here/help/." "$1/Help/"
}

# client <mode> <install folder> <output> [<search>...]: the script client's
# output in UTF-8; cscript's own output goes to <output>.log.
client() {
  local mode=$1 install=$2 output=$3 raw=$3.utf16
  shift 3
  rm -f "$raw"
  ZVV_TEST_INSTALL_DIR="$(windows_path "$install")" \
    timeout 180 wine cscript //nologo "$(windows_path "$here/client.vbs")" "$mode" \
    "$(windows_path "$raw")" "$@" >"$output.log" 2>&1 || true
  if [[ -f $raw ]]; then iconv -f UTF-16 -t UTF-8 "$raw" | tr -d '\r' >"$output"; else : >"$output"; fi
}
# completed <output>: the client ran to its last line; if not, what cscript
# and Wine said (a script error, a crash's backtrace) goes to standard error.
completed() {
  [[ $(tail -n 1 "$1") == "end of script" ]] && return
  echo "--- $1.log (its first 60 lines)" >&2
  head -n 60 "$1.log" >&2
  return 1
}
# The row lines of one search, and its count of hits left out.
rows_of() { awk -v q="query $2" '$0 == q { on = 1; next } /^query / { on = 0 } on && /^row /' "$1"; }
outside_of() { awk -v q="query $2" '$0 == q { on = 1; next } /^query / { on = 0 } on && /^outside / { print $2 }' "$1"; }

# The searches, as client.vbs takes them: label|query|folder|titles only.
# Text outside ASCII is in the names, titles and folders of the pages too.
searches=(
  "full-text|printer||0"
  "title-only|printing||1"
  "folder|printer|guide|0"
  "utf8-full-text|Grüße||0"
  "utf8-title-only|crème||1"
  "utf8-folder|κειμένου|αναζήτηση|0"
)

# linux_rows <install folder> <search>: the native build's hits for one
# search, in the client's row format.
linux_rows() {
  local install=$1 label query folder title_only options=()
  IFS='|' read -r label query folder title_only <<<"$2"
  if ((title_only)); then options+=(--title-only); fi
  if [[ -n $folder ]]; then options+=(--dir "$folder"); fi
  "$zvv" --install-dir "$install" --json --limit 0 --no-ui "${options[@]}" -- "$query" |
    sed -E 's/^\{"score":([0-9]+),"title":"(.*)","key":".*","path":"(.*)"\}$/row \1|\3|\2/'
}
label_of() { echo "${1%%|*}"; }
# compare <client output> <label prefix>: every search's rows as on Linux.
compare() {
  local search label
  for search in "${searches[@]}"; do
    label=$(label_of "$search")
    rows_of "$1" "$2$label" >"$work/rows-$2$label.txt"
    check "$2$label: rows as on Linux" same "$work/linux-$label.txt" "$work/rows-$2$label.txt"
  done
}

# answer_shots <dialog log> <folder>: answers the test host's screenshot
# requests ("shot <name>" in the log) with the whole display in
# <folder>/<name>.png, and notes in <folder>/x11-windows.txt whether the
# dialog's caption names a visible X window, while the dialog waits for
# "<log>.<name>.done".
answer_shots() {
  local log=$1 folder=$2 done_names=" " word name caption
  while :; do
    if [[ -f $log ]]; then
      while read -r word name; do
        if [[ $word == caption ]]; then caption=$name; fi
        [[ $word == shot && $done_names != *" $name "* ]] || continue
        done_names+="$name "
        import -window root "$folder/$name.png"
        if xdotool search --onlyvisible --name "^$caption\$" >/dev/null; then
          echo "$name" >>"$folder/x11-windows.txt"
        fi
        : >"$log.$name.done"
      done <"$log"
    fi
    sleep 0.2
  done
}

shots_pid=
# The prefix's server and the screenshot loop end with the run, however it ends.
finish() {
  if [[ -n $shots_pid ]]; then kill "$shots_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
}
trap finish EXIT

rm -rf "$work"
mkdir -p "$work" "$shots"
echo "run.sh: Wine prefix in $WINEPREFIX"
wineboot -i >"$work/wineboot.log" 2>&1
# Wine draws the window frames itself, so the screenshots show the captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
# A crash ends the process with a backtrace in the client's log, instead of a
# crash dialog that waits for an answer until the client's time is up.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
echo "run.sh: prefix ready after $((SECONDS - started)) s"

make_install "$work/app"
make_install "$work/app-ui"
make_install "$work/app-declined"
make_install "$work/linux/app"

# --- Registration ---------------------------------------------------------
clsid='{E47FE2CC-A57B-11D2-BE8E-00C04F990001}'
typelib='{E47FE2BC-A57B-11D2-BE8E-00C04F990001}'
host_clsid='{F7EE4E9D-CD64-11D1-8C81-0060973D093D}'
has_key() { wine reg query "HKCR\\$1" >/dev/null 2>&1; }
value_of() { wine reg query "HKCR\\$1" /ve 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ { print $4 }'; }

check "regsvr32 registers the component" wine regsvr32 /s "$(windows_path "$bin/ZoViveviVadiro.dll")"
check "regsvr32 registers the test host" wine regsvr32 /s "$(windows_path "$bin/TestHost.dll")"
check "version ProgID names the class" [ "$(value_of 'Torvane.ViveviVadiro.1\CLSID')" == "$clsid" ]
check "version-independent ProgID names the class" \
  [ "$(value_of 'Torvane.ViveviVadiro\CLSID')" == "$clsid" ]
check "version-independent ProgID names its version" \
  [ "$(value_of 'Torvane.ViveviVadiro\CurVer')" == "Torvane.ViveviVadiro.1" ]
check "class names the module as in-process server" \
  [ "$(value_of "CLSID\\$clsid\\InprocServer32")" == "$(windows_path "$bin/ZoViveviVadiro.dll")" ]
check "type library registered" has_key "TypeLib\\$typelib"

# --- Searches without user interface, by both program ids ------------------
for search in "${searches[@]}"; do
  label=$(label_of "$search")
  linux_rows "$work/linux/app" "$search" >"$work/linux-$label.txt"
  check "Linux finds rows for $label" test -s "$work/linux-$label.txt"
done

out=$work/search.txt
client search "$work/app" "$out" "${searches[@]}"
check "search client ran to its last line" completed "$out"
compare "$out" ""
compare "$out" independent-
check "the empty folder text leaves no hit out" [ "$(outside_of "$out" full-text)" == 0 ]
check "the folder filter leaves out the other hits as empty entries" \
  [ "$(outside_of "$out" folder)" == \
  $(($(wc -l <"$work/linux-full-text.txt") - $(wc -l <"$work/linux-folder.txt"))) ]
check_awaiting "a way for scripts to search without a folder list" "Find with a null folder list" \
  grep -qx "without folders 0" "$out"
check "AutoRefresh reads back as set" grep -qx "autorefresh 1" "$out"
check "AutoRefresh: an added page is found" \
  [ "$(rows_of "$out" added | cut -d'|' -f2-)" == "added.htm|Added while watching" ]
check "AutoRefresh: a removed page is no longer found" \
  [ -z "$(rows_of "$out" removed)" -a "$(grep -c '^in time True$' "$out")" == 2 ]
check "AutoRefresh reads back as cleared" grep -qx "autorefresh 0" "$out"

# --- The index prompt and the progress dialog --------------------------------
dialogs=$work/dialogs.txt
answer_shots "$dialogs" "$shots" &
shots_pid=$!
ui=$work/ui.txt
ZVV_TEST_DIALOG_LOG=$(windows_path "$dialogs") client ui "$work/app-ui" "$ui" "${searches[0]}"
kill "$shots_pid" 2>/dev/null || true
shots_pid=
check "ui client ran to its last line" completed "$ui"
check "ui: full-text rows as on Linux" same "$work/linux-full-text.txt" <(rows_of "$ui" full-text)
# dialog_has <name> <grep arguments...>: a line of the named dialog's block
# in the log ($dialogs) matches.
dialog_has() {
  local name=$1
  shift
  awk -v d="dialog $name" '$0 == d { on = 1; next } /^dialog / { on = 0 } on' "$dialogs" | grep -q "$@"
}
check "prompt: caption" dialog_has prompt -xF "caption Create Help Index"
check "prompt: question" dialog_has prompt -E \
  "^control [0-9]+ Static The help search engine needs to build an index .* Do you want to proceed\?$"
check "prompt: Yes" dialog_has prompt -xF "control 6 Button &Yes"
check "prompt: No" dialog_has prompt -xF "control 7 Button &No"
check "progress: caption" dialog_has progress -xF "caption Help System"
check "progress: heading" dialog_has progress -xF "control 202 Static Indexing Help, please wait . . ."
check "progress: the bar shows" dialog_has progress -E "^control 204 msctls_progress32 "
for name in prompt progress; do
  check "$name: screenshot" test -s "$shots/$name.png"
  # A blank or one-colour screen would mean the dialog never reached the display.
  check "$name: screenshot shows more than the background" \
    [ "$(identify -format %k "$shots/$name.png" 2>/dev/null || echo 0)" -gt 2 ]
  check "$name: an X window with the dialog's caption" grep -qx "$name" "$shots/x11-windows.txt"
done

# The same prompt answered No: no index is built and Initialize fails.
dialogs=$work/dialogs-declined.txt
mkdir -p "$shots/declined"
answer_shots "$dialogs" "$shots/declined" &
shots_pid=$!
declined=$work/declined.txt
ZVV_TEST_DIALOG_LOG=$(windows_path "$dialogs") ZVV_TEST_PROMPT_ANSWER=no \
  client declined "$work/app-declined" "$declined"
kill "$shots_pid" 2>/dev/null || true
shots_pid=
check "declined client ran to its last line" completed "$declined"
check "declined: the prompt was shown" dialog_has prompt -xF "caption Create Help Index"
check "declined: no progress dialog" not grep -qx "dialog progress" "$dialogs"
check "declined: Initialize fails" grep -qx "initialize failed True" "$declined"
check "declined: no collection built" \
  test ! -e "$work/app-declined/dizode/collections/Searchable Help/file"

# --- A collection replaced while another process has it open ---------------------
# Windows will not replace a file another process holds open: the new
# collection takes the old one's place, or the creation fails with its reason
# and the old collection stays whole, for its holder and for everyone else.
swap=$work/swap
mkdir -p "$swap/pages"
printf '<title>Old</title><p>kept walrus</p>' >"$swap/pages/old.htm"
printf '<title>New</title><p>fresh walrus</p>' >"$swap/pages/new.htm"
swap_exe() { timeout 180 wine "$(windows_path "$bin/CollectionSwap.exe")" "$@" 2>>"$swap/wine.log" | tr -d '\r'; }
collection=$(windows_path "$swap/coll")
old_key=$(windows_path "$swap/pages/old.htm")
new_key=$(windows_path "$swap/pages/new.htm")
check "swap: the first collection is built" \
  [ "$(swap_exe create "$collection" "$old_key")" == "status 0" ]
swap_exe hold "$collection" "$(windows_path "$swap/ready")" "$(windows_path "$swap/release")" \
  >"$swap/hold.txt" &
holder=$!
for _ in $(seq 1200); do [[ -e $swap/ready || ! -d /proc/$holder ]] && break; sleep 0.1; done
check "swap: the holder has the collection open" test -e "$swap/ready"
swap_exe create "$collection" "$new_key" >"$swap/create.txt" || true
: >"$swap/release"
wait "$holder" || true
check "swap: the holder listed the old collection before the creation" \
  [ "$(sed '/^after$/,$d' "$swap/hold.txt")" == "key $old_key" ]
swap_exe list "$collection" >"$swap/after.txt" || true
if grep -qx "status 0" "$swap/create.txt"; then
  check "swap: the new collection took the old one's place" \
    [ "$(cat "$swap/after.txt")" == "key $new_key" ]
else
  check "swap: the refused creation says why" grep -qE '^error .+' "$swap/create.txt"
  check "swap: the refused creation leaves the old collection" \
    [ "$(cat "$swap/after.txt")" == "key $old_key" ]
fi
check "swap: the holder searched its collection to the end" \
  [ "$(sed -n '/^after$/,$p' "$swap/hold.txt" | sed 1d)" == "key $old_key" ]
check "swap: no temporary collection is left" not test -e "$swap/coll/collection.db.new"
echo "run.sh: swap: $(tr '\n' ' ' <"$swap/create.txt")"

# --- Unregistration ------------------------------------------------------------
check "regsvr32 /u unregisters the component" \
  wine regsvr32 /s /u "$(windows_path "$bin/ZoViveviVadiro.dll")"
check "/u removes the version ProgID" not has_key 'Torvane.ViveviVadiro.1'
check "/u removes the version-independent ProgID" not has_key 'Torvane.ViveviVadiro'
check "/u removes the class" not has_key "CLSID\\$clsid"
check "/u keeps the class root" has_key 'CLSID'
check "/u keeps the type library's registration" has_key "TypeLib\\$typelib"
check "/u keeps other classes" has_key "CLSID\\$host_clsid"
gone=$work/gone.txt
client gone "$work/app" "$gone"
check "gone client ran to its last line" completed "$gone"
check "no creation by either ProgID after /u" \
  [ "$(grep -c '^create Torvane.ViveviVadiro\(.1\)\? True$' "$gone")" == 2 ]

echo "run.sh: $failures failed, $((SECONDS - started)) s; screenshots in $shots"
((failures == 0))
