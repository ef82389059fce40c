#include "mtestwindowrun.h"

#include "mapplication.h"
#include "mmainwindow.h"

#include <QApplication>
#include <QEvent>
#include <QSet>
#include <QTimer>

#include <vector>

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

int runApplication(const QStringList &arguments, const std::function<void(int, MMainWindow *)> &onShown, int *runs)
{
    // The application keeps argv for its whole life.
    static QList<QByteArray> storage;
    storage.clear();
    storage.append("kalmidraw");
    for (const QString &argument : arguments)
        storage.append(argument.toLocal8Bit());
    static std::vector<char *> argv;
    argv.clear();
    for (QByteArray &a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    static int argc;
    argc = int(storage.size());

    *runs = 0;
    onMainWindowShown([&](MMainWindow *window) { onShown(++*runs, window); });
    const int result = MApplication::runMain(argc, argv.data());
    onMainWindowShown(nullptr);
    return result;
}
