#include "mfield.h"
#include "mparamslanguage.h"
#include "mpicklist.h"
#include "mtestlanguage.h"
#include "mtexture.h"

#include <QColor>
#include <QTest>

namespace {

QString valueText(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::QColor: {
        const QColor color = value.value<QColor>();
        return color.isValid() ? color.name(QColor::HexArgb) : QStringLiteral("invalid");
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return QString::number(value.toDouble(), 'g', 9);
    }
}

// name, field type, value type:value, label, range, step and choices.
QString describe(const MField *field)
{
    QString text = QStringLiteral("%1 %2 %3:%4 '%5' %6..%7 step %8")
                       .arg(QString::fromUtf8(field->name()), QString::fromLatin1(QMetaType::typeName(field->type())),
                            QString::fromLatin1(field->value().typeName()), valueText(field->value()), field->label())
                       .arg(field->minimum())
                       .arg(field->maximum())
                       .arg(field->singleStep());
    if (!field->enumName().isEmpty()) {
        text += QStringLiteral(" %1{").arg(QString::fromLatin1(field->enumName()));
        for (int i = 0; i < field->pickList()->count(); ++i)
            text += QStringLiteral("%1%2=%3").arg(i ? QStringLiteral(", ") : QString(), field->pickList()->item(i).text(),
                                                    field->pickList()->item(i).value().toString());
        text += QLatin1Char('}');
    }
    return text;
}

// name, file, then the min, mag, s and t indices.
QString describe(const MTexture *texture)
{
    return QStringLiteral("%1 '%2' %3 %4 %5 %6")
        .arg(QString::fromUtf8(texture->name()), texture->fileName())
        .arg(texture->minFilter())
        .arg(texture->magFilter())
        .arg(texture->wrapS())
        .arg(texture->wrapT());
}

struct Compiled
{
    QStringList params;
    QStringList textures;
    QStringList errors;
};

Compiled compile(const QString &source)
{
    params::Scanner scanner(source);
    params::Parser parser(&scanner);
    parser.parse();
    Compiled result;
    for (const MField *field : parser.params())
        result.params << describe(field);
    for (const MTexture *texture : parser.textures())
        result.textures << describe(texture);
    result.errors = parser.errors().lines();
    Q_ASSERT(parser.textureCount() == parser.textures().size());
    return result;
}

QString repeated(const char *text, int count)
{
    return QString::fromLatin1(text).repeated(count);
}

} // namespace

