#include "moptionslanguage.h"
#include "mtestlanguage.h"

#include <QTest>

namespace {

struct Compiled
{
    QList<int> indices; // min filter, mag filter, wrap s, wrap t
    QStringList errors;
};

Compiled compile(const QString &source)
{
    options::Scanner scanner(source);
    options::Parser parser(&scanner);
    parser.parse();
    return {{parser.minFilter(), parser.magFilter(), parser.wrapS(), parser.wrapT()}, parser.errors().lines()};
}

} // namespace

class TestOptionsLanguage : public QObject
{
    Q_OBJECT

private slots:
    void tokenKinds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        MTestLanguage::addKindRows({";", "min", "filter", "=", "mag", "wraps", "wrapt", "nearest", "linear",
                                    "nearestmipmapnearest", "nearestmipmaplinear", "linearmipmapnearest",
                                    "linearmipmaplinear", "repeat", "mirroredrepeat", "clamptoedge", "clamptoborder",
                                    "mirrorclamptoedge"},
                                   4);
        // Words and punctuation of the parameter language mean nothing here.
        QTest::newRow("texture") << "texture" << 1;
        QTest::newRow("float") << "float" << 1;
        QTest::newRow("number") << "2.5" << 2;
        QTest::newRow("string") << "\"x\"" << 3;
        QTest::newRow("(") << "(" << 22;
        QTest::newRow(",") << "," << 22;
        QTest::newRow(")") << ")" << 22;
        QTest::newRow("-") << "-" << 22;
    }
    void tokenKinds()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QCOMPARE(MTestLanguage::onlyTokenKind<options::Scanner>(text), kind);
    }

    void scanning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("option") << "Min Filter=NEAREST;" << "5:Min@1:1 6:Filter@1:5 7:=@1:11 11:NEAREST@1:12 4:;@1:19 0:@1:20";
        QTest::newRow("comments and lines")
            << "// a\r\nwraps /* b /* c */ */\r= repeat" << "9:wraps@2:1 7:=@3:1 17:repeat@3:3 0:@3:9";
        QTest::newRow("byte-order mark") << QStringLiteral("\uFEFFmag") << "8:mag@1:1 0:@1:4";
    }
    void scanning()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MTestLanguage::tokens<options::Scanner>(text), expected);
    }

    void compilation_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QList<int>>("indices");
        QTest::addColumn<QStringList>("errors");
        const QList<int> defaults{5, 1, 2, 2};

        QTest::newRow("empty") << "" << defaults << QStringList();
        QTest::newRow("only blanks and comments") << " \n// x\n/* y */\t" << defaults << QStringList();
        QTest::newRow("both filters nearest")
            << "min filter = nearest; mag filter = nearest;" << QList<int>{0, 0, 2, 2} << QStringList();
        QTest::newRow("keywords in capitals") << "MIN FILTER = LINEAR;" << QList<int>{1, 1, 2, 2} << QStringList();
        QTest::newRow("mirror clamp to edge") << "wraps = mirrorclamptoedge;" << QList<int>{5, 1, 4, 2}
                                              << QStringList();
        QTest::newRow("every wrap keyword")
            << "wraps = repeat; wrapt = mirroredrepeat;" << QList<int>{5, 1, 0, 1} << QStringList();
        QTest::newRow("later option wins")
            << "wrapt = clamptoborder; mag filter = nearestmipmapnearest; wrapt = clamptoedge;"
               "mag filter = nearestmipmaplinear; min filter = linearmipmapnearest;"
            << QList<int>{4, 3, 2, 2} << QStringList();
        QTest::newRow("byte-order mark and nested comment")
            << QStringLiteral("\uFEFF// note\nmin /* a /* b */ */ filter = nearest;") << QList<int>{0, 1, 2, 2}
            << QStringList();

        QTest::newRow("no semicolon at the end")
            << "min filter = linear" << QList<int>{1, 1, 2, 2} << QStringList{"-- line 1 col 20: \";\" expected"};
        QTest::newRow("not a filter, and nothing after it")
            << "min filter = repeat;" << defaults << QStringList{"-- line 1 col 14: invalid Filter"};
        QTest::newRow("missing filter") << "mag filter = ;" << defaults
                                        << QStringList{"-- line 1 col 14: invalid Filter"};
        QTest::newRow("not a wrap mode keeps the previous index")
            << "wrapt = repeat; wrapt = linear;" << QList<int>{5, 1, 2, 0}
            << QStringList{"-- line 1 col 25: invalid WrapMode"};
        QTest::newRow("number at the start") << "1 min filter = nearest;" << defaults
                                             << QStringList{"-- line 1 col 1: EOF expected"};
        QTest::newRow("name at the start of a later option")
            << "wraps = repeat;\n  linear;" << QList<int>{5, 1, 0, 2} << QStringList{"-- line 2 col 3: EOF expected"};
        QTest::newRow("string") << "'min';" << defaults << QStringList{"-- line 1 col 1: EOF expected"};
        QTest::newRow("comma is no separator")
            << "min filter = nearest, mag filter = nearest;" << QList<int>{0, 1, 2, 2}
            << QStringList{"-- line 1 col 21: \";\" expected"};
        QTest::newRow("parenthesis") << "(" << defaults << QStringList{"-- line 1 col 1: EOF expected"};
        QTest::newRow("min without filter") << "min = nearest;" << QList<int>{0, 1, 2, 2}
                                            << QStringList{"-- line 1 col 5: \"filter\" expected"};
        QTest::newRow("wrap without equals") << "wraps repeat;" << QList<int>{5, 1, 0, 2}
                                             << QStringList{"-- line 1 col 7: \"=\" expected"};
        QTest::newRow("two errors far apart")
            << "wraps = ;\nmag filter = linear;\nmin filter = ;" << QList<int>{5, 1, 2, 2}
            << QStringList{"-- line 1 col 9: invalid WrapMode", "-- line 3 col 14: invalid Filter"};
        QTest::newRow("illegal byte-order mark")
            << QStringLiteral("\uFFFDmin filter = nearest;") << defaults
            << QStringList{"Illegal byte order mark at start of file"};
        QTest::newRow("token too long")
            << "min filter = " + QString(32768, QLatin1Char('n')) + ";" << defaults
            << QStringList{"--- Too long token value"};
    }
    void compilation()
    {
        QFETCH(QString, source);
        QFETCH(QList<int>, indices);
        QFETCH(QStringList, errors);
        const Compiled compiled = compile(source);
        QCOMPARE(compiled.errors, errors);
        QCOMPARE(compiled.indices, indices);
    }
};

QTEST_APPLESS_MAIN(TestOptionsLanguage)
#include "tst_optionslanguage.moc"
