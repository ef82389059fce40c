#include "mfield.h"
#include "moptionslanguage.h"
#include "mparamslanguage.h"
#include "mtexture.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// Both compilers over a few thousand mutants of valid sources: each must end,
// with error lines of the documented form and messages only, and a clean
// result whenever it reports none.
namespace {

const QStringList corpus = {
    QStringLiteral("float radius = 10 'Radius' min = 0 max = 100 increment = 0.5;\n"
                   "int count = -3.9 \"Count\";\n"
                   "color tint = rgb(255, 128, 0, 200);\n"
                   "enum mode = 1 'Mode' enum values = 0 'First' 1 'Second';\n"
                   "bool on = true;\n"),
    QStringLiteral("texture grain '$ImagesPath$/grain.png' min filter = nearest mag filter = linear\n"
                   "    wraps = repeat wrapt = mirrorclamptoedge;\n"
                   "/* nested /* comment */ */ texture paper \"фото ✓.png\"; // line comment\r\n"
                   "texture a 'a'; texture b 'b'; texture c 'c';"),
    QStringLiteral("min filter = linearmipmaplinear;\r\nmag filter = nearest;\rwraps = clamptoborder;\nwrapt = repeat;"),
    QStringLiteral("\uFEFFMIN FILTER = NEAREST; WRAPS = MIRROREDREPEAT; // trailing"),
    QStringLiteral("FLOAT X = +1.25 MAX = 2; Float x = false;"),
};

const QStringList pieces = {
    "float", "int", "bool", "color", "enum", "texture", "min", "max", "mag", "filter", "wraps", "wrapt",
    "increment", "values", "true", "false", "rgb", "nearest", "linearmipmaplinear", "mirrorclamptoedge", "repeat",
    ";", "=", "(", ",", ")", "'", "\"", "/", "/*", "*/", "//", "+", "-", ".", "0", "42", "3.5", "-7", "\r", "\n",
    "\r\n", "\t", " ", "x", "_y1", "é", "日本", "\U0001F600", "\uFEFF", "\u00EF\u00BB\u00BF", "@", "{", "\\",
};

// Changes that keep a valid source valid most of the time: blanks and
// comments beside blanks, letters in capitals, other digits.
QString touch(QString text, QRandomGenerator &random)
{
    static const QStringList blanks = {" ", "\t", "\n", "\r\n", "\r", "/* c /* d */ */", "// e\n"};
    for (int step = 1 + random.bounded(6); step > 0; --step) {
        const int at = random.bounded(text.size());
        if (text.at(at).isDigit())
            text[at] = QChar('0' + random.bounded(10));
        else if (text.at(at) == QLatin1Char(' '))
            text.insert(at, blanks.at(random.bounded(blanks.size())));
        else
            text[at] = text.at(at).toUpper();
    }
    return text;
}

QString mutate(QString text, QRandomGenerator &random)
{
    if (random.bounded(3) == 0)
        return touch(text, random);
    const int steps = 1 + random.bounded(4);
    for (int step = 0; step < steps; ++step) {
        const int at = random.bounded(text.size() + 1);
        const int length = random.bounded(qMin(12, text.size() - at) + 1);
        switch (random.bounded(7)) {
        case 0:
            text.insert(at, pieces.at(random.bounded(pieces.size())));
            break;
        case 1:
            text.remove(at, length);
            break;
        case 2:
            text.insert(at, text.mid(at, length));
            break;
        case 3: // any UTF-16 unit, lone surrogates included
            text.insert(at, QChar(ushort(random.bounded(0x10000))));
            break;
        case 4: {
            const QString other = corpus.at(random.bounded(corpus.size()));
            const int from = random.bounded(other.size());
            text.insert(at, other.mid(from, random.bounded(40)));
            break;
        }
        case 5: { // raw bytes, as a broken file would give them
            QByteArray bytes;
            for (int n = 1 + random.bounded(8); n > 0; --n)
                bytes.append(char(random.bounded(256)));
            text.insert(at, QString::fromUtf8(bytes));
            break;
        }
        default:
            if (random.bounded(40) == 0)
                text.insert(at, QString(32760 + random.bounded(16), QLatin1Char("a1'\"/"[random.bounded(5)])));
            else
                text.insert(at, pieces.at(random.bounded(pieces.size())).repeated(1 + random.bounded(5)));
            break;
        }
    }
    return text;
}

// Every error line has one of the forms and messages the language documents,
// at a position inside the text.
QString checkErrors(const QStringList &lines, const QSet<QString> &messages, const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^-- line (\\d+) col (\\d+): (.*)$"));
    // Counted by hand: a regular expression matches nothing in text with a lone surrogate.
    int lineCount = 1;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\n') || (text.at(i) == QLatin1Char('\r') && text.mid(i + 1, 1) != QLatin1String("\n")))
            ++lineCount;
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line == QLatin1String("Illegal byte order mark at start of file")
            || line == QLatin1String("--- Too long token value")) {
            if (i != lines.size() - 1)
                return QStringLiteral("error after the fatal one: ") + lines.at(i + 1);
            continue;
        }
        const QRegularExpressionMatch match = form.match(line);
        if (!match.hasMatch())
            return QStringLiteral("malformed error line: ") + line;
        if (!messages.contains(match.captured(3)))
            return QStringLiteral("unexpected message: ") + line;
        const int row = match.captured(1).toInt();
        const int col = match.captured(2).toInt();
        if (row < 1 || row > lineCount || col < 1 || col > text.size() + 2)
            return QStringLiteral("position outside the text (%1 lines, %2 characters): ").arg(lineCount).arg(text.size()) + line;
    }
    return QString();
}

