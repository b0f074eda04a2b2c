#!/usr/bin/env python3
"""Loads the web board of a running Corvane on loopback and prints what the shop would feel.

Two phases of the same length, each bounded in time:
  pictures  8 loops asking near-4K board pictures of fresh sizes and 4 loops asking running
            text strips, while a cashier types rates into the operator window;
  door      400 request heads from 127.0.0.2 that never finish (each one the server closes
            comes back a second later), while 127.0.0.3 asks for the rates over and over.
Meanwhile a probe asks /rates.json every 10 ms on one connection: the operator window's
thread answers it, and the running text moves on that thread, so the probe's longest wait
bounds the running text's longest stall. Memory is read from /proc/<pid>/status.

Started by scripts/measure-webload; talks only to 127.0.0.0/8.
"""

import argparse
import json
import random
import selectors
import socket
import statistics
import subprocess
import threading
import time


def connect(port, source, timeout=10.0):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.settimeout(timeout)
    sock.bind((source, 0))
    sock.connect(("127.0.0.1", port))
    return sock


def read_answer(sock, buffer=b""):
    """Reads one answer with a Content-Length; returns (status, body, rest) or None."""
    while b"\r\n\r\n" not in buffer:
        chunk = sock.recv(65536)
        if not chunk:
            return None
        buffer += chunk
    head, _, rest = buffer.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    status = int(lines[0].split(b" ")[1])
    length = 0
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(rest) < length:
        chunk = sock.recv(65536)
        if not chunk:
            return None
        rest += chunk
    return status, rest[:length], rest[length:]


def ask_once(port, source, path):
    """One request on a connection of its own that closes after it; the status, or None."""
    try:
        with connect(port, source) as sock:
            sock.sendall(f"GET {path} HTTP/1.1\r\nHost: board\r\nConnection: close\r\n\r\n".encode())
            answer = read_answer(sock)
            return answer[0] if answer else None
    except OSError:
        return None


class KeptConnection:
    """One keep-alive connection that asks again and again; reconnects when it is dropped."""

    def __init__(self, port, source):
        self.port, self.source, self.sock, self.rest = port, source, None, b""

    def get(self, path):
        for _ in range(2):
            try:
                if self.sock is None:
                    self.sock, self.rest = connect(self.port, self.source), b""
                self.sock.sendall(f"GET {path} HTTP/1.1\r\nHost: board\r\n\r\n".encode())
                answer = read_answer(self.sock, self.rest)
                if answer:
                    self.rest = answer[2]
                    return answer[0], answer[1]
            except OSError:
                pass
            if self.sock:
                self.sock.close()
            self.sock = None
        return None, b""


class Probe(threading.Thread):
    def __init__(self, port, until):
        super().__init__(daemon=True)
        self.connection, self.until, self.waits = KeptConnection(port, "127.0.0.4"), until, []

    def run(self):
        while time.monotonic() < self.until:
            began = time.monotonic()
            self.connection.get("/rates.json")
            self.waits.append(time.monotonic() - began)
            time.sleep(max(0.0, 0.010 - (time.monotonic() - began)))


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


class MemoryWatch(threading.Thread):
    def __init__(self, pid, until):
        super().__init__(daemon=True)
        self.pid, self.until, self.highest = pid, until, 0.0

    def run(self):
        while time.monotonic() < self.until:
            self.highest = max(self.highest, rss_mb(self.pid))
            time.sleep(0.1)


def flood_loop(port, source, until, path_of, counts, lock):
    while time.monotonic() < until:
        status = ask_once(port, source, path_of())
        with lock:
            counts[status] = counts.get(status, 0) + 1
        if status != 200:
            time.sleep(0.05)  # a refused client asks again soon, not in a tight loop


def buy_of(rates_json, code):
    try:
        for row in json.loads(rates_json)["rates"]:
            if row["code"] == code:
                return row["buy"]
    except (ValueError, KeyError):
        pass
    return None


def typing_latencies(port, display, until):
    """Types a new last digit of the USD buy rate once a second; the time until /rates.json
    shows it. The rate field has the keyboard focus already."""
    feed = KeptConnection(port, "127.0.0.7")
    latencies, digit = [], 0
    env = {"DISPLAY": display, "PATH": "/usr/bin:/bin"}
    while time.monotonic() + 3 < until:
        digit = digit % 9 + 1
        value = f"92,5{digit}"
        subprocess.run(["xdotool", "key", "--clearmodifiers", "End", "BackSpace"], env=env, check=False)
        time.sleep(0.3)
        typed = time.monotonic()
        subprocess.run(["xdotool", "type", str(digit)], env=env, check=False)
        while time.monotonic() - typed < 3:
            status, body = feed.get("/rates.json")
            if status == 200 and buy_of(body, "USD") == value:
                latencies.append(time.monotonic() - typed)
                break
            time.sleep(0.005)
        time.sleep(0.7)
    return latencies


