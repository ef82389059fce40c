#include "mshader.h"
#include "mshaderstream.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestpng.h"
#include "mutility.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {
const QString kId = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");

QJsonObject readJson(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

// The shader's stored state, to tell whether a read changed it.
QString state(const MShader &shader)
{
    return QStringList{shader.id(), shader.group(), shader.description(), shader.source(), QString::number(shader.type()),
                       QString::number(shader.preview().cacheKey())}
        .join(QLatin1Char('|'));
}
} // namespace

class TestMShaderStream : public QObject
{
    Q_OBJECT

private slots:
    void writeThenRead_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("type");
        QTest::newRow("new source") << "@main" << 0;
        QTest::newRow("brush engine") << "@main\nf_color = v_color;\n" << 1;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("non-ASCII text")
            << QStringLiteral("@params\nfloat r = 1 'Größe ½ — 半径 🖌';\n@main\n// crème brûlée, Ωμέγα\n") << 0;
        QTest::newRow("CRLF line ends") << "@params\r\nfloat x;\r\n@main\r\n\tf_color = v_color;\r\n\r\n" << 1;
        QTest::newRow("lone carriage returns and blanks") << "  @main \r\r  x;  \n\n\n" << 0;
        QTest::newRow("control characters and NUL") << QString(QString::fromUtf8("@main\n\x01\x7f", 8) + QChar(0) + QStringLiteral("end")) << 0;
    }

    void writeThenRead()
    {
        QFETCH(QString, source);
        QFETCH(int, type);
        MTestFolder folder;
        MShader written;
        written.set_id(kId);
        written.set_group(QStringLiteral("color"));
        written.set_description(QStringLiteral("tint"));
        written.set_source(source);
        written.set_type(type);
        QImage preview(16, 16, QImage::Format_ARGB32);
        preview.fill(QColor(10, 200, 30, 255));
        preview.setPixel(3, 4, qRgba(1, 2, 3, 255));
        written.set_preview(preview);
        const QString path = folder.filePath(QStringLiteral("shader.kxs"));
        QVERIFY(MShaderStream(&written).saveToJsonFile(path));

        MShader read;
        QVERIFY(MShaderStream(&read).loadFromJsonFile(path));
        QCOMPARE(read.source(), source);
        QCOMPARE(read.source().toUtf8(), source.toUtf8());
        QCOMPARE(read.id(), kId);
        QCOMPARE(read.group(), QStringLiteral("color"));
        QCOMPARE(read.description(), QStringLiteral("tint"));
        QCOMPARE(read.type(), type);
        QCOMPARE(read.preview().convertToFormat(QImage::Format_ARGB32), preview);
        // Parameters come from the source alone.
        QCOMPARE(read.buildFragmentSource(nullptr), written.buildFragmentSource(nullptr));
    }

    void writtenFile()
    {
        MTestFolder folder;
        MShader shader;
        shader.set_id(QStringLiteral(" ") + kId.toLower() + QStringLiteral(" "));
        shader.set_group(QStringLiteral("  Color "));
        shader.set_description(QStringLiteral(" My Tint\t"));
        shader.set_source(QStringLiteral("@main\né"));
        const QString path = folder.filePath(QStringLiteral("shader.kxs"));
        QVERIFY(MShaderStream(&shader).saveToJsonFile(path));
        const QByteArray bytes = folder.readFile(QStringLiteral("shader.kxs"));
        // Indented, keys in order.
        QVERIFY(bytes.startsWith("{\n    \"description\": \"My Tint\",\n    \"group\": \"Color\",\n    \"id\": \""));
        const QJsonObject json = readJson(bytes);
        QCOMPARE(json.keys(), (QStringList{"description", "group", "id", "preview", "source", "type"}));
        QCOMPARE(json.value(QStringLiteral("id")).toString(), kId);
        QCOMPARE(json.value(QStringLiteral("source")).toString(), QStringLiteral("QG1haW4Kw6k="));
        QCOMPARE(json.value(QStringLiteral("type")).toInt(-1), 0);
        // A shader without its own preview is stored with the shared one.
        QCOMPARE(MUtility::imageFromJson(json.value(QStringLiteral("preview"))).convertToFormat(QImage::Format_RGB32),
                 MShader::defaultPreview().convertToFormat(QImage::Format_RGB32));

        // Read back, library names come in lower case.
        MShader read;
        QVERIFY(read.load(path));
        QCOMPARE(read.group(), QStringLiteral("color"));
        QCOMPARE(read.description(), QStringLiteral("my tint"));
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected"); // id|group|description|source|type

        QTest::newRow("everything") << QByteArray("{\"id\":\"{6f9619ff-8b86-d011-b42d-00c04fc964ff}\",\"group\":\"Filters\","
                                                  "\"description\":\"BLUR\",\"source\":\"QG1haW4=\",\"type\":1}")
                                    << kId + "|filters|blur|@main|1";
        QTest::newRow("nothing but an object") << QByteArray("{}") << "|basics|brush shader||0";
        QTest::newRow("blank names are kept as read") << QByteArray("{\"group\":\" \",\"description\":\" A \"}")
                                                      << "| | a ||0";
        QTest::newRow("type not a whole number") << QByteArray("{\"type\":1.5}") << "|basics|brush shader||0";
        QTest::newRow("type as text") << QByteArray("{\"type\":\"1\"}") << "|basics|brush shader||0";
        QTest::newRow("type too large") << QByteArray("{\"type\":1e300}") << "|basics|brush shader||0";
        QTest::newRow("type negative") << QByteArray("{\"type\":-2}") << "|basics|brush shader||-2";
        QTest::newRow("source not Base64") << QByteArray("{\"source\":\"@@@\"}") << "|basics|brush shader||0";
        QTest::newRow("source not text") << QByteArray("{\"source\":12}") << "|basics|brush shader||0";
        QTest::newRow("other keys ignored") << QByteArray("{\"version\":3,\"params\":[1]}") << "|basics|brush shader||0";
    }

    void reading()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        MTestFolder folder;
        const QString path = folder.writeFile(QStringLiteral("x.kxs"), json);
        MShader shader;
        QImage own(2, 2, QImage::Format_ARGB32);
        own.fill(Qt::blue);
        shader.set_preview(own);
        QSignalSpy sourceSpy(&shader, &MShader::sourceChanged);
        QVERIFY(shader.load(path));
        QCOMPARE(QStringList({shader.id(), shader.group(), shader.description(), shader.source(),
                              QString::number(shader.type())})
                     .join(QLatin1Char('|')),
                 expected);
        // No usable preview in the file: the shader keeps its own.
        QCOMPARE(shader.preview(), own);
        QCOMPARE(sourceSpy.count(), shader.source() == QLatin1String("@main") ? 0 : 1);
    }

    void previewsThatAreNoPng_data()
    {
        QTest::addColumn<QByteArray>("preview");
        QTest::newRow("not Base64") << QByteArray("\"%%%\"");
        QTest::newRow("Base64 of no image") << QByteArray("\"aGVsbG8=\"");
        QTest::newRow("empty") << QByteArray("\"\"");
        QTest::newRow("a number") << QByteArray("5");
        // Past the one image limit, refused from the header before decoding.
        QTest::newRow("16384 x 16384") << "\"" + MTestPng::claiming(16384, 16384).toBase64() + "\"";
        QTest::newRow("4097 x 1") << "\"" + MTestPng::claiming(4097, 1).toBase64() + "\"";
    }

    void previewsThatAreNoPng()
    {
        QFETCH(QByteArray, preview);
        MTestFolder folder;
        const QString path = folder.writeFile(QStringLiteral("x.kxs"), "{\"preview\":" + preview + "}");
        MShader shader;
        QSignalSpy previewSpy(&shader, &MShader::previewChanged);
        QVERIFY(shader.load(path));
        QCOMPARE(previewSpy.count(), 0);
        QCOMPARE(shader.preview(), MShader::defaultPreview());
    }

    void unreadableFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing file") << QByteArray() << "System error: Unable to open";
        QTest::newRow("not JSON") << QByteArray("{ \"id\": ") << "System error: Not an effect file";
        QTest::newRow("empty file") << QByteArray(" ") << "System error: Not an effect file";
        QTest::newRow("an array") << QByteArray("[{\"id\":\"x\"}]") << "System error: Not an effect file";
        QTest::newRow("a string") << QByteArray("\"text\"") << "System error: Not an effect file";
    }

    void unreadableFilesChangeNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, logged);
        MTestFolder folder;
        const QString path = content.isEmpty() ? folder.filePath(QStringLiteral("none.kxs"))
                                               : folder.writeFile(QStringLiteral("bad.kxs"), content);
        MShader shader;
        shader.set_source(QStringLiteral("@main\nkeep;"));
        shader.set_description(QStringLiteral("kept"));
        const QString before = state(shader);
        const MTestLogWatch log;
        QVERIFY(!MShaderStream(&shader).loadFromJsonFile(path));
        QCOMPARE(state(shader), before);
        QCOMPARE(log.count(logged), 1);
    }

    void failedWritesAreReported()
    {
        MTestFolder folder;
        MShader shader;
        // A folder where the file should be: no file can replace it.
        const QString path = folder.filePath(QStringLiteral("taken"));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        const MTestLogWatch log;
        QVERIFY(!MShaderStream(&shader).saveToJsonFile(path));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to write ") + path), 1);
        QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir());
        QVERIFY(!MShaderStream(&shader).saveToJsonFile(QString()));
        QVERIFY(!MShaderStream(nullptr).saveToJsonFile(folder.filePath(QStringLiteral("x.kxs"))));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("x.kxs"))));
    }

    void textInBase64()
    {
        const QString text = QStringLiteral("a\r\nß€😀");
        const QJsonValue value = MShaderStream::textToBase64(text);
        QCOMPARE(value.toString(), QString::fromLatin1(text.toUtf8().toBase64()));
        QCOMPARE(MShaderStream::textFromBase64(value), text);
        QCOMPARE(MShaderStream::textFromBase64(QJsonValue()), QString());
    }
};

QTEST_GUILESS_MAIN(TestMShaderStream)
#include "tst_mshaderstream.moc"