template<class Scanner>
bool scannerAdvances(const QString &text)
{
    Scanner scanner(text);
    for (int i = 0; i <= text.size() + 1; ++i) {
        if (scanner.scan().kind == 0)
            return true;
    }
    return false;
}

} // namespace

class TestLanguageFuzz : public QObject
{
    Q_OBJECT

private slots:
    void mutants()
    {
        const QSet<QString> paramsMessages = {"EOF expected",
                                              "ident expected",
                                              "number expected",
                                              "string expected",
                                              "\";\" expected",
                                              "\"filter\" expected",
                                              "\"=\" expected",
                                              "\"(\" expected",
                                              "\",\" expected",
                                              "\")\" expected",
                                              "\"values\" expected",
                                              "invalid Expression",
                                              "invalid Filter",
                                              "invalid WrapMode",
                                              "You can use 4 user textures max.",
                                              "Invalid number"};
        const QSet<QString> optionsMessages = {"EOF expected",     "\";\" expected", "\"filter\" expected",
                                               "\"=\" expected",   "invalid Filter", "invalid WrapMode"};
        QRandomGenerator random(20240611);
        int failedParams = 0;
        int failedOptions = 0;
        for (int i = 0; i < 5000; ++i) {
            const QString text = mutate(corpus.at(i % corpus.size()), random);
            const QString shown = QStringLiteral("mutant %1: %2").arg(i).arg(text.left(200));
            QVERIFY2(scannerAdvances<params::Scanner>(text), qPrintable(shown));
            QVERIFY2(scannerAdvances<options::Scanner>(text), qPrintable(shown));

            params::Scanner paramsScanner(text);
            params::Parser paramsParser(&paramsScanner);
            paramsParser.parse();
            const QStringList paramsErrors = paramsParser.errors().lines();
            QString problem = checkErrors(paramsErrors, paramsMessages, text);
            QVERIFY2(problem.isEmpty(), qPrintable(problem + QLatin1Char('\n') + shown));
            QVERIFY(paramsParser.textures().size() <= params::Parser::maxTextures);
            if (paramsErrors.isEmpty()) {
                for (const MField *field : paramsParser.params()) {
                    QVERIFY2(!field->name().isEmpty(), qPrintable(shown));
                    QVERIFY(QSet<int>({QMetaType::Int, QMetaType::Bool, QMetaType::Double, QMetaType::QColor})
                                .contains(field->type()));
                    QVERIFY(field->minimum() <= field->maximum());
                }
                for (const MTexture *texture : paramsParser.textures())
                    QVERIFY2(!texture->name().isEmpty(), qPrintable(shown));
            } else {
                ++failedParams;
            }

            options::Scanner optionsScanner(text);
            options::Parser optionsParser(&optionsScanner);
            optionsParser.parse();
            problem = checkErrors(optionsParser.errors().lines(), optionsMessages, text);
            QVERIFY2(problem.isEmpty(), qPrintable(problem + QLatin1Char('\n') + shown));
            QVERIFY(optionsParser.minFilter() >= 0 && optionsParser.minFilter() < 6);
            QVERIFY(optionsParser.magFilter() >= 0 && optionsParser.magFilter() < 6);
            QVERIFY(optionsParser.wrapS() >= 0 && optionsParser.wrapS() < 5);
            QVERIFY(optionsParser.wrapT() >= 0 && optionsParser.wrapT() < 5);
            if (optionsParser.errors().count() > 0)
                ++failedOptions;
        }
        qInfo("failed compilations: %d of parameters, %d of options", failedParams, failedOptions);
        // The mutants reach both sides of both compilers.
        QVERIFY(failedParams > 500 && failedParams < 4500);
        QVERIFY(failedOptions > 500 && failedOptions < 4500);
    }
};

QTEST_APPLESS_MAIN(TestLanguageFuzz)
#include "tst_languagefuzz.moc"
