#!/usr/bin/env python3
"""Times what extra clients of a full simulator see, five clients served.

Runs the simulator executable in a temporary working folder with its own HOME,
on 127.0.0.1 and a port of its own, connects five clients and has each one
answered, then prints how soon the server closes: one sixth client; a burst of
50 and a burst of 200 extra clients (the last one's close, from the burst's
start) and one client arriving just after each burst; and, when a served client
leaves in the middle of a burst of 50, how many of the burst are kept and how
soon one arriving after it is closed. The five are checked to be answered
after each burst. Only the standard library is used; everything stays on
127.0.0.1, every wait is bounded, and the simulator is stopped at the end.

Usage: sixth_client_timings.py <simulator executable>
  (for example: python3 bench/sixth_client_timings.py build/host/zu-orb-sim)
"""
import os
import selectors
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

MAGIC = 0xA55ACB12
HEADER = struct.Struct("<IHHHHII")
GET_VALUE, PORT = 21, 371
# Bound of a connect and of every wait for a reply.
WAIT_LIMIT = 15


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def connect(port):
    c = socket.create_connection(("127.0.0.1", port), timeout=WAIT_LIMIT)
    c.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return c


def read_value(c):
    """The port read through the client; None when the connection ended or no reply came in time."""
    try:
        c.sendall(HEADER.pack(MAGIC, GET_VALUE, PORT, 0, 0, 0, 0))
        data = b""
        while len(data) < HEADER.size:
            chunk = c.recv(HEADER.size - len(data))
            if not chunk:
                return None
            data += chunk
    except OSError:
        return None
    return HEADER.unpack(data)[6]


def closed_after(socks, start, limit):
    """For each socket, the time from start at which it saw its end (None: not within limit)."""
    sel = selectors.DefaultSelector()
    for s in socks:
        sel.register(s, selectors.EVENT_READ)
    ends = {}
    deadline = time.monotonic() + limit
    while len(ends) < len(socks) and time.monotonic() < deadline:
        for key, _ in sel.select(timeout=0.2):
            try:
                data = key.fileobj.recv(1)
            except OSError:
                data = b""
            if not data:
                ends[key.fileobj] = time.monotonic() - start
                sel.unregister(key.fileobj)
    sel.close()
    return [ends.get(s) for s in socks]


def seconds(value):
    return "not closed" if value is None else "%.3f s" % value


def burst(port, count, leaving=None):
    """Connects count clients, then one more; closes leaving halfway."""
    start = time.monotonic()
    socks = []
    for i in range(count):
        socks.append(connect(port))
        if leaving is not None and i == count // 2 - 1:
            leaving.close()
    late = connect(port)
    late_start = time.monotonic() - start
    ends = closed_after(socks + [late], start, 3 if leaving is not None else 60)
    late_end = None if ends[-1] is None else ends[-1] - late_start
    return socks, ends[:-1], late, late_end


def measure(port, served):
    sixth = connect(port)
    print("one sixth client closed after: %s" % seconds(closed_after([sixth], time.monotonic(), 60)[0]))
    sixth.close()
    for count in (50, 200):
        socks, ends, late, late_end = burst(port, count)
        closed = [e for e in ends if e is not None]
        print("a burst of %d: %d closed, the last after %s; one client arriving just after it: %s" % (
            count, len(closed), seconds(max(closed) if closed else None), seconds(late_end)))
        for s in socks + [late]:
            s.close()
        if not all(read_value(c) == port for c in served):
            print("the five served clients: not all answered")
            return 1
    socks, ends, late, late_end = burst(port, 50, leaving=served[2])
    kept = [s for s, e in zip(socks, ends) if e is None]
    answered = sum(1 for s in kept if read_value(s) == port)
    closed = [e for e in ends if e is not None]
    print("a served client leaving in a burst of 50: %d of the burst kept, %d answered, the last refused "
          "after %s; one client arriving just after it: %s" % (
              len(kept), answered, seconds(max(closed) if closed else None), seconds(late_end)))
    for s in socks + [late]:
        s.close()
    print("the five served clients were answered after the bursts of 50 and 200")
    return 0


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    root = tempfile.mkdtemp(prefix="zutimings-")
    home, work = os.path.join(root, "home"), os.path.join(root, "work")
    os.makedirs(home)
    os.makedirs(work)
    port = free_port()
    with open(os.path.join(work, "system.cfg"), "w") as cfg:
        cfg.write("IpAddress=127.0.0.1\nDNS=0\nPort=%d\n" % port)
    log = open(os.path.join(root, "simulator.log"), "w")
    process = subprocess.Popen([os.path.abspath(sys.argv[1])], cwd=work, stdout=log, stderr=subprocess.STDOUT,
                               env=dict(os.environ, HOME=home, ZU_QUIET="1"))
    try:
        deadline = time.monotonic() + 15
        served = []
        while len(served) < 5:
            try:
                c = connect(port)
            except OSError:
                if time.monotonic() > deadline or process.poll() is not None:
                    print("the simulator does not listen on port %d" % port)
                    return 1
                time.sleep(0.05)
                continue
            if read_value(c) != port:
                print("a client of the first five was not answered")
                return 1
            served.append(c)
        code = measure(port, served)
        for c in served:
            c.close()
        return code
    finally:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        log.close()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
