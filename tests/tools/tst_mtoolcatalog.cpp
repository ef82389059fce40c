#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtool.h"
#include "mtoolcatalog.h"
#include "mtools.h"

#include <QMainWindow>
#include <QMetaEnum>
#include <QTest>

// The tools the catalog registers, as a registry builds them.
class TestMToolCatalog : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestView::prepare(QSize(100, 80))); }

    // A registration line that names another tool's id or class builds the
    // wrong tool under an id: every tool is the class its id names.
    void everyToolIsBuiltUnderItsOwnId()
    {
        QMainWindow window;
        MTools *tools = MTools::instance();
        tools->init(&window);
        const QMetaEnum ids = QMetaEnum::fromType<MTool::ToolId>();
        int built = 0;
        for (int i = 0; i < ids.keyCount(); ++i) {
            MTool *tool = tools->tool(ids.value(i));
            if (!tool)
                continue;
            ++built;
            QCOMPARE(QString::fromLatin1(tool->metaObject()->className()), QLatin1String("M") + QLatin1String(ids.key(i)));
            QCOMPARE(tool->toolId(), ids.value(i));
            QCOMPARE(tool->parent(), tools);
        }
        QCOMPARE(built, MToolCatalog::registeredCount());
        QVERIFY(built >= 16);
        MTools::destroyInstance();
    }
};

QTEST_MAIN(TestMToolCatalog)
#include "tst_mtoolcatalog.moc"
