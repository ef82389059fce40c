#include "mfield.h"
#include "mpicklist.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPointF>
#include <QTest>
#include <QVector2D>
#include <QVector3D>

class TestMField : public QObject
{
    Q_OBJECT

private slots:
    void newFieldHasTheDocumentedDefaults()
    {
        MField field;
        QCOMPARE(field.index(), -1);
        QVERIFY(field.hasNoIndex());
        QCOMPARE(field.type(), int(QMetaType::Double));
        QCOMPARE(field.minimum(), 0.0);
        QCOMPARE(field.maximum(), 1.0);
        QCOMPARE(field.singleStep(), 0.1);
        QCOMPARE(field.value(), QVariant(0.0));
        QCOMPARE(field.value().userType(), int(QMetaType::Double));
        QVERIFY(field.isDynamic());
        QVERIFY(field.isVisible());
        QVERIFY(!field.isLogarithmic());
        QVERIFY(!field.isPercentage());
        QVERIFY(field.pickList());
        QCOMPARE(field.pickList()->count(), 0);
    }

    void clearRestoresEveryField()
    {
        MField field;
        field.setName("radius");
        field.setIndex(3);
        field.setLabel(QStringLiteral("Radius"));
        field.setType(QMetaType::Int);
        field.setEnumName("SpacingType");
        field.addPickItem(QStringLiteral("one"), 1);
        field.setLogarithmic(true);
        field.setRange(-5, 5);
        field.setSuffix(QStringLiteral("pix"));
        field.setValue(7);
        field.setDynamic(false);
        field.setVisible(false);
        field.clear();
        QVERIFY(field.name().isEmpty());
        QCOMPARE(field.index(), -1);
        QVERIFY(field.label().isEmpty());
        QCOMPARE(field.type(), int(QMetaType::Double));
        QVERIFY(field.enumName().isEmpty());
        QCOMPARE(field.pickList()->count(), 0);
        QVERIFY(!field.isLogarithmic());
        QCOMPARE(field.minimum(), 0.0);
        QCOMPARE(field.maximum(), 1.0);
        QVERIFY(field.suffix().isEmpty());
        QCOMPARE(field.value(), QVariant(0.0));
        QVERIFY(field.isDynamic() && field.isVisible());
    }