class TestParamsLanguage : public QObject
{
    Q_OBJECT

private slots:
    void tokenKinds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        MTestLanguage::addKindRows({";", "texture", "min", "filter", "=", "mag", "wraps", "wrapt", "nearest", "linear",
                                    "nearestmipmapnearest", "nearestmipmaplinear", "linearmipmapnearest",
                                    "linearmipmaplinear", "repeat", "mirroredrepeat", "clamptoedge", "clamptoborder",
                                    "mirrorclamptoedge", "int", "bool", "float", "color", "enum", "true", "false", "rgb",
                                    "(", ",", ")", "max", "increment", "values"},
                                   4);
        QTest::newRow("identifier") << "radius" << 1;
        QTest::newRow("number") << "-12.5" << 2;
        QTest::newRow("string") << "'label'" << 3;
        QTest::newRow("invalid") << "@" << 37;
    }
    void tokenKinds()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QCOMPARE(MTestLanguage::onlyTokenKind<params::Scanner>(text), kind);
    }

    void scanning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "0:@1:2";
        QTest::newRow("case kept, keywords found in any case")
            << "FLOAT Radius floats" << "25:FLOAT@1:1 1:Radius@1:7 1:floats@1:14 0:@1:20";
        QTest::newRow("identifiers") << "_a1 b_2C" << "1:_a1@1:1 1:b_2C@1:5 0:@1:9";
        QTest::newRow("numbers") << "0 +4.25 -3.9 12" << "2:0@1:1 2:+4.25@1:3 2:-3.9@1:9 2:12@1:14 0:@1:16";
        QTest::newRow("sign without digit") << "- 3 +x"
                                            << "37:-@1:1 2:3@1:3 37:+@1:5 1:x@1:6 0:@1:7";
        QTest::newRow("point without digit before") << ".5" << "37:.@1:1 2:5@1:2 0:@1:3";
        QTest::newRow("point without digit after") << "1.;" << "37:1.@1:1 4:;@1:3 0:@1:4";
        QTest::newRow("no exponent") << "1e5" << "2:1@1:1 1:e5@1:2 0:@1:4";
        QTest::newRow("both quotes") << "'a \"b\"' \"c 'd'\""
                                     << "3:'a \"b\"'@1:1 3:\"c 'd'\"@1:9 0:@1:16";
        QTest::newRow("string ended by a line feed") << "'abc\nx" << "37:'abc@1:1 1:x@2:1 0:@2:2";
        QTest::newRow("string ended by the text") << "\"abc" << "37:\"abc@1:1 0:@1:5";
        QTest::newRow("other characters") << "@{é" << "37:@@1:1 37:{@1:2 37:é@1:3 0:@1:4";
        QTest::newRow("line comment") << "a // b ; c\nd" << "1:a@1:1 1:d@2:1 0:@2:2";
        QTest::newRow("line comment at the end") << "a //" << "1:a@1:1 0:@1:5";
        QTest::newRow("nested block comment") << "a /* x /* y */ z */ b" << "1:a@1:1 1:b@1:21 0:@1:22";
        QTest::newRow("block comment over lines") << "a /* x\n */b" << "1:a@1:1 1:b@2:4 0:@2:5";
        QTest::newRow("block comment not closed") << "a /* x /* y */ ;" << "1:a@1:1 0:@1:17";
        QTest::newRow("lone slash") << "a / b" << "1:a@1:1 37:/@1:3 1:b@1:5 0:@1:6";
        QTest::newRow("tab") << "\ta" << "1:a@1:2 0:@1:3";
        QTest::newRow("carriage return alone") << "a\rb\r\rc" << "1:a@1:1 1:b@2:1 1:c@4:1 0:@4:2";
        QTest::newRow("carriage return, line feed") << "a\r\nb\n\nc" << "1:a@1:1 1:b@2:1 1:c@4:1 0:@4:2";
        QTest::newRow("text outside Latin-1 counts characters")
            << "'Größe ✓ 日本' x" << "3:'Größe ✓ 日本'@1:1 1:x@1:14 0:@1:15";
        QTest::newRow("character outside the basic plane")
            << QString::fromUtf8("'\xF0\x9F\x98\x80' x") << QString::fromUtf8("3:'\xF0\x9F\x98\x80'@1:1 1:x@1:5 0:@1:6");
        QTest::newRow("byte-order mark") << QStringLiteral("\uFEFFint") << "23:int@1:1 0:@1:4";
        QTest::newRow("byte-order mark later") << QStringLiteral("a \uFEFF") << QStringLiteral("1:a@1:1 37:\uFEFF@1:3 0:@1:4");
    }
    void scanning()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MTestLanguage::tokens<params::Scanner>(text), expected);
    }

    void declarations_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QStringList>("textures");

        QTest::newRow("empty") << "" << QStringList() << QStringList();
        QTest::newRow("only comments") << "// nothing\n/* at /* all */ */" << QStringList() << QStringList();
        QTest::newRow("defaults") << "float x;" << QStringList{"x double double:0 '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("float with label, range and step")
            << "float radius = 10 'Radius' min = 0 max = 100 increment = 0.5;"
            << QStringList{"radius double float:10 'Radius' 0..100 step 0.5"} << QStringList();
        QTest::newRow("int truncated") << "int count = 3.9;" << QStringList{"count int int:3 '' 0..1 step 0.1"}
                                       << QStringList();
        QTest::newRow("negative int truncated toward zero")
            << "int count = -3.9;" << QStringList{"count int int:-3 '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("signed float") << "float f = +0.25;" << QStringList{"f double float:0.25 '' 0..1 step 0.1"}
                                      << QStringList();
        QTest::newRow("bool") << "bool b = true; bool c = false;"
                              << QStringList{"b bool bool:true '' 0..1 step 0.1", "c bool bool:false '' 0..1 step 0.1"}
                              << QStringList();
        QTest::newRow("bool value whatever the type")
            << "float f = true;" << QStringList{"f double bool:true '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("number into a bool is a float")
            << "bool b = 1;" << QStringList{"b bool float:1 '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("opaque colour") << "color tint = rgb(255, 128, 0);"
                                       << QStringList{"tint QColor QColor:#ffff8000 '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("colour with alpha") << "color tint = rgb(1, 2, 3, 4.7);"
                                           << QStringList{"tint QColor QColor:#04010203 '' 0..1 step 0.1"}
                                           << QStringList();
        QTest::newRow("colour out of range is invalid, not an error")
            << "color tint = rgb(256, 0, 0);" << QStringList{"tint QColor QColor:invalid '' 0..1 step 0.1"}
            << QStringList();
        QTest::newRow("enumeration")
            << "enum mode = 1 enum values = 0 'First' 1 'Second';"
            << QStringList{"mode int int:1 '' 0..1 step 0.1 enum{First=0, Second=1}"} << QStringList();
        QTest::newRow("choices accumulate, truncated")
            << "enum m enum values = 0 'a' enum values = 2.8 \"b\" -1.5 'c';"
            << QStringList{"m int double:0 '' 0..1 step 0.1 enum{a=0, b=2, c=-1}"} << QStringList();
        QTest::newRow("keywords in capitals, names keep their case")
            << "FLOAT X; Float x = 1 MIN = 0 MAX = 2 INCREMENT = 1;"
            << QStringList{"X double double:0 '' 0..1 step 0.1", "x double float:1 '' 0..2 step 1"} << QStringList();
        QTest::newRow("quotes of both kinds are labels")
            << "float a 'One'; float b \"Two\";"
            << QStringList{"a double double:0 'One' 0..1 step 0.1", "b double double:0 'Two' 0..1 step 0.1"}
            << QStringList();
        QTest::newRow("later infos replace earlier ones")
            << "float a 'One' min = 1 max = 3 increment = 1 'Two' min = 2 max = 4 increment = 2;"
            << QStringList{"a double double:0 'Two' 2..4 step 2"} << QStringList();
        QTest::newRow("minimum above the default maximum")
            << "float a min = 5 max = 100; float b max = -5 min = -10;"
            << QStringList{"a double double:0 '' 5..100 step 0.1", "b double double:0 '' -10..-5 step 0.1"}
            << QStringList();
        QTest::newRow("bounds the wrong way round") << "float a min = 10 max = 5;"
                                                    << QStringList{"a double double:0 '' 5..10 step 0.1"}
                                                    << QStringList();
        QTest::newRow("label outside Latin-1") << "float a 'Größe ✓ 日本';"
                                               << QStringList{"a double double:0 'Größe ✓ 日本' 0..1 step 0.1"}
                                               << QStringList();
        QTest::newRow("comments between tokens")
            << "float /* a */ x // b\n = /* c /* d */ */ 2 ; // e"
            << QStringList{"x double float:2 '' 0..1 step 0.1"} << QStringList();
        QTest::newRow("byte-order mark") << QStringLiteral("\uFEFFint i = 2;")
                                         << QStringList{"i int int:2 '' 0..1 step 0.1"} << QStringList();

        QTest::newRow("texture with defaults") << "texture grain \"$ImagesPath$/grain.png\";" << QStringList()
                                               << QStringList{"grain '$ImagesPath$/grain.png' 5 1 2 2"};
        QTest::newRow("texture options in any order, later wins")
            << "texture t 'a.png' wrapt = mirrorclamptoedge min filter = nearest MAG FILTER = NEAREST "
               "wraps = repeat min filter = linearmipmapnearest;"
            << QStringList() << QStringList{"t 'a.png' 4 0 0 4"};
        QTest::newRow("every filter and wrap mode")
            << "texture a 'a' min filter = nearest mag filter = linear wraps = repeat wrapt = mirroredrepeat;"
               "texture b 'b' min filter = nearestmipmapnearest mag filter = nearestmipmaplinear "
               "wraps = clamptoedge wrapt = clamptoborder;"
               "texture c 'c' min filter = linearmipmaplinear mag filter = linearmipmapnearest;"
            << QStringList() << QStringList{"a 'a' 0 1 0 1", "b 'b' 2 3 2 3", "c 'c' 5 4 2 2"};
        QTest::newRow("four textures") << "texture a 'a'; texture b 'b'; texture c 'c'; texture d 'd';" << QStringList()
                                       << QStringList{"a 'a' 5 1 2 2", "b 'b' 5 1 2 2", "c 'c' 5 1 2 2", "d 'd' 5 1 2 2"};
        QTest::newRow("file name outside Latin-1")
            << "texture photo '$ImagesPath$/фото ✓.png';" << QStringList()
            << QStringList{"photo '$ImagesPath$/фото ✓.png' 5 1 2 2"};
        QTest::newRow("min as a bound and as a texture option")
            << "float m min = 1; texture t 'f' min filter = linear;"
            << QStringList{"m double double:0 '' 1..1 step 0.1"} << QStringList{"t 'f' 1 1 2 2"};
        QTest::newRow("longest token") << "float " + repeated("a", 32767) + ";"
                                       << QStringList{repeated("a", 32767) + " double double:0 '' 0..1 step 0.1"}
                                       << QStringList();
    }
    void declarations()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, params);
        QFETCH(QStringList, textures);
        const Compiled compiled = compile(source);
        QCOMPARE(compiled.errors, QStringList());
        QCOMPARE(compiled.params, params);
        QCOMPARE(compiled.textures, textures);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("errors");

        QTest::newRow("missing semicolon before the next declaration")
            << "float a = 1\nfloat b = 2;" << QStringList{"-- line 2 col 1: \";\" expected"};
        QTest::newRow("missing semicolon at the end") << "float a" << QStringList{"-- line 1 col 8: \";\" expected"};
        QTest::newRow("missing value") << "float x = ;" << QStringList{"-- line 1 col 11: invalid Expression"};
        QTest::newRow("point first") << "float x = .5;" << QStringList{"-- line 1 col 11: invalid Expression"};
        QTest::newRow("point last") << "float x = 1.;" << QStringList{"-- line 1 col 11: invalid Expression"};
        QTest::newRow("name as value") << "float x = y;" << QStringList{"-- line 1 col 11: invalid Expression"};
        QTest::newRow("missing name") << "float = 1;" << QStringList{"-- line 1 col 7: ident expected"};
        QTest::newRow("keyword as name") << "float min;" << QStringList{"-- line 1 col 7: ident expected"};
        QTest::newRow("bound without equals") << "float x min 1;" << QStringList{"-- line 1 col 13: \"=\" expected"};
        QTest::newRow("bound without number") << "float x max = 'a';"
                                              << QStringList{"-- line 1 col 15: number expected"};
        QTest::newRow("colour without parenthesis")
            << "color c = rgb 1, 2, 3);" << QStringList{"-- line 1 col 15: \"(\" expected"};
        QTest::newRow("colour without comma") << "color c = rgb(1 2, 3);"
                                              << QStringList{"-- line 1 col 17: \",\" expected"};
        QTest::newRow("colour not closed") << "color c = rgb(1, 2, 3;"
                                           << QStringList{"-- line 1 col 22: \")\" expected"};
        QTest::newRow("enumeration without values")
            << "enum e enum 0 'a';" << QStringList{"-- line 1 col 13: \"values\" expected"};
        QTest::newRow("enumeration without a choice")
            << "enum e enum values = 'a';" << QStringList{"-- line 1 col 22: number expected"};
        QTest::newRow("choice without text")
            << "enum e enum values = 0 1;" << QStringList{"-- line 1 col 24: string expected"};
        QTest::newRow("texture without file") << "texture t;" << QStringList{"-- line 1 col 10: string expected"};
        QTest::newRow("texture without name") << "texture 'f';" << QStringList{"-- line 1 col 9: ident expected"};
        QTest::newRow("texture option without filter")
            << "texture t 'f' min = linear;" << QStringList{"-- line 1 col 19: \"filter\" expected"};
        QTest::newRow("not a filter") << "texture t 'f' mag filter = repeat;"
                                      << QStringList{"-- line 1 col 28: invalid Filter"};
        QTest::newRow("not a wrap mode") << "texture t 'f' wraps = linear;"
                                         << QStringList{"-- line 1 col 23: invalid WrapMode"};
        QTest::newRow("statement that starts no declaration")
            << "x = 1;" << QStringList{"-- line 1 col 1: EOF expected"};
        QTest::newRow("text after the declarations")
            << "float x; }" << QStringList{"-- line 1 col 10: EOF expected"};
        QTest::newRow("errors within two tokens are dropped")
            << "float x = = 1;" << QStringList{"-- line 1 col 11: invalid Expression"};
        QTest::newRow("errors two tokens apart are both reported")
            << "float x = ; float y = ;"
            << QStringList{"-- line 1 col 11: invalid Expression", "-- line 1 col 23: invalid Expression"};
        QTest::newRow("position on a later line")
            << "float a;\r\n  // note\r\n\tfloat b = ;"
            << QStringList{"-- line 3 col 12: invalid Expression"};
        QTest::newRow("columns count characters")
            << "float x 'ü' min = ;" << QStringList{"-- line 1 col 19: number expected"};
        QTest::newRow("fifth texture")
            << "texture a 'a'; texture b 'b'; texture c 'c'; texture d 'd';\n"
               "texture e 'e' min filter = nearest wraps = repeat;"
            << QStringList{"-- line 2 col 11: You can use 4 user textures max."};
        QTest::newRow("sixth texture too")
            << "texture a 'a'; texture b 'b'; texture c 'c'; texture d 'd'; texture e 'e'; texture f 'f';"
            << QStringList{"-- line 1 col 71: You can use 4 user textures max.",
                           "-- line 1 col 86: You can use 4 user textures max."};
        QTest::newRow("number too large for a double")
            << "float x = 1" + repeated("0", 400) + ";"
            << QStringList{"-- line 1 col 412: Invalid number"};
        QTest::newRow("number too large for a float")
            << "float x = 1" + repeated("0", 40) + ";" << QStringList{"-- line 1 col 52: Invalid number"};
        QTest::newRow("number too large for an int")
            << "int n = 3000000000 'n';" << QStringList{"-- line 1 col 20: Invalid number"};
        QTest::newRow("bound too large") << "float x min = 1" + repeated("0", 400) + ";"
                                         << QStringList{"-- line 1 col 416: Invalid number"};
        QTest::newRow("choice too large") << "enum e enum values = 3000000000 'a';"
                                          << QStringList{"-- line 1 col 33: Invalid number"};
        QTest::newRow("colour component too large, then a comma missing")
            << "color c = rgb(3000000000 );"
            << QStringList{"-- line 1 col 26: Invalid number", "-- line 1 col 26: \",\" expected"};
        QTest::newRow("invalid number does not hide a syntax error")
            << "int n = 3000000000 x;"
            << QStringList{"-- line 1 col 20: Invalid number", "-- line 1 col 20: \";\" expected"};
        QTest::newRow("illegal byte-order mark")
            << QStringLiteral("\uF000float x;") << QStringList{"Illegal byte order mark at start of file"};
        QTest::newRow("Latin-1 reading of a mark is an ordinary character")
            << QStringLiteral("\u00EFfloat x;") << QStringList{"-- line 1 col 1: EOF expected"};
        QTest::newRow("token too long")
            << "float " + repeated("a", 32768) + " = ;" << QStringList{"--- Too long token value"};
        QTest::newRow("string too long")
            << "float a '" + repeated("b", 32767) + "';" << QStringList{"--- Too long token value"};
        QTest::newRow("error then token too long")
            << "float = 1; float " + repeated("a", 40000) + ";"
            << QStringList{"-- line 1 col 7: ident expected", "--- Too long token value"};
    }
    void errors()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, errors);
        QCOMPARE(compile(source).errors, errors);
    }

    void textureLimitDropsTheFifth()
    {
        params::Scanner scanner(QStringLiteral(
            "texture a 'a'; texture b 'b'; texture c 'c'; texture d 'd'; texture e 'e' min filter = nearest;"));
        params::Parser parser(&scanner);
        parser.parse();
        QCOMPARE(parser.errors().count(), 1);
        QCOMPARE(parser.textureCount(), 4);
        for (const MTexture *texture : parser.textures())
            QCOMPARE(texture->minFilter(), 5);
    }

    void resultsAreTakenOver()
    {
        params::Scanner scanner(QStringLiteral("float a; texture t 'f'; int b;"));
        auto *parser = new params::Parser(&scanner);
        parser->parse();
        const QList<MField *> fields = parser->takeParams();
        const QList<MTexture *> textures = parser->takeTextures();
        QVERIFY(parser->params().isEmpty());
        QVERIFY(parser->textures().isEmpty());
        delete parser;
        // Still alive: the parser no longer owns them.
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(1)->name(), QByteArray("b"));
        QCOMPARE(textures.size(), 1);
        QCOMPARE(textures.at(0)->name(), QByteArray("t"));
        QVERIFY(!textures.at(0)->parent());
        qDeleteAll(fields);
        qDeleteAll(textures);
    }
};

QTEST_APPLESS_MAIN(TestParamsLanguage)
#include "tst_paramslanguage.moc"
