#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"
#include "mcurve.h"
#include "menum.h"
#include "mparamlist.h"
#include "mtestfolder.h"
#include "mutility.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>
#include <QUuid>

#include <limits>

// The brush reader over truncated, mutated and hostile files: it always
// ends, leaves a brush that holds only sane values, and a library fed such
// files never writes outside its folders.
namespace {
const QString kId = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");

// A brush that uses every part of the file.
QJsonObject richBrush()
{
    MBrush brush;
    brush.setId(kId);
    brush.setDescription(QStringLiteral("rich"));
    brush.setRadius(12.5);
    brush.setEraser(true);
    brush.setQuickSettings({MEnum::bsNoise, MEnum::bsRadius});
    MCurve *curve = brush.addCurve(MEnum::bsRadius, MEnum::biPressure);
    curve->setPoints({{0, 0.1}, {0.5, 0.7}, {1, 1}});
    curve->setModulo(0.5);
    brush.addCurve(MEnum::bsAngle, MEnum::biRandom)->setYMin(-90);
    QImage texture(6, 3, QImage::Format_ARGB32);
    texture.fill(QColor(20, 40, 60, 200));
    brush.setTexture(texture);
    QJsonObject json = MBrushStream(&brush).toJson();
    json.insert(QStringLiteral("shaderValues"),
                QJsonArray{QJsonObject{{QStringLiteral("paramName"), QStringLiteral("a")}, {QStringLiteral("paramValue"), 1}}});
    return json;
}

const QList<QJsonValue> &hostileValues()
{
    static const QList<QJsonValue> values = {
        QJsonValue(), QJsonValue(true), QJsonValue(0), QJsonValue(-1), QJsonValue(1e308), QJsonValue(-1e308),
        QJsonValue(2147483648.0), QJsonValue(0.5), QJsonValue(QString()), QJsonValue(QStringLiteral("../../x")),
        QJsonValue(QStringLiteral("{00000000-0000-0000-0000-000000000000}")), QJsonValue(QJsonArray()),
        QJsonValue(QJsonArray{1, QStringLiteral("radius"), QJsonArray{2, -3}}), QJsonValue(QJsonObject()),
        QJsonValue(QJsonObject{{QStringLiteral("value"), QStringLiteral("x")}}),
    };
    return values;
}

// Replaces, removes or copies one member somewhere in the object.
QJsonValue mutateValue(const QJsonValue &value, QRandomGenerator &random, int depth)
{
    if (value.isObject() && depth < 4 && !value.toObject().isEmpty() && random.bounded(3) != 0) {
        QJsonObject object = value.toObject();
        const QStringList keys = object.keys();
        const QString key = keys.at(random.bounded(keys.size()));
        switch (random.bounded(6)) {
        case 0:
            object.remove(key);
            break;
        case 1:
            object.insert(key.left(1).toUpper() + key.mid(1), object.value(key));
            break;
        default:
            object.insert(key, mutateValue(object.value(key), random, depth + 1));
            break;
        }
        return object;
    }
    if (value.isArray() && !value.toArray().isEmpty() && random.bounded(2) == 0) {
        QJsonArray array = value.toArray();
        const int at = random.bounded(array.size());
        if (random.bounded(3) == 0)
            array.append(array.at(at)); // a duplicate element
        else
            array.replace(at, mutateValue(array.at(at), random, depth + 1));
        return array;
    }
    return hostileValues().at(random.bounded(hostileValues().size()));
}

QByteArray mutateBytes(QByteArray bytes, QRandomGenerator &random)
{
    switch (random.bounded(3)) {
    case 0:
        return bytes.left(random.bounded(bytes.size()));
    case 1:
        for (int i = 1 + random.bounded(8); i > 0; --i)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        return bytes;
    default: {
        static const char *const pieces[] = {"{", "}", "[", "]", ",", ":", "\"", "1e308", "-", "null", "\\u0000", "\xff"};
        for (int i = 1 + random.bounded(4); i > 0; --i)
            bytes.insert(random.bounded(bytes.size()), pieces[random.bounded(int(sizeof(pieces) / sizeof(pieces[0])))]);
        return bytes;
    }
    }
}

QString outcome(const MBrush &brush)
{
    if (!MParamList::isItemId(brush.id()))
        return QStringLiteral("id is no braced UUID: ") + brush.id();
    if (brush.description().isEmpty() || brush.group().isEmpty())
        return QStringLiteral("empty description or group");
    const double limit = std::numeric_limits<int>::max();
    for (int setting = 0; setting < MEnum::bsCount; ++setting) {
        const double value = brush.value(setting);
        if (!qIsFinite(value) || qAbs(value) > limit + 1)
            return QStringLiteral("setting %1 is %2").arg(setting).arg(value);
        for (const MCurve *curve : brush.curves(setting)) {
            if (curve->pointCount() > MBrushStream::kMaximumCurvePoints)
                return QStringLiteral("curve of %1 points").arg(curve->pointCount());
            for (const QPointF &point : curve->points()) {
                if (!(point.x() >= 0 && point.x() <= 1 && point.y() >= 0 && point.y() <= 1))
                    return QStringLiteral("curve point outside the unit square");
            }
            if (!(curve->yMin() < curve->yMax()))
                return QStringLiteral("curve range %1 to %2").arg(curve->yMin()).arg(curve->yMax());
            for (double x : {curve->xMin(), (curve->xMin() + curve->xMax()) / 2, curve->xMax()}) {
                if (!qIsFinite(curve->apply(x, value)))
                    return QStringLiteral("curve gives %1").arg(curve->apply(x, value));
            }
        }
    }
    const QVector<int> quick = brush.quickSettings();
    if (quick.isEmpty())
        return QStringLiteral("no quick settings");
    for (int i = 0; i < quick.size(); ++i) {
        if (quick.at(i) < 0 || quick.at(i) >= MEnum::bsCount || quick.indexOf(quick.at(i)) != i)
            return QStringLiteral("quick settings %1").arg(quick.at(i));
    }
    const QSize limitSize = MBrushStream::maximumImageSize();
    if (brush.texture().width() > limitSize.width() || brush.texture().height() > limitSize.height())
        return QStringLiteral("texture too large");
    return QStringLiteral("sane");
}

// A PNG whose header claims a size and whose data stops there.
QString pngClaiming(int width, int height)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes = QByteArray::fromBase64(MUtility::imageToJson(image).toString().toLatin1());
    QByteArray size(8, 0);
    for (int i = 0; i < 4; ++i) {
        size[3 - i] = char((width >> (8 * i)) & 0xff);
        size[7 - i] = char((height >> (8 * i)) & 0xff);
    }
    bytes.replace(16, 8, size);
    return QString::fromLatin1(bytes.toBase64());
}

