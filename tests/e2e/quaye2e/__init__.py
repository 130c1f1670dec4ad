"""The end-to-end harness shared by the end-to-end suites and the benchmarks.

ctest puts tests/e2e on PYTHONPATH and names the programs under test in the
environment (QUAYPORT, QUAYHOMEPREP, QUAYSESSIONHOST, FTPENGINEHOST) and the
programs' version in QUAYPORT_VERSION; the benchmarks set the same from their
build folder.

  programs    the programs under test, their environment and version
  waits       bounded polling
  ports       the ports servers took, port 21's exposure, the connect greeting
  control     a bare FTP control connection
  activeftp   ftplib's client, active mode on the loopback address
  appfolder   an application folder's files, enciphered with quayhomeprep
  folders     what a folder holds
  enginehost  the engine test host (tests/engine/host) and its notifications
  sessionhost the session test host (tests/session/host) on a prepared folder
  quayport    the real Quayport, offscreen
"""
from quaye2e.ports import greeting_of, listening_ports, port_bindable, wait_greeting, why_port_21_would_be_exposed
from quaye2e.programs import VERSION, environment
from quaye2e.waits import wait_for
