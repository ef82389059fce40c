#pragma once

#include <QString>

// A copy of the fixture help root (tests/data/help/root) in a folder the
// test owns, since building the site writes beside the sources.
namespace MTestHelpRoot {
// Copies the fixture into the folder; false when a file could not be copied.
bool copyTo(const QString &folder);
// The expected output files of the fixture, in tests/data/help/golden.
QString goldenPath(const QString &name);
} // namespace MTestHelpRoot
