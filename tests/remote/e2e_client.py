#!/usr/bin/env python3
"""Drives the simulator executable as a client written from README.md alone.

Every number and file format used here is one the README states. The client
runs the executable with a temporary HOME and working folder, static address
127.0.0.1 and a port the kernel picked, and checks what the README promises:
the listening line, plain console output, values read and set, the screen,
keys, an event-log page, the status XML, a script run with its report, and
remote control switched off, kept over a restart and switched on again in
System.dat. It stops the simulator with SIGTERM. Only the standard library is
used, so the wire format is checked by a second implementation.

Usage: e2e_client.py <simulator executable>
"""
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

# The header: magic, type, command id, length, spare, item, value.
MAGIC = 0xA55ACB12
HEADER = struct.Struct("<IHHHHII")
BMP_SIZE = 391734          # the screen: 480 x 272, 24-bit, 54-byte header
DATA_FOLDER = ("Documents", "Corvane", "ZuOrbSimulators", "Orb")   # under HOME

# Request types.
CONSOLE, KEY, SET_VALUE, SET_TEXT = 3, 4, 5, 6
GET_TEXT, GET_VALUE, GET_ITEM_COUNT, GET_ITEM_TEXT, GET_ITEM_TEXTS = 20, 21, 23, 25, 29
SCREEN = 70                # any type from 56 up
# Read request type -> reply type.
READ_REPLIES = {20: 30, 21: 31, 22: 32, 23: 33, 29: 39, 41: 42, 44: 45, 52: 53, 54: 55}
# Reply types and error words.
OK, ERROR, SCREEN_REPLY = 0, 1, 0x39
NOT_ACCEPTED, NO_COMMAND, BAD_ITEM, REMOTE_OFF = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFC, 0xFFFFFFFB
# Type 4 values.
LCD_IMAGE, EVENT_PAGE, STATUS_XML = 0x32, 0x33, 0x34
KEY_OK = 12
STATUS_PATH = b"/mnt/mmc/status.xml"
PAGE_END = b"\x03"

# Commands.
HOST_NAME = 361
KEY_LOCK = 364
REMOTE_ON = 365
PORT = 371
CLIENTS = 374
EVENT_LOG = 400
LAST_REPORT = 493
STATUS = 494
ERRORS = 1004
SCRIPT_LIST = 1715
PROMPT = 1717
STEPS = 1722
RUN = 1727
SCRIPT_NAME = 1728
PASSES = 1732
CONTINUE = 1734
CONFIRM_STOP = 2457

SCRIPT = """# End-to-end run
1,LOOP
1,REPORT
0,STOP_ON_ERROR
1,LOGCOMMENT,Start of test
1,SAVESTATUS,status
1,SAVEIMAGE,11,mainmenu
1,PROMPT,Press continue
"""
# The status layout of the README's example: Label=<command id>,<divisor>.
XML_LAYOUT = "Port=371,1\nHostName=361,0\nPortK=371,1000\nINFO_DATE_DATE=361,0\n"
SCRIPT_LAYOUT = "Port=371,1\n"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, file=sys.stderr)
    return condition


def request(type_, cmd, item=0, value=0, payload=b"", magic=MAGIC, spare=0):
    return HEADER.pack(magic, type_, cmd, len(payload), spare, item, value) + payload


def reply_header(type_, cmd, length, item, value):
    return HEADER.pack(MAGIC, type_, cmd, length, 0, item, value)


def read_file(path, mode="r"):
    try:
        with open(path, mode) as f:
            return f.read()
    except OSError:
        return b"" if "b" in mode else ""


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

    def read_until(self, end):
        data = b""
        while not data.endswith(end):
            chunk = self.sock.recv(65536)
            if not chunk:
                raise EOFError("connection closed after %d bytes" % len(data))
            data += chunk
        return data

    def reply(self):
        header = self.read(HEADER.size)
        length = HEADER.unpack(header)[3]
        return HEADER.unpack(header), self.read(length) if length else b""

    def ask(self, type_, cmd, item=0, value=0, payload=b""):
        self.send(request(type_, cmd, item, value, payload))
        return self.reply()

    def set_value(self, cmd, value):
        fields, _ = self.ask(SET_VALUE, cmd, value=value & 0xFFFFFFFF)
        check(fields[1] == OK, "type 5 on %d answered with type 0" % cmd)

    def value(self, cmd):
        value = self.ask(GET_VALUE, cmd)[0][6]
        return value - (1 << 32) if value & 0x80000000 else value

    def text(self, cmd):
        return self.ask(GET_TEXT, cmd)[1].decode("latin-1")

    def items(self, cmd):
        text = self.ask(GET_ITEM_TEXTS, cmd)[1].decode("latin-1")
        return text.split("\t") if text else []


