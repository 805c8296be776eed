#!/usr/bin/env bash
# Benchmark of the console at real scale (not a test): builds the windows preset,
# stores 10, 1,000 and 10,000 entries in each permission list and in the alert log
# (a REGEDIT4 file imported with Wine's registry editor; every web entry Block, so
# requests are decided from their entry without an alert), starts the console from
# a copy of the application folder with them and prints, side by side, what
# ConsoleBench.exe measured: the time until the request window answers, the round
# trip of a request decided from the first and from the last entry while the main
# window feeds its views and after, against the bare channel's round trip in the
# same run, the feeding time, how long the save after a request holds the request
# window, alone and after an update check (the copy's Update.exe is the stand-in
# UpToDateUpdate.exe, which answers every check at once), the peak working set and
# the exit time.
# A size written "10000min" starts the console hidden in the tray ("-min"), as the
# start with Windows does.
#   bash scripts/bench-console.sh [SIZES...]   # default 10 1000 10000 10000min
set -euo pipefail
source "$(dirname "$0")/windows-session.sh"
work=$(pwd)/$build/console-bench
key='HKEY_CURRENT_USER\Software\Corvinth'
run='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
# The console enters itself in the Run key, which Wine's start of the session would
# follow: a console already up would hold the single-instance lock.
forget() {
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  wine reg delete "$run" /v Hookwarden /f >/dev/null 2>&1 || true
}
cleanup() {
  forget
  $session stop $build >/dev/null
}
trap cleanup EXIT
# A console that the session's start brought up from the Run key goes with a restart.
forget
$session stop $build >/dev/null
$session start $build >/dev/null
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10 1000 10000 10000min)
rm -rf "$work"
mkdir -p "$work"
cp -r $build/app "$work/app"
cp $build/bin/UpToDateUpdate.exe "$work/app/858068658469/Update.exe"
app=$(wine winepath -w "$work/app" 2>/dev/null | tr -d '\r')

for size in "${sizes[@]}"; do
  n=${size%min}
  hidden=
  [ "$n" = "$size" ] || hidden=-min
  python3 - "$n" >"$work/settings-$n.reg" <<'PY'
import sys
n = int(sys.argv[1])
base = r"HKEY_CURRENT_USER\Software\Corvinth\Hookwarden"
def number(v):
    return "hex:" + ",".join("%02x" % ((v >> s) & 0xFF) for s in (0, 8, 16, 24))
def address(i):
    return "10.%d.%d.%d" % (i // 65536 % 256, i // 256 % 256, i % 256)
when = "Tuesday, December 08, 2026 09:25:36"
out = ["REGEDIT4", ""]
# Scheduled update checks on: the stand-in update program answers each at once.
out += ["[%s]" % base, '"UpdateAddress"="http://127.0.0.1:9/update.txt"', ""]
out += ["[%s\\WebSiteBlocking]" % base, '"WebSiteBlockingItems No"=' + number(n), ""]
for i in range(n):
    a = address(i)
    out += ["[%s\\WebSiteBlocking\\WebSiteBlockingItem%d]" % (base, i), '"Action"=' + number(1),
            '"ScamSite"="%s"' % a, '"Program"="bench.exe"', '"DataTime"="%s"' % when, '"IPAddress"="%s"' % a,
            '"StrictedData"="%s"' % a, '"Type"="IP"', '"Port"="80"', ""]
out += ["[%s\\MailSafe]" % base, '"MailSafeItems No"=' + number(n), ""]
for i in range(n):
    out += ["[%s\\MailSafe\\MailSafeItem%d]" % (base, i), '"Action"=' + number(1),
            '"StrictedData"="sender%d@example.net"' % i, '"Type"="From"', '"Program"="mail.exe"',
            '"DataTime"="%s"' % when, '"AttachmentFile"=""', '"Port"=hex(1):19,00,00,00',
            '"From"="sender%d@example.net"' % i, '"To"="user@example.org"', '"Subject"="Your account"', ""]
out += ["[%s\\AlertandLog]" % base, '"AlertLogEntryDetailsListNo"=' + number(n), ""]
for i in range(n):
    a = address(i)
    out += ["[%s\\AlertandLog\\LogEntryDetails%d]" % (base, i), '"Rating"="Medium"', '"DateTime"="%s"' % when,
            '"Type"="IP"', '"Protocol"="HTTP"', '"Program"="bench.exe"', '"HostIP"="%s"' % a,
            '"StrictedData"="%s"' % a, '"ActionTaken"="Block"', '"Count"=' + number(1), ""]
print("\r\n".join(out))
PY
  forget
  wine regedit /s "$(wine winepath -w "$work/settings-$n.reg" 2>/dev/null | tr -d '\r')"
  (cd $build/bin && wine ConsoleBench.exe "$app" "$n" $hidden | tr -d '\r') >"$work/figures-$size.txt"
done

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
     "$(wine --version); Release build (mingw-w64 g++ -O3)"
python3 - "$work" "${sizes[@]}" <<'PY'
import sys
work, sizes = sys.argv[1], sys.argv[2:]
figures = {}
for n in sizes:
    values = {}
    for line in open("%s/figures-%s.txt" % (work, n)):
        words = line.split()
        if words:
            values[words[0]] = words[1:]
    figures[n] = values
def one(name, n):
    v = figures[n].get(name)
    return v[0] if v else "-"
def feeding(n):
    try:
        return "%.1f" % (float(one("all_rows", n)) - float(one("first_row", n)))
    except ValueError:
        return "-"
def trip(name, n):
    v = figures[n].get(name)
    if not v or v[0] == "none":
        return "-"
    return "%s / %s (%s)" % (v[0], v[2], v[3])
def label(n):
    count = "{:,}".format(int(n.rstrip("min")))
    return count + " in the tray" if n.endswith("min") else count
rows = [("entries per list and log", label),
        ("answers after start (ms)", lambda n: one("answers", n)),
        ("first row shown after start (ms)", lambda n: one("first_row", n)),
        ("all rows shown after start (ms)", lambda n: one("all_rows", n)),
        ("feeding, first row to last (ms)", lambda n: feeding(n)),
        ("rows shown: sites, mail, log", lambda n: " ".join(figures[n].get("rows", ["-"]))),
        ("while feeding, first entry (ms median / max (requests))", lambda n: trip("first_during", n)),
        ("while feeding, last entry", lambda n: trip("last_during", n)),
        ("while feeding, bare channel", lambda n: trip("bare_during", n)),
        ("after feeding, first entry", lambda n: trip("first_after", n)),
        ("after feeding, last entry", lambda n: trip("last_after", n)),
        ("after feeding, bare channel", lambda n: trip("bare_after", n)),
        ("wrong verdicts", lambda n: one("wrong_verdicts", n)),
        ("alert log, a page scrolled and painted", lambda n: trip("scroll_page", n)),
        ("request window held by the save after a request (ms median / max)", lambda n: trip("save_after_request", n)),
        ("... after a request that follows an update check", lambda n: trip("save_after_update_check", n)),
        ("peak working set (MB)", lambda n: one("peak_mb", n)),
        ("exit through the tray (ms)", lambda n: one("exit", n))]
width = max(len(r[0]) for r in rows)
for label, value in rows:
    print(label.ljust(width), " | ".join(value(n).rjust(24) for n in sizes))
PY
