#!/usr/bin/env python3
"""A real VISA client (pyvisa with its pure-Python backend) against max2870-send --serve on the
simulator's pseudo-terminal: the instrument as a lab script meets it."""
import re
import subprocess
import sys

import pyvisa

send, sim = sys.argv[1], sys.argv[2]
simulator = subprocess.Popen([sim, "--verbose"], stdout=subprocess.PIPE, text=True)
pty = simulator.stdout.readline().strip()
server = subprocess.Popen([send, pty, "--serve", "0", "--gap", "0.0126"],
                          stderr=subprocess.PIPE, text=True)
port = re.search(r"serving SCPI on 127\.0\.0\.1:(\d+)", server.stderr.readline()).group(1)
failures = []


def check(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: got {got!r}, wanted {wanted!r}")


try:
    manager = pyvisa.ResourceManager("@py")
    instrument = manager.open_resource(f"TCPIP0::127.0.0.1::{port}::SOCKET",
                                       read_termination="\n", write_termination="\n",
                                       timeout=10000)
    check("*IDN? fields", len(instrument.query("*IDN?").split(",")), 4)
    instrument.write("*RST;*CLS")
    instrument.write("FREQ 2.4GHZ")
    check("*OPC? after FREQ", instrument.query("*OPC?"), "1")
    check("FREQ?", instrument.query("FREQ?"), "2400000000")
    check("FREQ? as a number", instrument.query_ascii_values("FREQ?"), [2.4e9])
    check("PLAN? box", '"FoutText":"2400"' in instrument.query("PLAN?"), True)
    instrument.write("SOUR:FREQ:CW 1 THZ")
    check("a bad suffix", instrument.query("SYST:ERR?"), '-131,"Invalid suffix"')
    check("the queue after it", instrument.query("SYST:ERR?"), '0,"No error"')
    instrument.write("LIST:FREQ 3GHZ,3000.5MHZ;:FREQ:MODE LIST;:INIT")
    check("*OPC? after a list pass", instrument.query("*OPC?"), "1")
    instrument.close()
    manager.close()
finally:
    server.terminate()
    check("SIGTERM exit status", server.wait(timeout=10), 143)
    simulator.terminate()
    received = re.findall(r"(R[0-9A-F]{8})  \(", simulator.communicate(timeout=10)[0])

check("lines on the wire", received,
      ["R00400005", "R609C80FC", "R0000000B", "R18005E42", "R20000FA1", "R00F00000",  # 2.4 GHz
       "R608C80FC", "R20001F41", "R00960000", "R00960190"])  # the list: changed words only
for failure in failures:
    print("pyvisa run:", failure)
sys.exit(1 if failures else 0)
