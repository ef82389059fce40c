#include "mlogger.h"
#include "mfolders.h"
#include "mpalette.h"
#include "mpalettelist.h"
#include "mtestlogwatch.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace {
// Builds swatch files record by record, as the painter's other programs
// write them.
class SwatchBytes
{
public:
    SwatchBytes(quint16 version, quint16 count) : m_version(version) { word(version).word(count); }

    SwatchBytes &word(quint16 value)
    {
        char buffer[2];
        qToBigEndian<quint16>(value, buffer);
        m_data.append(buffer, 2);
        return *this;
    }
    SwatchBytes &dword(quint32 value)
    {
        char buffer[4];
        qToBigEndian<quint32>(value, buffer);
        m_data.append(buffer, 4);
        return *this;
    }
    SwatchBytes &color(quint16 space, quint16 w, quint16 x, quint16 y, quint16 z = 0, const QString &name = QString())
    {
        word(space).word(w).word(x).word(y).word(z);
        if (m_version == 2) {
            dword(name.size() + 1);
            for (const QChar c : name)
                word(c.unicode());
            word(0);
        }
        return *this;
    }
    QByteArray bytes() const { return m_data; }

private:
    quint16 m_version;
    QByteArray m_data;
};

QByteArray sampleSwatches()
{
    return SwatchBytes(2, 3)
        .color(0, 65535, 0, 0, 0, QStringLiteral("Red"))
        .color(1, 0, 65535, 65535, 0, QStringLiteral("Hue"))
        .color(2, 65535, 0, 65535, 65535) // magenta ink only
        .bytes();
}

QByteArray samplePalette()
{
    MPalette palette;
    palette.appendColor(QColor(10, 20, 30), QStringLiteral("Ink"));
    palette.appendColor(QColor(200, 100, 50));
    palette.setColumns(5);
    return palette.paletteData();
}

QString swatchesFolder()
{
    return MFolders::swatchesDirectory(MFolders::UserPath);
}

void clearSwatchesFolder()
{
    QDir dir(swatchesFolder());
    for (const QString &name : dir.entryList(QDir::Files))
        dir.remove(name);
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}
} // namespace

