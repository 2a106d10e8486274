"""python3-dbusmock's logind on a private system bus, for the tests of the logind client.

Usage: private_logind.py ANSWER VERSION CALLS_FILE
ANSWER is what CanPowerOff answers, or "absent" for a bus without logind; VERSION "newer" adds
PowerOffWithFlags, which Debian's template lacks. Prints the bus's address and its own process
id, then serves until SIGTERM; the calls logind receives are logged to CALLS_FILE.
"""
import os
import signal
import sys
import tempfile

from dbusmock import MOCK_IFACE, DBusTestCase

answer, version, calls = sys.argv[1:4]
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
tempfile.tempdir = os.path.dirname(calls)  # the mock's files go with the test's folder
DBusTestCase.start_system_bus()
try:
    if answer != "absent":
        with open(calls, "w") as log:
            _, logind = DBusTestCase.spawn_server_template(
                "logind", {"CanPowerOff": answer}, stdout=log)
        if version == "newer":
            logind.AddMethod("org.freedesktop.login1.Manager", "PowerOffWithFlags", "t", "", "",
                             dbus_interface=MOCK_IFACE)
    print(os.environ["DBUS_SYSTEM_BUS_ADDRESS"], os.getpid(), flush=True)
    while True:
        signal.pause()
finally:
    DBusTestCase.tearDownClass()
