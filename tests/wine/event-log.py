#!/usr/bin/env python3
# The Application log's events that Wine's event log calls showed on standard
# error (WINEDEBUG=$event_debug of script-test.sh), one line per event:
# "ID|insert|insert...", ID as the Event Viewer shows it. Wine prints the call
# with its arguments on the advapi channel, then each insert on the eventlog
# channel, each line led by the writing thread's id.
#   event-log.py FILE
import re
import sys

events = []
by_thread = {}
with open(sys.argv[1], encoding="utf-8", errors="replace") as stream:
    for line in stream:
        line = line.rstrip("\r\n")
        call = re.match(r"([0-9a-f]+):fixme:advapi:ReportEventW \(([^)]*)\)", line)
        if call:
            event = [str(int(call.group(2).split(",")[3], 16) & 0xFFFF)]
            events.append(event)
            by_thread[call.group(1)] = event
            continue
        insert = re.match(r'([0-9a-f]+):(?:err|warn|trace):eventlog:ReportEventW L"(.*)"$', line)
        if insert and insert.group(1) in by_thread:
            by_thread[insert.group(1)].append(insert.group(2))
for event in events:
    print("|".join(event))
