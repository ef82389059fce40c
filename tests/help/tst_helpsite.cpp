#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mtestfolder.h"
#include "mtesthelproot.h"
#include "mtestlogwatch.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList pagesIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}
} // namespace

class TestHelpSite : public QObject
{
    Q_OBJECT

private:
    MTestFolder m_folder;
    MHelpEngine m_engine;

    QString exportFolder() const { return m_folder.path() + "export/en/"; }

private slots:
    void init()
    {
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        QVERIFY(MTestHelpRoot::copyTo(m_folder.path()));
        m_engine.setHelpRoot(m_folder.path());
        m_engine.loadIndex();
        m_engine.variables().clear();
        // A variable's own text is filled in too: the page title comes last.
        m_engine.variables().insert(QStringLiteral("Product"), QStringLiteral("KalmiDraw for $PageTitle$"));
    }

    // One page of a three-level tree: navigation of its branch, variables, escaped titles.
    void thirdLevelPageMatchesItsGoldenFile_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("third level, with a source page") << "pressure.html";
        QTest::newRow("second level with an escaped title, no source page") << "brush-tool.html";
        QTest::newRow("top level") << "start.html";
    }

    void thirdLevelPageMatchesItsGoldenFile()
    {
        QFETCH(QString, page);
        m_engine.build();
        QCOMPARE(pagesIn(exportFolder()),
                 (QStringList{"about.html", "brush-tool.html", "eraser.html", "pressure.html", "start.html", "tools.html"}));
        const QByteArray written = readAll(exportFolder() + page);
        const QByteArray golden = readAll(MTestHelpRoot::goldenPath(page));
        QVERIFY(!golden.isEmpty());
        QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(golden));
        // The resource folders come along; the index and the sources stay behind.
        QCOMPARE(readAll(exportFolder() + "images/pen.png"), QByteArray("a picture stands here\n"));
        QVERIFY(!QFile::exists(exportFolder() + "index.txt"));
        QVERIFY(!QFile::exists(exportFolder() + "templates/index.txt"));
    }

    void buildEmptiesTheSiteFirst()
    {
        QDir().mkpath(exportFolder() + "old");
        m_folder.writeFile("export/en/stale.html", "gone");
        m_folder.writeFile("export/en/old/stale.png", "gone");
        m_engine.build();
        QVERIFY(!QFile::exists(exportFolder() + "stale.html"));
        QVERIFY(!QDir(exportFolder() + "old").exists());
        QVERIFY(QFile::exists(exportFolder() + "about.html"));
    }

    void cancelAfterTheFirstPage()
    {
        QTimer watcher;
        int cancelled = 0;
        // The progress dialog lets events through before each page: cancel
        // as soon as the first page is on disk.
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (pagesIn(exportFolder()).isEmpty() || cancelled)
                return;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *progress = qobject_cast<QProgressDialog *>(widget)) {
                    progress->cancel();
                    ++cancelled;
                }
            }
        });
        watcher.start(0);
        m_engine.build();
        watcher.stop();
        QCOMPARE(cancelled, 1);
        QCOMPARE(pagesIn(exportFolder()), QStringList{"start.html"});
        QCOMPARE(m_engine.pageCounter(), 6);
        QCOMPARE(readAll(exportFolder() + "images/pen.png"), QByteArray("a picture stands here\n"));
    }

    void idLeavingTheSiteIsRefused()
    {
        MHelpItem *about = m_engine.rootItem()->child(2);
        about->set_id(QStringLiteral("../../escaped"));
        MTestLogWatch log;
        m_engine.build();
        QVERIFY(!QFile::exists(m_folder.path() + "escaped.html"));
        QVERIFY(!QFile::exists(m_folder.path() + "export/escaped.html"));
        QCOMPARE(log.count("the id \"../../escaped\" leaves the help folder"), 1);
        QCOMPARE(pagesIn(exportFolder()).size(), 5);
        // The navigation still names it, as plain escaped text in a dead link.
        QVERIFY(readAll(exportFolder() + "start.html").contains("<a href=\"../../escaped.html\">About</a>"));
    }

    // The export folder is emptied whole: when it is a link to another
    // folder the build is refused and that folder keeps its files. A linked
    // folder or file among the sources is not followed out of the help root.
    void linksLeadNowhere()
    {
        MTestFolder elsewhere;
        elsewhere.writeFile("keep.txt", "mine");
        elsewhere.writeFile("secret/password.txt", "hunter2");
        QVERIFY(QDir(exportFolder()).removeRecursively());
        QVERIFY(QDir().mkpath(m_folder.path() + "export"));
        QVERIFY(QFile::link(elsewhere.path(), exportFolder().chopped(1)));
        MTestLogWatch refusal;
        m_engine.build();
        QCOMPARE(elsewhere.readFile("keep.txt"), QByteArray("mine"));
        QVERIFY(pagesIn(elsewhere.path()).isEmpty());
        QCOMPARE(refusal.count("Help build refused: the export folder " + exportFolder() + " is a link"), 1);

        QVERIFY(QFile::remove(exportFolder().chopped(1)));
        const QString sources = m_folder.path() + "source/en/";
        QVERIFY(QFile::link(elsewhere.path() + "secret", sources + "images/secret"));
        QVERIFY(QFile::link(elsewhere.path() + "secret/password.txt", sources + "images/password.txt"));
        elsewhere.writeFile("page.html", "<p>SECRET</p>");
        QVERIFY(QFile::remove(sources + "pressure.html"));
        QVERIFY(QFile::link(elsewhere.path() + "page.html", sources + "pressure.html"));
        m_engine.build();
        QVERIFY(QFile::exists(exportFolder() + "pressure.html"));
        QVERIFY(!readAll(exportFolder() + "pressure.html").contains("SECRET"));
        QVERIFY(QFile::exists(exportFolder() + "images/pen.png"));
        QVERIFY(!QFile::exists(exportFolder() + "images/secret/password.txt"));
        QVERIFY(!QFile::exists(exportFolder() + "images/password.txt"));
        QCOMPARE(elsewhere.readFile("keep.txt"), QByteArray("mine"));
    }

    void pagesOfInterfaceObjects()
    {
        QMainWindow window;
        window.setObjectName("window");
        auto *menu = new QMenu(&window);
        menu->setObjectName("fileMenu");
        menu->setToolTip("File & <more>");
        auto *open = menu->addAction("Open");
        open->setObjectName("fileOpen");
        open->setToolTip("Open a file");
        open->setWhatsThis("Opens <b>any</b> picture");
        menu->addSeparator();
        auto *plain = menu->addAction("Plain");
        plain->setObjectName("Plain_Action");
        QPixmap red(16, 16);
        red.fill(Qt::red);
        auto *iconic = new QAction(QIcon(red), "Iconic", &window);
        iconic->setObjectName("IconicAction");
        auto *dock = new QDockWidget(&window);
        dock->setObjectName("colorDock");
        auto *button = new QToolButton(dock);
        button->setObjectName("pickButton");
        dock->setWidget(button);
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        m_engine.setUiRoot(&window);

        auto helpOf = [this](const QString &id) {
            MHelpItem item;
            item.set_id(id);
            return m_engine.getHtml(&item);
        };
        QCOMPARE(helpOf("fileMenu"),
                 QStringLiteral("<h1>File &amp; &lt;more&gt;</h1>\n<p>No description</p>\n<h2>Function list</h2>\n<table>\n"
                                "\t<tr>\n\t\t<td>\n\t\t</td>\n\t\t<td>\n\t\t\t<a href=\"file-open.html\">Open a file</a>\n"
                                "\t\t\t<p>Opens <b>any</b> picture</p>\n\t\t</td>\n\t</tr>\n"
                                "\t<tr>\n\t\t<td>\n\t\t</td>\n\t\t<td>\n\t\t\t<a href=\"plain--action.html\">Plain</a>\n"
                                "\t\t</td>\n\t</tr>\n</table>"));
        const QString images = m_folder.path() + "source/en/images/";
        QCOMPARE(helpOf("Plain_Action"), QStringLiteral("<h1>Plain</h1>\n<p>No description</p>"));
        QVERIFY(!QFile::exists(images + "plain--action.png"));
        QCOMPARE(helpOf("IconicAction"),
                 QStringLiteral("<h1>Iconic</h1>\n<p>No description</p>\n\t\t\t<img src=\"images/iconic-action.png\" />"));
        QCOMPARE(QImage(images + "iconic-action.png").size(), QSize(16, 16));
        QCOMPARE(helpOf("colorDock"),
                 QStringLiteral("<h1>Panel</h1>\n<p>No description</p>\n<br>\n<img src=\"images/color-dock.png\" />\n<br>\n<br>\n"
                                "<p>pickButton</p>"));
        QVERIFY(!QImage(images + "color-dock.png").isNull());
        QTest::ignoreMessage(QtDebugMsg, "mhelpengine::MHelpEngine::getHtml no help genrated for: window");
        QCOMPARE(helpOf("window"), QString());
        QCOMPARE(helpOf("nothing"), QString());
    }
};

QTEST_MAIN(TestHelpSite)
#include "tst_helpsite.moc"
