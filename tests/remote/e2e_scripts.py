#!/usr/bin/env python3
"""Runs a script on the simulator executable over the remote-control port.

The status layout is put into the scripts folder of a temporary HOME before
the simulator starts, the ".cmd" script once it runs. The client waits for
the script to appear in the list (the page looks at its folder every eleventh
run of its task, about every eleven seconds), then selects the
script, runs it, answers its prompt, and checks what the run left behind:
the report folder with its status file, screen dump and report page, and the
reports index. A second run is cancelled through the "CancelScript" answer.
Only the standard library is used.

Usage: e2e_scripts.py <simulator executable>
"""
import os
import sys
import tempfile
import time

import e2e_client as e2e
from e2e_client import HEADER, Client, check, request

COM_SYS_SCREEN_DUMP_FILE = 493
COM_SYS_STATUS = 494
COM_SCRIPTS_TOTAL_ERRORS = 1004
COM_SCRIPTS_TOTAL_STEP_TIME = 1713
COM_SCRIPTS_CURRENT_SCRIPT = 1715
COM_SCRIPTS_PROMPT_TEXT = 1717
COM_SCRIPTS_EDIT_STEP_NO = 1722
COM_SCRIPTS_RUN_SCRIPT = 1727
COM_SCRIPTS_SCRIPT_NAME = 1728
COM_SCRIPTS_LOOPS = 1732
COM_SCRIPTS_CONTINUE = 1734
COM_SCRIPTS_REPORT_NAME = 1737
COM_SCRIPTS_REPORT_NUMBER = 1738
COM_SCRIPTS_ABORT_SCRIPT_YES = 2457

SCRIPT = """# E2E test
1,LOOP
1,REPORT
0,STOP_ON_ERROR
1,CLEARLOG,
1,LOGCOMMENT,Start of test
1,SAVESTATUS,status
2,PAUSE,
1,SAVEIMAGE,11,mainmenu
1,PROMPT,Press continue
"""

LAYOUT = """Status=494,0
Step=1722,1
Loops=1732,1
"""

BMP_SIZE = 54 + 480 * 272 * 3


class Instrument:
    def __init__(self, port):
        self.client = Client(port)

    def _ask(self, type_, cmd, item=0, value=0, payload=b""):
        self.client.send(request(type_, cmd, item=item, value=value, payload=payload))
        header, body = self.client.reply()
        return HEADER.unpack(header), body

    def set_value(self, cmd, value):
        fields, _ = self._ask(5, cmd, value=value & 0xFFFFFFFF)
        check(fields[1] == 0, "type 5 on %d answered OK" % cmd)

    def value(self, cmd):
        fields, _ = self._ask(21, cmd)
        value = fields[6]
        return value - (1 << 32) if value & 0x80000000 else value

    def text(self, cmd):
        _, body = self._ask(20, cmd)
        return body.decode("latin-1")

    def items(self, cmd):
        _, body = self._ask(29, cmd)
        text = body.decode("latin-1")
        return text.split("\t") if text else []

    def wait_for(self, what, probe, timeout=40):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if probe():
                return True
            time.sleep(0.2)
        check(False, "timed out waiting for " + what)
        return False


def read(path, mode="r"):
    try:
        with open(path, mode) as f:
            return f.read()
    except OSError:
        return b"" if "b" in mode else ""


