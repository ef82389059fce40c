#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Plays a painter's part in a modal dialog that a blocking call opens: the
// script runs on the dialog once it is shown, inside its own event loop.
// A dialog still open after the script is rejected, so a failing script
// cannot leave the test hanging.
namespace MTestModalDriver {

// Starts waiting for a visible modal dialog of the class; call before the
// blocking call. done (when given) is set once the script has run.
void onNextDialog(const char *className, const std::function<void(QDialog *)> &script, bool *done = nullptr);

// Runs open(), a call that opens a modal dialog, with the script played on
// that dialog; false when no dialog showed.
bool whileOpen(const std::function<void()> &open, const std::function<void(QDialog *)> &script);

// Selects the text of an editor and types over it, as from the keyboard.
void typeOver(QWidget *edit, const QString &text);

// A left click where the widget takes it: a check box on its box, which
// may lie far from the middle of a wide one without text.
void click(QWidget *widget);

} // namespace MTestModalDriver