def wait_for(what, probe, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if probe():
            return True
        time.sleep(0.1)
    return check(False, "timed out waiting for " + what)


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
    check((size, width, abs(height), bits) == (BMP_SIZE, 480, 272, 24), what + ": BMP header fields")


class Simulator:
    """The executable in root/work with HOME root/home."""

    def __init__(self, executable, root):
        self.executable = executable
        self.home = os.path.join(root, "home")
        self.work = os.path.join(root, "work")
        self.data = os.path.join(self.home, *DATA_FOLDER)
        self.root = root
        self.starts = 0
        self.process = None
        os.makedirs(self.home, exist_ok=True)
        os.makedirs(self.work, exist_ok=True)

    def start(self):
        """Starts it and waits for the listening line; returns the port."""
        env = dict(os.environ, HOME=self.home, ZU_QUIET="1")
        for _ in range(5):
            port = free_port()
            with open(os.path.join(self.work, "system.cfg"), "w") as cfg:
                cfg.write("IpAddress=127.0.0.1\nDNS=0\nPort=%d\n" % port)
            self.starts += 1
            self.log_path = os.path.join(self.root, "simulator-%d.log" % self.starts)
            with open(self.log_path, "w") as log:
                self.process = subprocess.Popen([self.executable], cwd=self.work, env=env, stdout=log,
                                                stderr=subprocess.STDOUT)
            line = "Listening on port %d; working folder %s; data folder %s\n" % (
                port, os.path.realpath(self.work), os.path.realpath(self.data))
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and self.process.poll() is None:
                if line in self.log():
                    return port
                time.sleep(0.05)
            # Another program took the port meanwhile: try another one.
            self.process.kill()
            self.process.wait()
        raise RuntimeError("the simulator never said it listens")

    def log(self):
        return read_file(self.log_path)

    def stop(self):
        """Ends it with SIGTERM and checks that it exits cleanly."""
        self.process.send_signal(signal.SIGTERM)
        try:
            code = self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            code = None
        check(code == 0, "exit status after SIGTERM: %s" % code)
        check("\x1b" not in self.log(), "no escape codes in the console output written to a file")


def values_and_errors(c, port):
    c.send(request(GET_VALUE, PORT, item=3))
    check(c.read(20) == reply_header(31, PORT, 0, 3, port), "type 21 on the port")

    # A text set and read back, without a NUL on the wire.
    c.send(request(SET_TEXT, HOST_NAME, payload=b"py-client"))
    check(c.read(20) == reply_header(OK, HOST_NAME, 0, 0, 0), "type 6 reply")
    c.send(request(GET_TEXT, HOST_NAME))
    check(c.read(29) == reply_header(30, HOST_NAME, 9, 0, 0) + b"py-client", "type 20 reply")

    # Two requests in one write: a set and a read of it.
    c.send(request(SET_VALUE, KEY_LOCK, value=0) + request(GET_VALUE, KEY_LOCK, item=1))
    check(c.reply()[0][1] == OK, "type 5 reply type")
    check(c.read(20) == reply_header(31, KEY_LOCK, 0, 1, 0), "type 21 after type 5")

    for type_, reply_type in sorted(READ_REPLIES.items()):
        check(c.ask(type_, PORT)[0][1] == reply_type, "type %d answered with type %d" % (type_, reply_type))

    c.send(request(GET_VALUE, 65000, item=9))
    check(c.read(20) == reply_header(ERROR, 65000, 0, 9, NO_COMMAND), "missing command")
    c.send(request(0, PORT, item=5, value=6))
    check(c.read(20) == reply_header(ERROR, PORT, 0, 0, NOT_ACCEPTED), "type 0 refused")
    c.send(request(GET_ITEM_TEXT, CLIENTS, item=99))
    check(c.read(20) == reply_header(ERROR, CLIENTS, 0, 99, BAD_ITEM), "item out of range")
    wait_for("this client in the client list", lambda: "127.0.0.1" in c.items(CLIENTS))

    # A header without the magic word gets no reply; the next one does.
    c.send(request(GET_VALUE, PORT, magic=0x11223344) + request(GET_VALUE, PORT))
    check(c.read(20) == reply_header(31, PORT, 0, 0, port), "request after a wrong magic word")


def screen_and_keys(c, sim):
    c.send(request(SCREEN, 0))
    check(c.read(20) == reply_header(SCREEN_REPLY, 0, 0, BMP_SIZE, 0), "screen header")
    check_bmp(c.read(BMP_SIZE), "screen")

    # Type 4: a key with a command id gets a header, the screen value with
    # command id 0 the bare BMP, a key with command id 0 and a payload nothing.
    c.send(request(KEY, 7, value=KEY_OK))
    check(c.read(20) == reply_header(OK, 7, 0, 0, 0), "key reply")
    c.send(request(KEY, 0, value=LCD_IMAGE))
    check_bmp(c.read(BMP_SIZE), "bare LCD image")
    c.send(request(KEY, 0, value=KEY_OK, payload=b"x") + request(GET_VALUE, KEY_LOCK))
    check(c.read(20) == reply_header(31, KEY_LOCK, 0, 0, 0), "nothing for a key with command id 0 and a payload")

    # A console line is acknowledged at once; its output goes to the console.
    c.send(request(CONSOLE, 0, payload=b"e2e-no-such-command"))
    check(c.reply()[0][1] == OK, "console line acknowledged")
    wait_for("the console's answer", lambda: "Unknown command: e2e-no-such-command" in sim.log())


def status_reply(c):
    """The status XML reply: ("path", its bytes) or ("error", the header's fields)."""
    first = c.read(4)
    if first == struct.pack("<I", MAGIC):
        return "error", HEADER.unpack(first + c.read(HEADER.size - 4))
    return "path", first + c.read(len(STATUS_PATH) - 4)


def status_xml(c, sim, port):
    mmc = os.path.join(sim.data, "mmc")
    status_file = os.path.join(mmc, "status.xml")
    c.send(request(KEY, 0, value=STATUS_XML))
    check(status_reply(c) == ("path", STATUS_PATH), "without xmlformat.ini the reply is still the path")
    check(read_file(status_file).strip() == "No config file: xmlformat.ini found",
          "without xmlformat.ini the file says so")

    with open(os.path.join(sim.work, "xmlformat.ini"), "w") as f:
        f.write(XML_LAYOUT)
    c.send(request(KEY, 0, value=STATUS_XML))
    check(status_reply(c) == ("path", STATUS_PATH), "status XML reply names the instrument's path")
    xml = read_file(status_file)
    check(xml.startswith("<?xml"), "status file starts with the XML declaration")
    for field in ("<Field><Name>Port</Name><Value>%d</Value></Field>\n" % port,
                  "<Field><Name>HostName</Name><Value>py-client</Value></Field>\n",
                  "<Field><Name>PortK</Name><Value>%.3f</Value></Field>\n" % (port / 1000.0)):
        check(field in xml, "status file holds " + field.strip())
    check(re.search(r"<Field><Name>INFO_DATE_DATE</Name><Value>\d\d-\d\d-\d{4}</Value></Field>\n", xml),
          "status file holds the date")
    check(xml.rstrip().endswith("</ZuStatus>"), "status file ends with </ZuStatus>")

    # Without its folder the file cannot be written: the error reply.
    shutil.rmtree(mmc)
    c.send(request(KEY, 9, item=3, value=STATUS_XML))
    check(status_reply(c) == ("error", (MAGIC, ERROR, 9, 0, 0, 3, NOT_ACCEPTED)), "status XML error reply")
    os.makedirs(os.path.join(mmc, "screendumps"))


def script_run(c, sim, port):
    names = c.items(SCRIPT_LIST)
    if not check("E2E" in names, "the script in the list: %r" % names):
        return
    c.set_value(SCRIPT_LIST, names.index("E2E"))
    check(c.text(SCRIPT_NAME) == "E2E", "script name after selection")
    check(len(c.items(STEPS)) == 4, "four steps listed: %r" % c.items(STEPS))

    c.set_value(RUN, 1)
    check(c.text(RUN) == "Stop", "Run reads Stop while it runs")
    check(c.text(STATUS) == "Script", "status text while it runs")
    wait_for("the prompt", lambda: c.text(PROMPT) == "Press continue")
    c.set_value(CONTINUE, 1)
    wait_for("the end of the run", lambda: c.text(RUN) == "Run")
    check(c.value(PASSES) == 1, "one pass done")
    check(c.value(ERRORS) == 0, "no errors")
    report = c.text(LAST_REPORT)
    check(report == "E2E-1", "report name: %r" % report)

    folder = os.path.join(sim.data, "reports", report)
    page = read_file(os.path.join(folder, "index.html"))
    check("Start of test" in page, "report page holds the comment")
    check("<Field><Name>Port</Name><Value>%d</Value></Field>" % port in read_file(os.path.join(folder, "status.xml")),
          "the run's status file")
    check_bmp(read_file(os.path.join(folder, "mainmenu.bmp"), "rb"), "the run's screen image")
    # The index lists the one report so far, with OK.
    index = os.path.join(sim.data, "reports", "index.html")
    wait_for("the reports index", lambda: "OK" in read_file(index).partition("E2E-1")[2])
    check("FAIL" not in read_file(index), "reports index says OK")

    # A second run, stopped: asked, then confirmed.
    c.set_value(RUN, 1)
    check(c.text(RUN) == "Stop", "second run started")
    c.set_value(RUN, 1)
    check(c.text(RUN) == "Stop", "asking does not stop the run")
    c.set_value(CONFIRM_STOP, 1)
    check(c.text(RUN) == "Run", "confirmed stop")
    check(os.path.isdir(os.path.join(sim.data, "reports", "E2E-2")), "second report folder")


def event_page(c):
    count = c.ask(GET_ITEM_COUNT, EVENT_LOG)[0][6]
    entries = [c.ask(GET_ITEM_TEXT, EVENT_LOG, item=i)[1].decode("latin-1") for i in range(count)]
    comments = [e for e in entries if e.endswith("Start of test")]
    check(len(comments) == 2, "each run's comment in the event log: %r" % comments)
    check(all(re.match(r"^[EWiC] \d\d:\d\d:\d\d \d\d-\d\d-\d{4} Start of test$", e) for e in comments),
          "event entry texts: %r" % comments)
    # The first page, 100 entries a page, all levels.
    c.send(request(KEY, 0, item=100000, value=EVENT_PAGE, spare=2))
    page = c.read_until(PAGE_END).decode("latin-1")
    check("<html>" in page, "event page is HTML")
    check("Start of test" in page, "event page lists the comment")
    check(count > 100 or "End of Event Log" in page, "event page marks the end of the log")


def remote_switched_off(c, port):
    c.set_value(REMOTE_ON, 0)
    c.send(request(GET_VALUE, PORT))
    check(c.read(20) == reply_header(ERROR, PORT, 0, 0, REMOTE_OFF), "store request refused while off")
    c.send(request(KEY, 7, value=KEY_OK))
    check(c.read(20) == reply_header(OK, 7, 0, 0, 0), "keys work while off")
    check(c.ask(CONSOLE, 0, payload=b"e2e-still-here")[0][1] == OK, "console lines work while off")


def run(sim):
    scripts = os.path.join(sim.data, "scripts")
    os.makedirs(scripts, exist_ok=True)
    with open(os.path.join(scripts, "E2E.cmd"), "w") as f:
        f.write(SCRIPT)
    with open(os.path.join(scripts, "E2E.ini"), "w") as f:
        f.write(SCRIPT_LAYOUT)

    port = sim.start()
    try:
        c = Client(port)
        values_and_errors(c, port)
        screen_and_keys(c, sim)
        status_xml(c, sim, port)
        script_run(c, sim, port)
        event_page(c)
        remote_switched_off(c, port)
        c.sock.close()
    finally:
        sim.stop()

    # Off is kept over a restart; the line of System.dat switches it on again.
    system_dat = os.path.join(sim.work, "System.dat")
    saved = read_file(system_dat)
    check("V365=0\n" in saved, "System.dat keeps remote control off: %r" % saved)
    port = sim.start()
    try:
        c = Client(port)
        c.send(request(GET_VALUE, PORT))
        check(c.read(20) == reply_header(ERROR, PORT, 0, 0, REMOTE_OFF), "still off after a restart")
        c.sock.close()
    finally:
        sim.stop()
    saved = read_file(system_dat)
    with open(system_dat, "w") as f:
        f.write(saved.replace("V365=0\n", "V365=1\n"))
    port = sim.start()
    try:
        c = Client(port)
        c.send(request(GET_VALUE, PORT))
        check(c.read(20) == reply_header(31, PORT, 0, 0, port), "on again after editing System.dat")
        c.sock.close()
    finally:
        sim.stop()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    with tempfile.TemporaryDirectory(prefix="zu-e2e-") as root:
        sim = Simulator(os.path.abspath(sys.argv[1]), root)
        try:
            run(sim)
        except (OSError, EOFError, RuntimeError) as error:
            check(False, "connection: %s" % error)
        if failures and sim.starts:
            sys.stderr.write(sim.log()[-20000:])
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