    void rangeSettersKeepMinimumBelowMaximum_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        // Every case starts from the range 0 to 1.
        QTest::newRow("minimum inside") << "setMinimum" << 0.5 << 0.0 << 0.5 << 1.0;
        QTest::newRow("minimum above maximum swaps") << "setMinimum" << 5.0 << 0.0 << 1.0 << 5.0;
        QTest::newRow("maximum inside") << "setMaximum" << 0.5 << 0.0 << 0.0 << 0.5;
        QTest::newRow("maximum below minimum swaps") << "setMaximum" << -1.0 << 0.0 << -1.0 << 0.0;
        QTest::newRow("range given high to low") << "setRange" << 10.0 << 2.0 << 2.0 << 10.0;
        QTest::newRow("range given low to high") << "setRange" << 2.0 << 10.0 << 2.0 << 10.0;
        QTest::newRow("range below the old one") << "setRange" << -8.0 << -3.0 << -8.0 << -3.0;
        QTest::newRow("empty range") << "setRange" << 4.0 << 4.0 << 4.0 << 4.0;
    }

    void rangeSettersKeepMinimumBelowMaximum()
    {
        QFETCH(QString, call);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        MField field;
        if (call == QLatin1String("setMinimum"))
            field.setMinimum(a);
        else if (call == QLatin1String("setMaximum"))
            field.setMaximum(a);
        else
            field.setRange(a, b);
        QCOMPARE(field.minimum(), minimum);
        QCOMPARE(field.maximum(), maximum);
    }

    void suffixText_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("text");
        QTest::newRow("unit") << "pix" << " pix";
        QTest::newRow("none") << "" << " ";
    }

    void suffixText()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, text);
        MField field;
        field.setSuffix(suffix);
        QCOMPARE(field.suffixText(), text);
    }

    void valueTextByRole_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("expected");
        const QImage image(7, 3, QImage::Format_ARGB32);
        QTest::newRow("point") << int(QMetaType::QPointF) << QVariant(QPointF(1.5, -2)) << int(Qt::DisplayRole)
                               << QVariant(QStringLiteral("[1.5, -2]"));
        QTest::newRow("point, general format") << int(QMetaType::QPointF) << QVariant(QPointF(1234567.0, 0.1))
                                               << int(Qt::DisplayRole) << QVariant(QStringLiteral("[1.23457e+06, 0.1]"));
        QTest::newRow("vector 2d") << int(QMetaType::QVector2D) << QVariant(QVector2D(0.1f, 3)) << int(Qt::DisplayRole)
                                   << QVariant(QStringLiteral("[0.1, 3]"));
        QTest::newRow("vector 3d") << int(QMetaType::QVector3D) << QVariant(QVector3D(1, 2.5, 3)) << int(Qt::DisplayRole)
                                   << QVariant(QStringLiteral("[1, 2.5, 3]"));
        QTest::newRow("colour in capitals") << int(QMetaType::QColor) << QVariant(QColor(Qt::red)) << int(Qt::DisplayRole)
                                            << QVariant(QStringLiteral("#FF0000"));
        QTest::newRow("colour from text") << int(QMetaType::QColor) << QVariant(QStringLiteral("#a0b0c0"))
                                          << int(Qt::DisplayRole) << QVariant(QStringLiteral("#A0B0C0"));
        QTest::newRow("image has no text") << int(QMetaType::QImage) << QVariant(image) << int(Qt::DisplayRole) << QVariant();
        QTest::newRow("double unchanged") << int(QMetaType::Double) << QVariant(2.25) << int(Qt::DisplayRole) << QVariant(2.25);
        QTest::newRow("text unchanged") << int(QMetaType::QString) << QVariant(QStringLiteral("abc")) << int(Qt::DisplayRole)
                                        << QVariant(QStringLiteral("abc"));
        QTest::newRow("unconvertible point") << int(QMetaType::QPointF) << QVariant(QStringLiteral("x"))
                                             << int(Qt::DisplayRole) << QVariant(QStringLiteral("[0, 0]"));
        QTest::newRow("double decoration") << int(QMetaType::Double) << QVariant(1.0) << int(Qt::DecorationRole) << QVariant();
        QTest::newRow("edit keeps colour") << int(QMetaType::QColor) << QVariant(QColor(Qt::blue)) << int(Qt::EditRole)
                                           << QVariant(QColor(Qt::blue));
        QTest::newRow("edit keeps point") << int(QMetaType::QPointF) << QVariant(QPointF(1, 2)) << int(Qt::EditRole)
                                          << QVariant(QPointF(1, 2));
        QTest::newRow("image size hint") << int(QMetaType::QImage) << QVariant(image) << int(Qt::SizeHintRole)
                                         << QVariant(QSize(7, 3));
        QTest::newRow("double size hint") << int(QMetaType::Double) << QVariant(1.0) << int(Qt::SizeHintRole) << QVariant();
        QTest::newRow("tool tip role") << int(QMetaType::Double) << QVariant(1.0) << int(Qt::ToolTipRole) << QVariant();
    }

    void valueTextByRole()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(int, role);
        QFETCH(QVariant, expected);
        MField field;
        field.setType(type);
        const QVariant result = field.valueText(value, role);
        QCOMPARE(result.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(result.userType(), expected.userType());
            QCOMPARE(result, expected);
        }
    }

    void decorationOfImagesAndColours()
    {
        MField field;
        field.setType(QMetaType::QImage);
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::green);
        QCOMPARE(field.valueText(image, Qt::DecorationRole).value<QImage>(), image);

        field.setType(QMetaType::QColor);
        const QVariant decoration = field.valueText(QColor(10, 20, 30, 40), Qt::DecorationRole);
        QCOMPARE(decoration.userType(), int(QMetaType::QIcon));
        const QImage icon = decoration.value<QIcon>().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(16, 16));
        // Filled with the colour made opaque, inside a grey outline.
        QCOMPARE(icon.pixelColor(8, 8), QColor(10, 20, 30, 255));
        QCOMPARE(icon.pixelColor(0, 8), QColor(Qt::gray));
        QCOMPARE(icon.pixelColor(15, 15), QColor(Qt::gray));
    }

    void copiesOwnTheirPickList()
    {
        MField field;
        field.setName("mode");
        field.setRange(-2, 9);
        field.setValue(QColor(Qt::red));
        field.addPickItem(QStringLiteral("first"), 10);
        field.addPickItem(QStringLiteral("second"), 20);

        MField copy(field);
        MField assigned;
        assigned = field;
        field.addPickItem(QStringLiteral("third"), 30);
        field.pickList()->clear();
        for (const MField *other : {&copy, &assigned}) {
            QCOMPARE(other->name(), QByteArray("mode"));
            QCOMPARE(other->minimum(), -2.0);
            QCOMPARE(other->maximum(), 9.0);
            QCOMPARE(other->value(), QVariant(QColor(Qt::red)));
            QVERIFY(other->pickList() != field.pickList());
            QCOMPARE(other->pickList()->count(), 2);
            QCOMPARE(other->pickList()->item(1).text(), QStringLiteral("second"));
            QCOMPARE(other->pickList()->item(1).value(), QVariant(20));
        }
        const MField &same = assigned;
        assigned = same;
        QCOMPARE(assigned.pickList()->count(), 2);
    }

    void pickListOutOfRangeGivesAnEmptyItem()
    {
        MPickList list;
        list.append(MPickItem(QStringLiteral("a"), 1));
        QVERIFY(list.item(1).text().isEmpty());
        QVERIFY(!list.item(-1).value().isValid());
    }
};

QTEST_MAIN(TestMField)
#include "tst_mfield.moc"
