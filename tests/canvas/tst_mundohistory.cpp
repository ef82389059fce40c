#include "mcommand.h"
#include "mundohistory.h"

#include <QStringList>
#include <QTest>
#include <QUndoStack>

namespace {

// Sets a number, noting each run in the log; one that cannot be recorded
// changes nothing.
class SetNumber : public MCommand
{
public:
    SetNumber(MUndoHistory *history, int *number, int to, QStringList *log, bool recordable = true)
        : MCommand(history)
        , m_number(number)
        , m_to(to)
        , m_log(log)
        , m_recordable(recordable)
    {
        setText(QString::number(to));
    }

protected:
    bool firstStep() override
    {
        m_log->append(QStringLiteral("run %1").arg(m_to));
        if (!m_recordable)
            return false;
        m_from = *m_number;
        *m_number = m_to;
        return true;
    }
    void redoStep() override
    {
        m_log->append(QStringLiteral("redo %1").arg(m_to));
        *m_number = m_to;
    }
    void undoStep() override
    {
        m_log->append(QStringLiteral("undo %1").arg(m_to));
        *m_number = m_from;
    }

private:
    int *m_number;
    int m_from = 0;
    int m_to;
    QStringList *m_log;
    bool m_recordable;
};

// A number set as above that also notes when it goes.
class NotedNumber : public SetNumber
{
public:
    NotedNumber(MUndoHistory *history, int *number, int to, QStringList *log)
        : SetNumber(history, number, to, log)
        , m_to(to)
        , m_log(log)
    {
    }
    ~NotedNumber() override { m_log->append(QStringLiteral("gone %1").arg(m_to)); }

private:
    int m_to;
    QStringList *m_log;
};

} // namespace

class TestMUndoHistory : public QObject
{
    Q_OBJECT

private slots:
    // What holds before any command runs (the document's queued stamps
    // drawn) is made to hold before each first run, undo and redo; the
    // stack's own redo as it takes a command runs nothing again.
    void everyRunFollowsTheHook()
    {
        MUndoHistory history;
        int number = 0;
        QStringList log;
        history.setBeforeRun([&log] {
            log << QStringLiteral("hook");
            return true;
        });
        QVERIFY(history.push(new SetNumber(&history, &number, 1, &log)));
        QCOMPARE(log, QStringList({"hook", "run 1"}));
        QCOMPARE(number, 1);
        history.undo();
        history.redo();
        QCOMPARE(log, QStringList({"hook", "run 1", "hook", "undo 1", "hook", "redo 1"}));
        QCOMPARE(number, 1);
    }

    void unrecordedCommandLeavesTheHistory_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("number");
        QTest::newRow("at top level") << "top" << 3 << 3 << 3;
        QTest::newRow("inside a macro") << "macro" << 4 << 4 << 4;
        QTest::newRow("after an undo") << "undone" << 3 << 2 << 2;
    }

    // A command that cannot be recorded is run before it reaches the stack:
    // the steps that could be redone, the clean state and an open macro's
    // steps stay as they were, and it goes once control is back in the
    // event loop.
    void unrecordedCommandLeavesTheHistory()
    {
        QFETCH(QString, where);
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(int, number);
        MUndoHistory history;
        QUndoStack *stack = history.stack();
        int value = 0;
        QStringList log;
        for (int to = 1; to <= 3; ++to)
            QVERIFY(history.push(new SetNumber(&history, &value, to, &log)));
        if (where == QLatin1String("undone"))
            history.undo();
        history.setClean();
        if (where == QLatin1String("macro")) {
            history.beginMacro(QStringLiteral("Macro"));
            QVERIFY(history.push(new SetNumber(&history, &value, 4, &log)));
        }

        QVERIFY(!history.push(new SetNumber(&history, &value, 9, &log, false)));
        QVERIFY(log.contains(QStringLiteral("run 9")));
        QCOMPARE(value, number);
        if (where == QLatin1String("macro")) {
            QCOMPARE(stack->command(stack->count() - 1)->childCount(), 1);
            history.endMacro();
        } else {
            QVERIFY(history.isClean());
        }
        QCOMPARE(stack->count(), count);
        QCOMPARE(stack->index(), index);
        QCOMPARE(stack->canRedo(), where == QLatin1String("undone"));
        QCoreApplication::processEvents();

        // The history plays on as if the command had never been.
        if (where == QLatin1String("undone")) {
            history.redo();
            QCOMPARE(value, 3);
            QVERIFY(!history.isClean());
        }
        while (stack->canUndo())
            history.undo();
        QCOMPARE(value, 0);
        QVERIFY(!log.contains(QStringLiteral("undo 9")));
    }

    void alwaysRecordedCommandRunsWhereAMacroRan_data()
    {
        QTest::addColumn<bool>("undone");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("after two undos: the redo steps go first") << true << QStringList{"gone 3", "gone 2", "run 9"};
        QTest::newRow("at the undo limit: the oldest step goes after") << false << QStringList{"run 9", "gone 1"};
    }

    // A command recorded whatever its parts do is kept in the order a macro
    // of its parts was: the steps it drops from the redo side go before it
    // runs (their records are let go before it makes its own), the oldest
    // step past the undo limit after.
    void alwaysRecordedCommandRunsWhereAMacroRan()
    {
        QFETCH(bool, undone);
        QFETCH(QStringList, expected);
        QStringList log;
        MUndoHistory history;
        QUndoStack *stack = history.stack();
        stack->setUndoLimit(3);
        int value = 0;
        for (int to = 1; to <= 3; ++to)
            QVERIFY(history.push(new NotedNumber(&history, &value, to, &log)));
        if (undone) {
            history.undo();
            history.undo();
        }
        log.clear();
        history.pushRecorded(new NotedNumber(&history, &value, 9, &log));
        QCOMPARE(log, expected);
        QCOMPARE(value, 9);
        QCOMPARE(stack->count(), undone ? 2 : 3);
        QCOMPARE(stack->undoText(), QStringLiteral("9"));
        QVERIFY(!stack->canRedo());
        history.undo();
        QCOMPARE(value, undone ? 1 : 3);
        history.redo();
        QCOMPARE(value, 9);
    }
};

QTEST_MAIN(TestMUndoHistory)
#include "tst_mundohistory.moc"
