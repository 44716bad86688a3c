#pragma once
// SANE's own test backend (libsane-test) as the scanner of a test: SANE_CONFIG_DIR names a
// folder of the test process whose dll.conf holds only "test", so no other backend is probed,
// and a test.conf there sets up the device.
#include <QByteArray>
#include <utility>
#include <vector>

namespace testsupport {

// Points SANE at the process's test folder (once per process: libsane keeps the folder) and
// lets it load the test backend only.
void useSaneTestDevice();
// The backends libsane loads from then on: "test\n", or none at all ("" or a comment; the
// test backend itself cannot be set up with no devices).
void writeSaneDllConf(const QByteArray &backends);

// Writes test.conf: the backend's defaults with these keys changed (values as in the file,
// strings quoted). The backend reads it afresh at every session.
using SaneConf = std::vector<std::pair<QByteArray, QByteArray>>;
void writeSaneTestConf(const SaneConf &overrides);

} // namespace testsupport