class TestMPalette : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSwatchesFolder(); }

    void appendAndPrependMoveAnEqualColour()
    {
        MPalette palette;
        palette.appendColor(Qt::red, QStringLiteral("first"));
        palette.appendColor(Qt::green);
        palette.appendColor(Qt::red, QStringLiteral("second"));
        QCOMPARE(palette.count(), 2);
        QCOMPARE(palette.colorAt(1), QColor(Qt::red));
        QCOMPARE(palette.nameAt(1), QStringLiteral("first"));
        QCOMPARE(palette.nameAt(0), QStringLiteral("#00ff00"));
        palette.prependColor(Qt::red);
        QCOMPARE(palette.colorAt(0), QColor(Qt::red));
        QCOMPARE(palette.count(), 2);
        QVERIFY(!palette.moveColor(0, 0));
        QVERIFY(!palette.moveColor(0, 2));
        QVERIFY(palette.moveColor(0, 1));
        QCOMPARE(palette.colorAt(1), QColor(Qt::red));
        QVERIFY(!palette.colorAt(5).isValid());
    }

    void appendColorsGivesWhatAppendingEachGives_data()
    {
        QTest::addColumn<QList<QColor>>("before");
        QTest::addColumn<QList<QColor>>("batch");
        const QColor red(Qt::red), green(Qt::green), blue(Qt::blue);
        // Equal to red though not made the same way.
        const QColor redAgain = QColor::fromRgbF(1.0, 0.0, 0.0);
        // Equal to each other, as HSV colours of hue 0 and 360.
        const QColor hue0 = QColor::fromHsvF(0.0, 1.0, 1.0), hue360 = QColor::fromHsvF(1.0, 1.0, 1.0);
        QTest::newRow("new and distinct") << QList<QColor>{red} << QList<QColor>{green, blue};
        QTest::newRow("nothing") << QList<QColor>{red} << QList<QColor>{};
        QTest::newRow("repeats itself") << QList<QColor>{} << QList<QColor>{red, green, redAgain, blue};
        QTest::newRow("repeats the palette") << QList<QColor>{red, green} << QList<QColor>{blue, redAgain};
        QTest::newRow("palette holds a repeat") << QList<QColor>{red, green, red} << QList<QColor>{red, blue};
        QTest::newRow("colours of another kind") << QList<QColor>{hue0, red} << QList<QColor>{hue360, hue0.toRgb(), green};
        QTest::newRow("differ below 8 bits") << QList<QColor>{QColor::fromRgba64(65535, 0, 0)}
                                             << QList<QColor>{QColor::fromRgba64(65534, 0, 0), red};
    }

    void appendColorsGivesWhatAppendingEachGives()
    {
        QFETCH(QList<QColor>, before);
        QFETCH(QList<QColor>, batch);
        MPalette one, all;
        for (int i = 0; i < before.size(); ++i) {
            one.appendColor(before.at(i), QStringLiteral("named %1").arg(i));
            all.appendColor(before.at(i), QStringLiteral("named %1").arg(i));
        }
        for (const QColor &color : batch)
            one.appendColor(color);
        all.appendColors(batch);
        QCOMPARE(all.count(), one.count());
        for (int i = 0; i < one.count(); ++i) {
            QCOMPARE(all.colorAt(i), one.colorAt(i));
            QCOMPARE(all.colorAt(i).spec(), one.colorAt(i).spec());
            QCOMPARE(all.nameAt(i), one.nameAt(i));
        }
    }

    void paletteFileRoundTrip()
    {
        MPalette palette;
        palette.setName(QStringLiteral("  Trip "));
        palette.appendColor(QColor(255, 0, 0, 100), QStringLiteral("Half red"));
        palette.appendColor(QColor(1, 2, 3));
        palette.setColumns(5);
        QVERIFY(palette.save());
        const QString path = swatchesFolder() + QStringLiteral("Trip.kxp");
        QCOMPARE(palette.filePath(), path);

        MPalette back;
        QSignalSpy names(&back, &MPalette::nameChanged);
        QVERIFY(back.readPaletteFile(path));
        QCOMPARE(back.name(), QStringLiteral("Trip"));
        QCOMPARE(names.count(), 1);
        QCOMPARE(back.columns(), 5);
        QCOMPARE(back.count(), 2);
        QCOMPARE(back.colorAt(0), QColor(255, 0, 0));
        QCOMPARE(back.nameAt(0), QStringLiteral("Half red"));
        QCOMPARE(back.colorAt(1), QColor(1, 2, 3));
        QCOMPARE(back.nameAt(1), QStringLiteral("#010203"));
        QVERIFY(!back.readPaletteFile(swatchesFolder() + QStringLiteral("missing.kxp")));
        QCOMPARE(back.count(), 2);
    }

    void paletteDocuments_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QColor>>("colors");
        QTest::newRow("no columns") << QByteArray("{\"colors\":[{\"name\":\"a\",\"value\":\"#102030\"}]}") << 0
                                    << QStringList{"a"} << QList<QColor>{QColor(16, 32, 48)};
        QTest::newRow("no colors") << QByteArray("{\"columns\":4}") << 4 << QStringList() << QList<QColor>();
        QTest::newRow("malformed") << QByteArray("{\"columns\":4,") << 0 << QStringList() << QList<QColor>();
        QTest::newRow("defaults and other forms")
            << QByteArray("{\"columns\":\"x\",\"colors\":[{},{\"name\":3,\"value\":\"#f00\"},{\"name\":\"k\",\"value\":\"navy\"},{\"value\":\"nonsense\"}]}")
            << 0 << QStringList{"Black", "Black", "k", "Black"}
            << QList<QColor>{QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 128), QColor()};
    }

    void paletteDocuments()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, columns);
        QFETCH(QStringList, names);
        QFETCH(QList<QColor>, colors);
        MPalette palette;
        palette.appendColor(Qt::white);
        palette.readPaletteData(json);
        QCOMPARE(palette.columns(), columns);
        QCOMPARE(palette.count(), colors.size());
        for (int i = 0; i < colors.size(); ++i) {
            QCOMPARE(palette.nameAt(i), names.at(i));
            QCOMPARE(palette.colorAt(i), colors.at(i));
        }
    }

    void swatchFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QColor>>("colors");
        QTest::newRow("version 1, three spaces")
            << SwatchBytes(1, 3).color(0, 0, 65535, 0).color(1, 0, 65535, 65535).color(2, 65535, 65535, 65535, 0).bytes()
            << true << QStringList{"#00ff00", "#ff0000", "#000000"}
            << QList<QColor>{QColor(0, 255, 0), QColor(255, 0, 0), QColor(0, 0, 0)};
        QTest::newRow("version 2 names") << sampleSwatches() << true << QStringList{"Red", "Hue", "#ff00ff"}
                                         << QList<QColor>{QColor(255, 0, 0), QColor(255, 0, 0), QColor(255, 0, 255)};
        QTest::newRow("other spaces skipped") << SwatchBytes(1, 3).color(7, 1, 2, 3).color(8, 5, 5, 5).color(0, 65535, 65535, 65535).bytes()
                                              << true << QStringList{"#ffffff"} << QList<QColor>{QColor(255, 255, 255)};
        QTest::newRow("Lab only") << SwatchBytes(2, 2).color(7, 1, 2, 3).color(8, 4, 5, 6).bytes() << false
                                  << QStringList() << QList<QColor>();
        QTest::newRow("empty file") << QByteArray() << false << QStringList() << QList<QColor>();
        QTest::newRow("half a header") << QByteArray("\0\1\0", 3) << false << QStringList() << QList<QColor>();
        QByteArray cut = sampleSwatches();
        cut.chop(3);
        QTest::newRow("cut in the last record") << cut << false << QStringList() << QList<QColor>();
        QTest::newRow("count beyond the data") << SwatchBytes(1, 65535).color(0, 1, 1, 1).bytes() << false
                                               << QStringList() << QList<QColor>();
        QTest::newRow("name length beyond the data")
            << SwatchBytes(2, 1).word(0).word(1).word(1).word(1).word(0).dword(0xFFFFFFFFu).word(65).bytes() << false
            << QStringList() << QList<QColor>();
    }

    void swatchFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, accepted);
        QFETCH(QStringList, names);
        QFETCH(QList<QColor>, colors);
        MPalette palette;
        QString error;
        QCOMPARE(palette.importSwatchData(data, &error), accepted);
        QCOMPARE(error.isEmpty(), accepted);
        if (!accepted)
            return;
        QCOMPARE(palette.count(), colors.size());
        for (int i = 0; i < colors.size(); ++i) {
            QCOMPARE(palette.nameAt(i), names.at(i));
            QCOMPARE(palette.colorAt(i).alpha(), 255);
            QCOMPARE(palette.colorAt(i), colors.at(i));
        }
    }

    // Mutated files of both kinds: every parse ends, with at most as many
    // colours as the bytes can hold.
    void mutatedFilesNeverBreakTheParsers()
    {
        QRandomGenerator random(24);
        const QByteArray seeds[] = {sampleSwatches(), samplePalette()};
        for (int round = 0; round < 3000; ++round) {
            QByteArray data = seeds[round % 2];
            const int edits = 1 + random.bounded(8);
            for (int e = 0; e < edits; ++e) {
                const int at = random.bounded(data.size() + 1);
                switch (random.bounded(4)) {
                case 0: if (at < data.size()) data[at] = char(random.bounded(256)); break;
                case 1: data.truncate(at); break;
                case 2: data.insert(at, char(random.bounded(256))); break;
                default: if (at < data.size()) data[at] = char(0xFF); break;
                }
            }
            MPalette palette;
            if (round % 2 == 0) {
                palette.importSwatchData(data);
                QVERIFY(palette.count() <= data.size() / 10);
            } else {
                palette.readPaletteData(data);
                QVERIFY(palette.count() <= data.size());
            }
        }
    }

    void namesArePlainFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Summer 2" << true;
        QTest::newRow("blanks around") << "  Sea  " << true;
        QTest::newRow("empty") << "   " << false;
        QTest::newRow("dot") << "x.aco" << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("control") << "a\nb" << false;
    }

    void namesArePlainFileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(MPalette::isValidName(name), valid);
        MPalette palette;
        palette.setName(name);
        QCOMPARE(palette.save(), valid);
        QCOMPARE(QDir(swatchesFolder()).entryList(QDir::Files).size(), valid ? 1 : 0);
    }

    // A palette writes and removes its own file and no other.
    void palettesKeepToTheirOwnFiles()
    {
        const QString aco = swatchesFolder() + QStringLiteral("Sea.aco");
        const QString kxp = swatchesFolder() + QStringLiteral("Sea.kxp");
        writeFile(aco, sampleSwatches());
        writeFile(kxp, samplePalette());

        MPalette imported;
        QVERIFY(imported.importSwatchFile(aco));
        imported.appendColor(Qt::blue);
        QVERIFY(!imported.save()); // Sea.kxp belongs to the other palette
        QString text;
        QVERIFY(MUtility::readTextFile(text, kxp));
        QCOMPARE(text.toUtf8(), samplePalette());

        MPalette other;
        other.setName(QStringLiteral("Other"));
        QVERIFY(other.save());
        QVERIFY(!other.saveAs(QStringLiteral("Sea")));
        QVERIFY(!other.rename(QStringLiteral("Sea")));
        QVERIFY(other.rename(QStringLiteral("Lake")));
        QCOMPARE(other.name(), QStringLiteral("Lake"));
        QVERIFY(!QFile::exists(swatchesFolder() + QStringLiteral("Other.kxp")));
        QCOMPARE(other.filePath(), swatchesFolder() + QStringLiteral("Lake.kxp"));

        QVERIFY(imported.removeFile());
        QVERIFY(!QFile::exists(aco));
        QVERIFY(QFile::exists(kxp));
        QVERIFY(QFile::exists(other.filePath()));
    }

    void libraryHoldsTheBuiltInPalettes()
    {
        MTestLogWatch log;
        MPaletteList list;
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.at(0)->name(), QStringLiteral("Default palette"));
        QCOMPARE(list.at(0)->count(), 178);
        QCOMPARE(list.at(0)->colorAt(0), QColor(0, 0, 0));
        QCOMPARE(list.at(0)->colorAt(3), QColor(85, 85, 85));
        QCOMPARE(list.at(1)->name(), QStringLiteral("Named colors"));
        QCOMPARE(list.at(1)->nameAt(list.at(1)->indexOf(QColor(240, 248, 255))), QStringLiteral("aliceblue"));
        QCOMPARE(list.at(2)->name(), QStringLiteral("Big palette"));
        QCOMPARE(list.at(2)->count(), 3905);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(list.at(i)->isSystem());
            QCOMPARE(list.at(i)->columns(), 8);
        }
        QCOMPARE(log.count(QStringLiteral("Palettes loaded: 3 palette")), 1);
    }

    void libraryLoadsTheUserFolder()
    {
        writeFile(swatchesFolder() + QStringLiteral("b.kxp"), samplePalette());
        writeFile(swatchesFolder() + QStringLiteral("B.ACO"), sampleSwatches());
        writeFile(swatchesFolder() + QStringLiteral("a.kxp"), QByteArray("not json"));
        writeFile(swatchesFolder() + QStringLiteral("lab.aco"), SwatchBytes(1, 1).color(7, 1, 2, 3).bytes());
        writeFile(swatchesFolder() + QStringLiteral("c.txt"), samplePalette());
        const MTestLogWatch log;
        MPaletteList list;
        // A palette file that is not a palette document is refused like a
        // broken swatch file: never listed, so never saved over.
        QCOMPARE(list.count(), 5);
        QStringList loaded{list.at(3)->name(), list.at(4)->name()};
        QCOMPARE(loaded, (QStringList{"B", "b"}));
        QCOMPARE(list.at(3)->count() + list.at(4)->count(), 5);
        QCOMPARE(log.count(QStringLiteral("System error: Palette ") + swatchesFolder()
                           + QStringLiteral("a.kxp not read: The palette file is not a palette document.")),
                 1);
        QFile kept(swatchesFolder() + QStringLiteral("a.kxp"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("not json"));
    }

    // Files a palette made by hand never reaches are refused unread or
    // unparsed, with the reason; at the limits they are read. Swatch files
    // (read at every start) take the same size limit: the sizes past it are
    // sparse files, which no reader could get through whole in a test.
    void paletteLimits_data()
    {
        QTest::addColumn<bool>("swatches");
        QTest::addColumn<int>("colors");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the most colours") << false << int(MPalette::MaximumColors) << qint64(0) << QString();
        QTest::newRow("one colour more")
            << false << int(MPalette::MaximumColors) + 1 << qint64(0)
            << "holds 65537 colors, more than the 65536 a palette can have.";
        QTest::newRow("a file of 310 MB") << false << 1 << qint64(310) * 1000 * 1000
                                         << "has 310000000 bytes, more than the 16777216 a palette takes.";
        QTest::newRow("swatches at the size limit") << true << 3 << MPalette::MaximumFileBytes << QString();
        QTest::newRow("swatches a byte past it")
            << true << 3 << MPalette::MaximumFileBytes + 1
            << "has 16777217 bytes, more than the 16777216 a palette takes.";
        QTest::newRow("swatches of 1.9 GB") << true << 3 << qint64(1900) * 1000 * 1000
                                           << "has 1900000000 bytes, more than the 16777216 a palette takes.";
    }

    void paletteLimits()
    {
        QFETCH(bool, swatches);
        QFETCH(int, colors);
        QFETCH(qint64, fileSize);
        QFETCH(QString, refusal);
        QByteArray json("{\"columns\": 8, \"colors\": [");
        for (int i = 0; i < colors; ++i)
            json += i == 0 ? "{}" : ",{}";
        json += "]}";
        const QString path = swatchesFolder() + (swatches ? QStringLiteral("Big.aco") : QStringLiteral("Big.kxp"));
        writeFile(path, swatches ? sampleSwatches() : json);
        if (fileSize > 0) {
            QFile sparse(path);
            QVERIFY(sparse.resize(fileSize));
        }
        const MTestLogWatch log;
        MPalette palette;
        QCOMPARE(swatches ? palette.importSwatchFile(path) : palette.readPaletteFile(path), refusal.isEmpty());
        QCOMPARE(palette.count(), refusal.isEmpty() ? colors : 0);
        QCOMPARE(log.count(refusal.isEmpty() ? QStringLiteral("System error") : refusal), refusal.isEmpty() ? 0 : 1);
    }

    // A palette file in the swatches folder that is a link to a file
    // elsewhere: saving replaces the link, the file it named stays as it was.
    void savingReplacesALink()
    {
        QTemporaryDir outside;
        const QString victim = outside.filePath(QStringLiteral("victim.kxp"));
        writeFile(victim, samplePalette());
        const QString linked = swatchesFolder() + QStringLiteral("Linked.kxp");
        QVERIFY(QFile::link(victim, linked));
        MPalette palette;
        QVERIFY(palette.readPaletteFile(linked));
        palette.appendColor(QColor(1, 2, 3));
        QVERIFY(palette.save());
        QVERIFY(!QFileInfo(linked).isSymLink());
        QFile original(victim);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), samplePalette());
        MPalette back;
        QVERIFY(back.readPaletteFile(linked));
        QCOMPARE(back.count(), 3);
    }
};

QTEST_MAIN(TestMPalette)
#include "tst_mpalette.moc"
