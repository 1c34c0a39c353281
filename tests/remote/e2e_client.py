#!/usr/bin/env python3
"""Drives the simulator executable over TCP with a client of its own.

Runs the executable in a temporary working folder with a temporary HOME,
static address 127.0.0.1 and a port the kernel picked, checks the replies to
a few requests byte by byte, then stops it with SIGTERM. Only the standard
library is used, so the wire format is checked by a second implementation.

Usage: e2e_client.py <simulator executable>
"""
import os
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

MAGIC = 0xA55ACB12
HEADER = struct.Struct("<IHHHHII")   # magic, type, command id, length, spare, item, value
BMP_SIZE = 54 + 480 * 272 * 3

COM_NETWORK_IP_4 = 356
COM_NETWORK_NAME = 361
COM_REMOTE_PORT = 371
COM_REMOTE_CONNECTIONS = 374

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, file=sys.stderr)


def request(type_, cmd, item=0, value=0, payload=b"", magic=MAGIC):
    return HEADER.pack(magic, type_, cmd, len(payload), 0, item, value) + payload


def reply_header(type_, cmd, length, item, value):
    return HEADER.pack(MAGIC, type_, cmd, length, 0, item, value)


class Client:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=20)

    def send(self, data):
        self.sock.sendall(data)

    def read(self, size):
        data = b""
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise EOFError("connection closed after %d of %d bytes" % (len(data), size))
            data += chunk
        return data

    def reply(self):
        header = self.read(HEADER.size)
        length = HEADER.unpack(header)[3]
        return header, self.read(length) if length else b""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def check_bmp(bmp, what):
    check(len(bmp) == BMP_SIZE, what + ": BMP size")
    check(bmp[:2] == b"BM", what + ": BMP signature")
    size, = struct.unpack_from("<I", bmp, 2)
    width, height = struct.unpack_from("<ii", bmp, 18)
    bits, = struct.unpack_from("<H", bmp, 28)
    check((size, width, height, bits) == (BMP_SIZE, 480, 272, 24), what + ": BMP header fields")


def start(executable, root):
    """Starts the simulator; returns (process, port, log path) once it listens."""
    home = os.path.join(root, "home")
    work = os.path.join(root, "work")
    os.makedirs(home, exist_ok=True)
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, HOME=home, ZU_QUIET="1")
    for attempt in range(5):
        port = free_port()
        with open(os.path.join(work, "system.cfg"), "w") as cfg:
            cfg.write("IpAddress=127.0.0.1\nDNS=0\nPort=%d\n" % port)
        log_path = os.path.join(root, "simulator-%d.log" % attempt)
        log = open(log_path, "w")
        process = subprocess.Popen([executable], cwd=work, env=env, stdout=log, stderr=subprocess.STDOUT)
        log.close()
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and process.poll() is None:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return process, port, log_path
            except OSError:
                with open(log_path) as text:
                    if "bind failed" in text.read():
                        break
                time.sleep(0.05)
        process.kill()
        process.wait()
    raise RuntimeError("the simulator never listened")


def stop(process):
    """Ends the simulator with SIGTERM and checks that it exits cleanly."""
    process.send_signal(signal.SIGTERM)
    try:
        code = process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        code = None
    check(code == 0, "exit status after SIGTERM: %s" % code)


def exercise(port):
    c = Client(port)

    # Read a value: the port.
    c.send(request(21, COM_REMOTE_PORT, item=3))
    check(c.read(20) == reply_header(31, COM_REMOTE_PORT, 0, 3, port), "type 21 on the port")

    # Text set and read back, without a NUL on the wire.
    c.send(request(6, COM_NETWORK_NAME, payload=b"py-client"))
    check(c.read(20) == reply_header(0, COM_NETWORK_NAME, 0, 0, 0), "type 6 reply")
    c.send(request(20, COM_NETWORK_NAME))
    check(c.read(29) == reply_header(30, COM_NETWORK_NAME, 9, 0, 0) + b"py-client", "type 20 reply")

    # Two requests in one write: a set and a read of an octet.
    c.send(request(5, COM_NETWORK_IP_4, value=42) + request(21, COM_NETWORK_IP_4, item=1))
    header, _ = c.reply()
    check(HEADER.unpack(header)[1] == 0, "type 5 reply type")
    check(c.read(20) == reply_header(31, COM_NETWORK_IP_4, 0, 1, 42), "type 21 after type 5")

    # Errors: a missing command, a type not accepted.
    c.send(request(21, 8000, item=9))
    check(c.read(20) == reply_header(1, 8000, 0, 9, 0xFFFFFFFE), "missing command")
    c.send(request(0, COM_REMOTE_PORT, item=5, value=6))
    check(c.read(20) == reply_header(1, COM_REMOTE_PORT, 0, 0, 0xFFFFFFFF), "type 0 refused")

    # A list: the item count of the client list.
    c.send(request(23, COM_REMOTE_CONNECTIONS))
    header, _ = c.reply()
    check(HEADER.unpack(header)[1] == 33, "type 23 reply type")

    # Every read's reply type, pinned here apart from the server's own names:
    # reads 20 to 29 answer with type + 10, reads 41 to 54 with type + 1.
    for type_ in (20, 21, 22, 23, 52, 54):
        c.send(request(type_, COM_REMOTE_PORT))
        header, _ = c.reply()
        check(HEADER.unpack(header)[1] == (type_ + 10 if type_ < 30 else type_ + 1), "type %d reply type" % type_)
    # An item index past the list: error with 0xFFFFFFFC.
    c.send(request(25, COM_REMOTE_CONNECTIONS, item=99))
    check(c.read(20) == reply_header(1, COM_REMOTE_CONNECTIONS, 0, 99, 0xFFFFFFFC), "item out of range")

    # The screen: header with the BMP size, then the BMP.
    c.send(request(70, 0))
    check(c.read(20) == reply_header(0x39, 0, 0, BMP_SIZE, 0), "screen header")
    check_bmp(c.read(BMP_SIZE), "screen")

    # Type 4: a key with a command id gets a header, the LCD sub-code with
    # command id 0 the bare BMP.
    c.send(request(4, 7, value=12))
    check(c.read(20) == reply_header(0, 7, 0, 0, 0), "key reply")
    c.send(request(4, 0, value=0x32))
    check_bmp(c.read(BMP_SIZE), "bare LCD image")

    # A header with a wrong magic word gets no reply.
    c.send(request(21, COM_REMOTE_PORT, magic=0x11223344) + request(21, COM_REMOTE_PORT))
    check(c.read(20) == reply_header(31, COM_REMOTE_PORT, 0, 0, port), "request after a wrong magic word")
    c.sock.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    executable = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="zu-e2e-") as root:
        process, port, log_path = start(executable, root)
        try:
            exercise(port)
        except (OSError, EOFError) as error:
            check(False, "connection: %s" % error)
        stop(process)
        check(os.path.exists(os.path.join(root, "work", "System.dat")), "system data saved")
        if failures:
            with open(log_path) as text:
                sys.stderr.write(text.read())
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
