# The unit tests left out of the Windows build: each needs what only POSIX has. The serial port's
# conformance on Windows is the end-to-end run under Wine against the virtual radio instead.
set(RCP520_POSIX_ONLY_TESTS
  # a pseudo-terminal pair as the line under test
  tests/link/port_conformance_test.cpp
  # Linux's device list, its port doctor and latency timer over a fake sysfs, /dev and /proc
  tests/link/low_latency_test.cpp
  tests/ports/port_doctor_test.cpp
  tests/ports/serial_devices_test.cpp
  tests/cli/ports_command_test.cpp
  tests/window/port_setup_test.cpp
  # POSIX signals raised in the process, file modes, FIFOs and devices
  tests/cli/cli_signals_test.cpp
  tests/cli/cli_fleet_signals_test.cpp
  tests/cli/private_files_test.cpp
  # other processes (fork, kill), file modes and RLIMIT_FSIZE against the history
  tests/history/history_processes_test.cpp
  # the virtual radios of a fleet on pseudo-terminals
  tests/sim/radio_fleet_test.cpp
)
foreach(test ${RCP520_POSIX_ONLY_TESTS})
  list(REMOVE_ITEM UNIT_TEST_SOURCES ${CMAKE_SOURCE_DIR}/${test})
endforeach()