def exercise(port, data):
    reports = os.path.join(data, "reports")
    run = os.path.join(reports, "E2E-1")
    orb = Instrument(port)

    # The first rescan of the scripts folder finds the script.
    orb.wait_for("the script in the list", lambda: "E2E" in orb.items(COM_SCRIPTS_CURRENT_SCRIPT))
    names = orb.items(COM_SCRIPTS_CURRENT_SCRIPT)
    if "E2E" not in names:
        return
    orb.set_value(COM_SCRIPTS_CURRENT_SCRIPT, names.index("E2E"))
    check(orb.text(COM_SCRIPTS_SCRIPT_NAME) == "E2E", "script name after selection")
    check(orb.value(COM_SCRIPTS_TOTAL_STEP_TIME) == 2, "total step time of one pass")
    steps = orb.items(COM_SCRIPTS_EDIT_STEP_NO)
    check(len(steps) == 6, "six steps listed: %r" % steps)
    check(steps[:1] == ["1-Clear Log:"], "first step text: %r" % steps[:1])
    check("2-Log Comment:Start of test" in steps, "log comment step text")
    check("4-Pause:2s" in steps, "pause step text")
    check("6-Prompt:Press continue" in steps, "prompt step text")

    # Run: the prompt of the last step holds the run.
    orb.set_value(COM_SCRIPTS_RUN_SCRIPT, 1)
    check(orb.text(COM_SCRIPTS_RUN_SCRIPT) == "Stop", "Run reads Stop while running")
    check(orb.text(COM_SYS_STATUS) == "Script", "status text while running")
    check(os.path.isdir(run), "report folder of the run")
    check(orb.text(COM_SCRIPTS_REPORT_NAME) == "E2E", "report name taken from the script")
    check(orb.value(COM_SCRIPTS_REPORT_NUMBER) == 1, "first report number")
    orb.wait_for("the prompt", lambda: orb.text(COM_SCRIPTS_PROMPT_TEXT) == "Press continue")

    status = read(os.path.join(run, "status.xml"))
    check("<Name>Status</Name><Value>Script</Value>" in status, "status file records the running script")
    check("<Name>Loops</Name><Value>0</Value>" in status, "status file records no finished pass")
    check(len(read(os.path.join(run, "mainmenu.bmp"), "rb")) == BMP_SIZE, "screen dump of the main menu")

    # Continue: the run ends without errors and leaves its report.
    orb.set_value(COM_SCRIPTS_CONTINUE, 1)
    orb.wait_for("the end of the run", lambda: orb.text(COM_SCRIPTS_RUN_SCRIPT) == "Run", timeout=20)
    check(orb.value(COM_SCRIPTS_LOOPS) == 1, "one pass done")
    check(orb.value(COM_SCRIPTS_TOTAL_ERRORS) == 0, "no errors")
    check(orb.text(COM_SYS_STATUS) == "", "status text cleared")
    check(orb.text(COM_SYS_SCREEN_DUMP_FILE) == "E2E-1", "report name shown")

    page = read(os.path.join(run, "index.html"))
    pieces = ['<div class="Section">Start of test</div>',
              '<div class="Section">Save Status</div>',
              "<tr><td>Status</td><td>Script</td></tr>",
              '<IMG src="mainmenu.bmp">',
              '<div class="Section">Script Completed</div>',
              "<div>Loops Completed 1</div>",
              "<div>Total Errors 0</div>"]
    positions = [page.find(p) for p in pieces]
    check(all(p >= 0 for p in positions), "report page pieces present: %r" % list(zip(pieces, positions)))
    check(positions == sorted(positions), "report page pieces in run order")
    check("E2E-1" in page, "report name in the page")

    index = os.path.join(reports, "index.html")
    orb.wait_for("the reports index", lambda: "E2E-1" in read(index) and "</html>" in read(index), timeout=20)
    text = read(index)
    row = text[text.find("'E2E-1'"):]
    check(row.find("<div>OK</div>") >= 0 and row.find("<div>OK</div>") < row.find("</tr>"),
          "reports index row says OK")

    # A second run, cancelled: its own folder, a report that says so.
    orb.set_value(COM_SCRIPTS_RUN_SCRIPT, 1)
    check(orb.text(COM_SCRIPTS_RUN_SCRIPT) == "Stop", "second run started")
    orb.set_value(COM_SCRIPTS_RUN_SCRIPT, 1)   # asks through "CancelScript"
    check(orb.text(COM_SCRIPTS_RUN_SCRIPT) == "Stop", "the question does not stop the run")
    orb.set_value(COM_SCRIPTS_ABORT_SCRIPT_YES, 1)
    check(orb.text(COM_SCRIPTS_RUN_SCRIPT) == "Run", "confirmed cancel stops the run")
    second = read(os.path.join(reports, "E2E-2", "index.html"))
    check('<div class="Section">Script Completed</div>' in second, "cancelled run's report written")
    check(os.path.isdir(run), "first report kept")
    orb.client.sock.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    executable = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="zu-e2e-scripts-") as root:
        data = os.path.join(root, "home", "Documents", "Corvane", "ZuOrbSimulators", "Orb")
        scripts = os.path.join(data, "scripts")
        os.makedirs(scripts)
        with open(os.path.join(scripts, "E2E.ini"), "w") as f:
            f.write(LAYOUT)
        process, port, log_path = e2e.start(executable, root)
        # The script arrives while the simulator runs. The folder's time is
        # set well apart from any second the page may already have seen, so
        # its next look at the folder notices the new file.
        with open(os.path.join(scripts, "E2E.cmd"), "w") as f:
            f.write(SCRIPT)
        later = time.time() + 100
        os.utime(scripts, (later, later))
        try:
            exercise(port, data)
        except (OSError, EOFError) as error:
            check(False, "connection: %s" % error)
        e2e.stop(process)
        if e2e.failures:
            with open(log_path) as text:
                sys.stderr.write(text.read()[-20000:])
    print("%d failure(s)" % len(e2e.failures))
    return 1 if e2e.failures else 0


if __name__ == "__main__":
    sys.exit(main())
