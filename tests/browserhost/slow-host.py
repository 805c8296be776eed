#!/usr/bin/env python3
"""A stand-in for the browser host that answers every question after --delay
seconds: an address as unlisted (Allow), with the console running. Speaks the
browser's native messaging frames (a 32-bit length in the machine's order, then
JSON) on stdin and stdout, and ends when the browser closes its input."""
import argparse
import json
import struct
import sys
import threading
import time

parser = argparse.ArgumentParser()
parser.add_argument("--delay", type=float, default=4.0)
# The browser adds the caller's origin (and on Windows a window handle).
args, _ = parser.parse_known_args()
out_lock = threading.Lock()


def answer(question):
    time.sleep(args.delay)
    reply = {"id": question.get("id"), "console": True}
    if question.get("type") == "address":
        reply.update(listed=False, verdict="allow")
    data = json.dumps(reply).encode()
    with out_lock:
        sys.stdout.buffer.write(struct.pack("=I", len(data)) + data)
        sys.stdout.buffer.flush()


while True:
    head = sys.stdin.buffer.read(4)
    if len(head) < 4:
        break
    question = json.loads(sys.stdin.buffer.read(struct.unpack("=I", head)[0]))
    threading.Thread(target=answer, args=(question,), daemon=True).start()
