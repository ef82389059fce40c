#include "mtestwindowrun.h"

#include "mapplication.h"
#include "mmainwindow.h"

#include <QApplication>
#include <QTimer>

int runMainWindowOnce(const std::function<void(MMainWindow *)> &body)
{
    static char name[] = "kalmidraw";
    static char *argv[] = {name, nullptr};
    static int argc = 1;
    MMainWindow::setShownHook([&body](MMainWindow *window) {
        QTimer::singleShot(60000, window, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        body(window);
        window->close();
    });
    const int result = MApplication::runMain(argc, argv);
    MMainWindow::setShownHook(MMainWindow::ShownHook());
    return result;
}
