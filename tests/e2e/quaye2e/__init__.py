"""The end-to-end harness shared by the end-to-end suites and the benchmarks.

ctest puts tests/e2e on PYTHONPATH and names the programs under test in the
environment (QUAYPORT, QUAYHOMEPREP, QUAYSESSIONHOST, FTPENGINEHOST) and the
programs' version in QUAYPORT_VERSION; the benchmarks set the same from their
build folder.

  programs    the programs under test and their version
  waits       bounded polling
  ports       free ports, the connect greeting
  control     a bare FTP control connection
  appfolder   an application folder's files, enciphered with quayhomeprep
  enginehost  the engine test host (tests/engine/host) and its notifications
  sessionhost the session test host (tests/session/host) on a prepared folder
  quayport    the real Quayport, offscreen
"""
from quaye2e.ports import free_port, greeting_of, port_bindable, wait_greeting
from quaye2e.programs import VERSION
from quaye2e.waits import wait_for