def pictures_phase(port, pid, display, seconds):
    until = time.monotonic() + seconds
    probe, memory = Probe(port, until), MemoryWatch(pid, until)
    counts, lock, loops = {"board": {}, "ticker": {}}, threading.Lock(), []

    def board_path():
        return f"/board.png?w={random.randint(3000, 3840)}&h={random.randint(3000, 3840)}"

    def ticker_path():
        return f"/ticker.png?w={random.randint(1000, 3840)}&h={random.randint(1000, 3840)}"

    for _ in range(8):
        loops.append(threading.Thread(target=flood_loop, args=(port, "127.0.0.5", until, board_path, counts["board"], lock), daemon=True))
    for _ in range(4):
        loops.append(threading.Thread(target=flood_loop, args=(port, "127.0.0.6", until, ticker_path, counts["ticker"], lock), daemon=True))
    for thread in [probe, memory] + loops:
        thread.start()
    latencies = typing_latencies(port, display, until)
    for thread in [probe, memory] + loops:
        thread.join(timeout=seconds + 30)
    during = memory.highest
    time.sleep(5)
    return counts, probe.waits, latencies, during, rss_mb(pid)


def door_phase(port, seconds):
    until = time.monotonic() + seconds
    probe = Probe(port, until)
    probe.start()
    chooser = selectors.DefaultSelector()
    opened = [0]

    def open_unfinished():
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setblocking(False)
        sock.bind(("127.0.0.2", 0))
        try:
            sock.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        chooser.register(sock, selectors.EVENT_WRITE | selectors.EVENT_READ, "new")
        opened[0] += 1

    for _ in range(400):
        open_unfinished()

    reopen = []

    def keep_flooding():
        while time.monotonic() < until:
            for key, events in chooser.select(timeout=0.05):
                sock = key.fileobj
                if key.data == "new" and events & selectors.EVENT_WRITE:
                    try:
                        sock.send(b"GET / HTTP/1.1\r\nHost: bo")
                        chooser.modify(sock, selectors.EVENT_READ, "waiting")
                        continue
                    except OSError:
                        pass
                try:
                    if sock.recv(65536):
                        continue
                except BlockingIOError:
                    continue
                except OSError:
                    pass
                chooser.unregister(sock)
                sock.close()
                reopen.append(time.monotonic() + 1)  # a closed one comes back a second later
            while reopen and reopen[0] <= time.monotonic():
                reopen.pop(0)
                open_unfinished()
        for key in list(chooser.get_map().values()):
            key.fileobj.close()

    flooder = threading.Thread(target=keep_flooding, daemon=True)
    flooder.start()
    time.sleep(1)  # the flood is in place
    served = asked = 0
    while time.monotonic() < until:
        asked += 1
        served += ask_once(port, "127.0.0.3", "/rates.json") == 200
        time.sleep(0.02)
    flooder.join(timeout=30)
    probe.join(timeout=30)
    return asked, served, opened[0], probe.waits


def milliseconds(values, pick):
    return f"{1000 * pick(values):.0f} ms" if values else "none"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--display", required=True)
    parser.add_argument("--seconds", type=int, default=15)
    args = parser.parse_args()

    before = rss_mb(args.pid)
    counts, waits, latencies, during, after = pictures_phase(args.port, args.pid, args.display, args.seconds)
    print(f"pictures: {args.seconds} s of 8 loops asking board pictures of 3000..3840 px a side and 4 loops asking running text strips")
    for kind, by_status in counts.items():
        print(f"  {kind:7s} answers by status: " + ", ".join(f"{status}: {n}" for status, n in sorted(by_status.items(), key=str)))
    print(f"  probe every 10 ms: longest wait {milliseconds(waits, max)}, median {milliseconds(waits, statistics.median)} ({len(waits)} asked)")
    print(f"  a typed digit to /rates.json: median {milliseconds(latencies, statistics.median)}, longest {milliseconds(latencies, max)} ({len(latencies)} typed)")
    print(f"  resident memory: {before:.0f} MB before, at most {during:.0f} MB during, {after:.0f} MB 5 s after")

    asked, served, opened, waits = door_phase(args.port, args.seconds)
    share = 100 * served / asked if asked else 0
    print(f"door: {args.seconds} s of 400 unfinished request heads from 127.0.0.2 ({opened} connections opened in all)")
    print(f"  127.0.0.3 served 200 for {served} of {asked} requests ({share:.1f} %)")
    print(f"  probe every 10 ms: longest wait {milliseconds(waits, max)}, median {milliseconds(waits, statistics.median)}")


if __name__ == "__main__":
    main()
