#include "mtestwindowrun.h"

#include "mapplication.h"
#include "mmainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QSet>
#include <QTimer>

namespace {

std::function<void(MMainWindow *)> &shownCallback()
{
    static std::function<void(MMainWindow *)> callback;
    return callback;
}

// Sees every event of the application, so it meets the main window when the
// window is first shown and listens to it from then on.
class ShownWatch : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *window = qobject_cast<MMainWindow *>(watched);
            if (window && !m_windows.contains(window)) {
                m_windows.insert(window);
                connect(window, &MMainWindow::shown, this, [window]() {
                    if (shownCallback())
                        shownCallback()(window);
                });
            }
        }
        return false;
    }

private:
    QSet<MMainWindow *> m_windows;
};

// Runs inside the constructor of every application object.
void watchApplication()
{
    if (shownCallback())
        QCoreApplication::instance()->installEventFilter(new ShownWatch(QCoreApplication::instance()));
}

} // namespace

void onMainWindowShown(const std::function<void(MMainWindow *)> &onShown)
{
    static bool added = false;
    if (!added) {
        qAddPreRoutine(&watchApplication);
        added = true;
    }
    shownCallback() = onShown;
}

int runMainWindowOnce(const std::function<void(MMainWindow *)> &body)
{
    static char name[] = "kalmidraw";
    static char *argv[] = {name, nullptr};
    static int argc = 1;
    onMainWindowShown([&body](MMainWindow *window) {
        QTimer::singleShot(60000, window, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        body(window);
        window->close();
    });
    const int result = MApplication::runMain(argc, argv);
    onMainWindowShown(nullptr);
    return result;
}
