#pragma once

#include <QStringList>

#include <functional>

class MMainWindow;

// Calls onShown with the main window of every application started from now
// on (a restart inside the process starts a new one), once the window emitted
// shown(); an empty function stops it.
void onMainWindowShown(const std::function<void(MMainWindow *)> &onShown);

// Runs the whole application once: the body plays the painter's part in the
// shown main window, which is closed after it. A dialog still open a minute
// later is closed, so a failing step cannot hang the test. Returns the
// application's exit code.
int runMainWindowOnce(const std::function<void(MMainWindow *)> &body);

// Runs the whole application with the arguments for as long as it restarts
// itself: onShown gets the number of the run (from 1) and its shown window;
// runs the number of runs that showed a window. Returns the exit code.
int runApplication(const QStringList &arguments, const std::function<void(int, MMainWindow *)> &onShown, int *runs);
