// The help authoring tool: kalmihelp [--build] <help root folder>
// Opens the page editor on the help root, or with --build generates the
// site of its topics and exits.
#include "dhelpeditor.h"
#include "mhelpengine.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("KalmiDraw"));
    QCoreApplication::setApplicationName(QStringLiteral("kalmihelp"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool build = arguments.removeAll(QStringLiteral("--build")) > 0;
    QTextStream err(stderr);
    if (arguments.size() != 1) {
        err << "usage: kalmihelp [--build] <help root folder>\n";
        return 2;
    }
    if (!QFileInfo(arguments.first()).isDir()) {
        err << "kalmihelp: not a folder: " << arguments.first() << '\n';
        return 2;
    }
    MHelpEngine engine;
    engine.setHelpRoot(arguments.first());
    engine.loadIndex();
    if (build) {
        engine.build();
        return 0;
    }
    DHelpEditor editor(&engine);
    editor.show();
    return app.exec();
}
