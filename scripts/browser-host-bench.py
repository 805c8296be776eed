#!/usr/bin/env python3
"""Times the browser host as a browser uses it: started once, one connection, one
request at a time. Prints the start (until the first answer) of a few fresh hosts,
then unlisted and listed address requests on one kept connection, as median and
90th percentile in ms.
  browser-host-bench.py REQUESTS LISTED_HOST LISTED_PATH -- HOST_COMMAND..."""
import statistics
import struct
import subprocess
import sys
import time


class Host:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 1

    def send(self, message):
        body = message.encode()
        self.process.stdin.write(struct.pack("<I", len(body)) + body)
        self.process.stdin.flush()

    def receive(self):
        head = self.process.stdout.read(4)
        if len(head) < 4:
            raise SystemExit("the host ended")
        return self.process.stdout.read(struct.unpack("<I", head)[0]).decode()

    def ask(self, fields):
        """Sends one request and waits for its final answer (not the 'pending' one)."""
        request_id = self.next_id
        self.next_id += 1
        self.send('{"id":%d,%s}' % (request_id, fields))
        while True:
            answer = self.receive()
            if '"pending"' not in answer:
                return answer

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


def figures(times):
    ordered = sorted(times)
    return "%.2f / %.2f" % (statistics.median(ordered) * 1000, ordered[int(len(ordered) * 0.9) - 1] * 1000)


def timed(host, fields, count):
    times = []
    for _ in range(count):
        start = time.perf_counter()
        answer = host.ask(fields)
        times.append(time.perf_counter() - start)
    return times, answer


def main():
    split = sys.argv.index("--")
    count, listed_host, listed_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    command = sys.argv[split + 1:]
    starts = []
    for _ in range(5):
        start = time.perf_counter()
        host = Host(command)
        host.ask('"type":"hello","browser":"chrome.exe"')
        starts.append(time.perf_counter() - start)
        host.close()
    print("host start until its first answer (ms, median / 90th percentile of 5): %s" % figures(starts))

    host = Host(command)
    host.ask('"type":"hello","browser":"chrome.exe"')
    unlisted = '"type":"address","scheme":"https","host":"www.example.org","port":443,"path":"/news/today","query":"a=1"'
    timed(host, unlisted, 20)  # warm-up
    times, answer = timed(host, unlisted, count)
    print("unlisted address, kept connection (ms, median / 90th percentile of %d): %s   %s" % (count, figures(times), answer))
    listed = '"type":"address","scheme":"https","host":"%s","port":443,"path":"%s"' % (listed_host, listed_path)
    times, answer = timed(host, listed, count)
    print("listed address, the console answering (ms, median / 90th percentile of %d): %s   %s" % (count, figures(times), answer))
    host.close()


if __name__ == "__main__":
    main()