// A compact JSON document of count items between head and tail, made as
// text: built as JSON values, a 100,000-member object alone takes minutes
// under a sanitizer (every member inserted moves the ones after it).
template<typename Item>
QByteArray hugeDocument(const char *head, int count, Item item, const char *tail)
{
    QByteArray bytes(head);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            bytes += ',';
        bytes += item(i);
    }
    return bytes + tail;
}

QStringList filesUnder(const QString &folder, const QString &except)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.startsWith(except))
            files.append(path + QLatin1Char(':') + QString::number(QFileInfo(path).size()));
    }
    files.sort();
    return files;
}
} // namespace

class TestBrushFileRobustness : public QObject
{
    Q_OBJECT

private slots:
    void mutatedFiles_data()
    {
        QTest::addColumn<bool>("structural");
        QTest::newRow("mutated members") << true;
        QTest::newRow("mutated bytes") << false;
    }

    void mutatedFiles()
    {
        QFETCH(bool, structural);
        MTestFolder folder;
        const QJsonObject seed = richBrush();
        const QByteArray seedBytes = QJsonDocument(seed).toJson();
        QRandomGenerator random(structural ? 20240611 : 77);
        int read = 0;
        for (int run = 0; run < 600; ++run) {
            QByteArray bytes;
            if (structural) {
                QJsonValue value = seed;
                for (int steps = 1 + random.bounded(4); steps > 0; --steps)
                    value = mutateValue(value, random, 0);
                bytes = QJsonDocument(value.toObject()).toJson();
            } else {
                bytes = mutateBytes(seedBytes, random);
            }
            const QString path = folder.writeFile(QStringLiteral("mutant.kxb"), bytes);
            MBrush brush;
            const QString before = brush.id();
            if (MBrushStream(&brush).loadFromJsonFile(path))
                ++read;
            const QString state = outcome(brush);
            if (state != QLatin1String("sane"))
                QFAIL(qPrintable(QStringLiteral("run %1: %2\n%3").arg(run).arg(state, QString::fromUtf8(bytes.left(600)))));
            QVERIFY(brush.id() == before || brush.id() == kId || brush.id() == QUuid().toString());
        }
        // The runs reached the reading of members, not only the parser.
        QVERIFY2(read > (structural ? 550 : 10), qPrintable(QString::number(read)));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // "read", "refused"

        auto document = [](const QJsonObject &object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); };
        QTest::newRow("huge curve")
            << hugeDocument(R"({"radius":{"pressure":{"points":[)", 200000,
                            [](int i) -> QByteArray { return "[" + QByteArray::number((i % 1000) / 1000.0) + ",0.5]"; }, "]}}}")
            << "read";
        QTest::newRow("huge quick settings")
            << hugeDocument(R"({"quickSettings":[)", 200000,
                            [](int i) -> QByteArray { return i % 2 ? QByteArray(R"("radius")") : QByteArray("\"nothing " + QByteArray::number(i) + '"'); },
                            "]}")
            << "read";
        QTest::newRow("huge engine values")
            << hugeDocument(R"({"shaderValues":[)", 100000,
                            [](int i) -> QByteArray {
                                const QByteArray n = QByteArray::number(i);
                                return R"({"paramName":"p)" + n + R"(","paramValue":[)" + n + "]}";
                            },
                            "]}")
            << "read";
        QTest::newRow("huge object")
            << hugeDocument("{", 100000, [](int i) -> QByteArray {
                   const QByteArray n = QByteArray::number(i);
                   return R"("member)" + n + R"(":{"value":)" + n + "}";
               }, "}")
            << "read";
        QTest::newRow("duplicate curve points")
            << document({{"flow", QJsonObject{{"speed", QJsonObject{{"points", QJsonArray{QJsonArray{0.5, 0}, QJsonArray{0.5, 1},
                                                                                          QJsonArray{0.5, 0.5}, QJsonArray{0.5, 0}}}}}}}})
            << "read";
        QTest::newRow("extreme curve range")
            << document({{"radius", QJsonObject{{"pressure", QJsonObject{{"yMin", -1e308}, {"yMax", 1e308}, {"modulo", 1e308}}}}}})
            << "read";
        QTest::newRow("extreme values") << document({{"radius", QJsonObject{{"value", 1e308}}},
                                                     {"angleType", QJsonObject{{"value", -1e308}}}})
                                        << "read";
        QTest::newRow("every member of the wrong type")
            << document({{"version", "x"}, {"id", QJsonArray()}, {"group", 1}, {"description", QJsonObject()},
                         {"shaderId", 2}, {"quickSettings", QJsonObject()}, {"radius", "5"}, {"shaderValues", "x"},
                         {"texture", QJsonArray()}, {"preview", true}})
            << "read";
        QTest::newRow("id with a separator") << document({{"id", "../../../etc/x"}}) << "read";
        QTest::newRow("absolute id") << document({{"id", "/tmp/x"}}) << "read";
        QTest::newRow("UUID with a path") << document({{"id", QString(kId + "/../../x")}}) << "read";
        QTest::newRow("texture claiming 100000 x 100000") << document({{"texture", pngClaiming(100000, 100000)}}) << "read";
        QTest::newRow("texture claiming 5000 x 5000") << document({{"texture", pngClaiming(5000, 5000)}}) << "read";
        QTest::newRow("deep nesting") << QByteArray(5000, '[') << "refused";
        QTest::newRow("binary") << QByteArray("\x00\x01\x02{\"id\":1}", 10) << "refused";
        QTest::newRow("top level array") << QByteArray("[{\"id\": \"../x\"}]") << "read";
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        MTestFolder folder;
        MBrush brush;
        const QString before = brush.id();
        const bool read = MBrushStream(&brush).loadFromJsonFile(folder.writeFile(QStringLiteral("hostile.kxb"), file));
        QCOMPARE(read ? QStringLiteral("read") : QStringLiteral("refused"), expected);
        QCOMPARE(outcome(brush), QStringLiteral("sane"));
        QCOMPARE(brush.id(), before);
    }

    // Hostile files in both folders of a library, then every operation that
    // writes or deletes files: nothing changes outside the user folder, and
    // the user folder holds only brush files and the order file.
    void libraryNeverWritesOutsideItsFolder()
    {
        MTestFolder root;
        const QString system = root.filePath(QStringLiteral("lib/brushes/system"));
        const QString user = root.filePath(QStringLiteral("lib/brushes/user"));
        const QStringList hostileIds = {"../../x", "../../../x", "/tmp/x", "..\\x", kId + "/../../x", "", "."};
        int n = 0;
        for (const QString &id : hostileIds) {
            const QByteArray content = QJsonDocument(QJsonObject{{"id", id}, {"description", "hostile"}}).toJson();
            root.writeFile(QStringLiteral("lib/brushes/system/hostile%1.kxb").arg(n), content);
            root.writeFile(QStringLiteral("lib/brushes/user/user%1.kxb").arg(n), content);
            ++n;
        }
        root.writeFile(QStringLiteral("lib/brushes/user/index.kxl"), "../../x\n/tmp/x\n..\\x\nuser0\nHOSTILE1 # ../../x\n");
        // What the hostile ids would reach.
        root.writeFile(QStringLiteral("x.kxb"), "keep");
        root.writeFile(QStringLiteral("lib/x.kxb"), "keep");
        root.writeFile(QStringLiteral("lib/brushes/x.kxb"), "keep");
        const QStringList outside = filesUnder(root.path(), user);

        MBrushList library(system, user);
        const int loaded = library.count();
        QVERIFY(loaded >= 2);
        for (int row = 0; row < loaded; ++row) {
            MBrush *brush = library.brush(row);
            QVERIFY(MParamList::isFileId(brush->id()));
            brush->save();
            brush->reload();
            brush->restore();
            library.createBrush(brush, QStringLiteral("../.."), QStringLiteral("../x"));
        }
        library.createBrushNamed(QStringLiteral("/tmp"), QStringLiteral("x"));
        while (library.count() > 0)
            library.removeAt(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(filesUnder(root.path(), user), outside);
        QCOMPARE(root.readFile(QStringLiteral("x.kxb")), QByteArray("keep"));
        for (const QString &entry : QDir(user).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            QVERIFY2(entry == QLatin1String("index.kxl") || entry.endsWith(QLatin1String(".kxb")), qPrintable(entry));
        QVERIFY(QDir(user).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }
};

QTEST_MAIN(TestBrushFileRobustness)
#include "tst_brushfilerobustness.moc"
