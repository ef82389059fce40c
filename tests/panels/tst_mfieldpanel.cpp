#include "mbrush.h"
#include "mcoloredit.h"
#include "mcompositionmodelist.h"
#include "menum.h"
#include "menumedit.h"
#include "mfield.h"
#include "mfieldpanel.h"
#include "mfilenameedit.h"
#include "mintspinbox.h"
#include "msliderspinbox.h"
#include "mvalues.h"
#include "mvector3dedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVector3D>

#include <memory>

namespace {
enum Kind { Bool, Int, Double, Percent, Enum, PickList, CompositionMode, Color, FileName, Vector, Text };

MField makeField(int kind, const QByteArray &name)
{
    MField field;
    field.setName(name);
    field.setLabel(QString::fromLatin1(name).toUpper());
    switch (kind) {
    case Bool: field.setType(QMetaType::Bool); break;
    case Int: field.setType(QMetaType::Int); field.setRange(0, 50); field.setSingleStep(2); field.setSuffix("px"); break;
    case Double: field.setType(QMetaType::Double); field.setRange(0, 10); field.setSingleStep(0.5); break;
    case Percent: field.setType(QMetaType::Double); field.setRange(0, 1); field.setPercentage(true); break;
    case Enum: field.setType(QMetaType::Int); field.setEnumName("BrushShape"); break;
    case PickList:
        field.setType(QMetaType::Int);
        field.addPickItem("ten", 10);
        field.addPickItem("twenty", 20);
        field.addPickItem("thirty", 30);
        break;
    case CompositionMode: field.setType(QMetaType::Int); field.setEnumName("CompositionMode"); break;
    case Color: field.setType(QMetaType::QColor); break;
    case FileName: field.setType(QMetaType::QImage); break;
    case Vector: field.setType(QMetaType::QVector3D); field.setRange(-100, 100); break;
    case Text: field.setType(QMetaType::QString); break;
    }
    return field;
}

QVector<MField *> pointers(std::vector<MField> &fields)
{
    QVector<MField *> list;
    for (MField &field : fields)
        list.append(&field);
    return list;
}
} // namespace

class TestMFieldPanel : public QObject
{
    Q_OBJECT

private:
    // Edits the editor as a painter would, through its own inner control.
    static void edit(int kind, QWidget *editor)
    {
        switch (kind) {
        case Bool:
            static_cast<QCheckBox *>(editor)->click();
            break;
        case Int:
            editor->findChild<QSpinBox *>()->setValue(12);
            break;
        case Double:
            editor->findChild<QDoubleSpinBox *>()->setValue(7.5);
            break;
        case Percent:
            editor->findChild<QDoubleSpinBox *>()->setValue(40);
            break;
        case Enum:
            editor->findChild<QComboBox *>()->setCurrentIndex(0);
            break;
        case PickList:
            static_cast<QComboBox *>(editor)->setCurrentIndex(2);
            break;
        case CompositionMode: {
            auto *combo = editor->findChild<QComboBox *>();
            combo->setCurrentIndex(combo->findData(5));
            break;
        }
        case Color: {
            auto *line = editor->findChild<QLineEdit *>();
            line->selectAll();
            QTest::keyClicks(line, "#00ff80");
            break;
        }
        case FileName:
            static_cast<MFileNameEdit *>(editor)->setFileName("other.png");
            break;
        case Vector:
            editor->findChildren<QDoubleSpinBox *>().first()->setValue(-4);
            break;
        case Text:
            static_cast<QLineEdit *>(editor)->end(false);
            QTest::keyClicks(editor, "d");
            break;
        }
    }

private slots:
    void editorPerFieldType_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("editorClass");
        QTest::addColumn<QVariant>("edited");

        QTest::newRow("bool") << int(Bool) << QVariant(true) << "QCheckBox" << QVariant(false);
        QTest::newRow("int") << int(Int) << QVariant(5) << "MIntSpinBox" << QVariant(12);
        QTest::newRow("double") << int(Double) << QVariant(2.5) << "MSliderSpinbox" << QVariant(7.5);
        QTest::newRow("percent") << int(Percent) << QVariant(0.25) << "MSliderSpinbox" << QVariant(0.4);
        QTest::newRow("enum") << int(Enum) << QVariant(int(MEnum::RectangleShape)) << "MEnumEdit"
                              << QVariant(int(MEnum::EllipseShape));
        QTest::newRow("pick list") << int(PickList) << QVariant(20) << "QComboBox" << QVariant(30);
        QTest::newRow("composition mode") << int(CompositionMode) << QVariant(0) << "MEnumEdit" << QVariant(5);
        QTest::newRow("colour") << int(Color) << QVariant(QColor(Qt::red)) << "MColorEdit"
                                << QVariant(QColor("#00ff80"));
        QTest::newRow("file name") << int(FileName) << QVariant("paper.png") << "MFileNameEdit"
                                   << QVariant("other.png");
        QTest::newRow("3D vector") << int(Vector) << QVariant(QVector3D(1, 2, 3)) << "MVector3DEdit"
                                   << QVariant(QVector3D(-4, 2, 3));
        QTest::newRow("text") << int(Text) << QVariant("abc") << "QLineEdit" << QVariant("abcd");
    }

    // Each kind of field gets its editor filled from the object; one edit
    // writes the object and says so once; filling says nothing.
    void editorPerFieldType()
    {
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, editorClass);
        QFETCH(QVariant, edited);

        std::vector<MField> fields{makeField(Bool, "other"), makeField(kind, "field")};
        MValues values;
        values.setValue("other", true);
        values.setValue("field", value);
        MFieldPanel panel;
        QSignalSpy changed(&panel, &MFieldPanel::valueChanged);
        QSignalSpy written(&values, &MValues::valueChanged);
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        panel.show();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(written.count(), 0);

        QWidget *editor = panel.editor("field");
        QVERIFY(editor);
        QCOMPARE(QString(editor->metaObject()->className()), editorClass);
        QCOMPARE(editor->property(MFieldPanel::fieldProperty).toByteArray(), QByteArray("field"));

        // What the editor shows of the object's value.
        switch (kind) {
        case Bool: QVERIFY(static_cast<QCheckBox *>(editor)->isChecked()); break;
        case Int:
            QCOMPARE(static_cast<MIntSpinBox *>(editor)->value(), 5);
            QCOMPARE(static_cast<MIntSpinBox *>(editor)->maximum(), 50);
            QCOMPARE(static_cast<MIntSpinBox *>(editor)->suffix(), QString(" px"));
            break;
        case Double: QCOMPARE(editor->findChild<QDoubleSpinBox *>()->value(), 2.5); break;
        case Percent:
            QVERIFY(static_cast<MSliderSpinbox *>(editor)->isPercentage());
            QCOMPARE(editor->findChild<QDoubleSpinBox *>()->value(), 25.0);
            break;
        case Enum:
            QCOMPARE(editor->findChild<QComboBox *>()->count(), 2);
            QCOMPARE(static_cast<MEnumEdit *>(editor)->value(), int(MEnum::RectangleShape));
            break;
        case PickList: {
            auto *combo = static_cast<QComboBox *>(editor);
            QVERIFY(combo->isEditable());
            QCOMPARE(combo->count(), 3);
            QCOMPARE(combo->currentText(), QString("twenty"));
            break;
        }
        case CompositionMode: {
            // Brush modes only: "Foreground" (3) is a layer mode.
            auto *combo = editor->findChild<QComboBox *>();
            QVERIFY(combo->findData(5) >= 0);
            QCOMPARE(combo->findData(3), -1);
            QCOMPARE(combo->currentIndex(), combo->findData(0));
            break;
        }
        case Color: QCOMPARE(static_cast<MColorEdit *>(editor)->color(), QColor(Qt::red)); break;
        case FileName: QCOMPARE(static_cast<MFileNameEdit *>(editor)->fileName(), QString("paper.png")); break;
        case Vector: QCOMPARE(static_cast<MVector3DEdit *>(editor)->value(), QVector3D(1, 2, 3)); break;
        case Text: QCOMPARE(static_cast<QLineEdit *>(editor)->text(), QString("abc")); break;
        }

        edit(kind, editor);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toByteArray(), QByteArray("field"));
        QCOMPARE(changed.first().at(1), edited);
        QCOMPARE(values.value("field"), edited);
        QCOMPARE(values.value("other"), QVariant(true));

        // Filling from the object again announces nothing and writes nothing.
        changed.clear();
        written.clear();
        values.setValue("field", value);
        written.clear();
        panel.valuesToWidgets();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(written.count(), 0);
    }

    // A composition mode field offers the brush modes in the table's order,
    // each with its text, and the mode's id (not its row) as the item data.
    void compositionModeComboBox()
    {
        std::vector<MField> fields{makeField(CompositionMode, "mode")};
        MValues values;
        values.setValue("mode", 0);
        MFieldPanel panel;
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        const auto *combo = panel.editor("mode")->findChild<QComboBox *>();
        QVERIFY(combo);
        QList<int> modes;
        for (int i = 0; i < combo->count(); ++i)
            modes << combo->itemData(i).toInt();
        QCOMPARE(modes.size(), 29);
        QCOMPARE(modes.mid(0, 4), QList<int>({0, 5, 7, 12}));
        QCOMPARE(combo->itemText(0), QStringLiteral("Normal"));
        QVERIFY(!modes.contains(1000));
        QCOMPARE(combo->itemData(combo->findText(QStringLiteral("Plus"))).toInt(), 12);
        QCOMPARE(combo->itemData(combo->findText(QStringLiteral("Darker"))).toInt(), 24);
        const QVector<MCompositionModeList::Entry> entries = MCompositionModeList::instance()->entries(true);
        QCOMPARE(combo->count(), entries.size());
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(combo->itemText(i), entries.at(i).label);
    }

    void missingValuesShowEmptyEditors()
    {
        std::vector<MField> fields{makeField(Color, "color"), makeField(FileName, "file"),
                                   makeField(PickList, "pick")};
        fields[0].setValue(QColor(Qt::white));
        fields[1].setValue("default.png");
        MValues values;
        values.setValue("pick", 25);
        MFieldPanel panel;
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        QCOMPARE(static_cast<MColorEdit *>(panel.editor("color"))->color(), QColor(Qt::black));
        QCOMPARE(static_cast<MFileNameEdit *>(panel.editor("file"))->fileName(), QString());
        QCOMPARE(static_cast<QComboBox *>(panel.editor("pick"))->currentIndex(), -1);
    }

    // An object that is not a set of named values is written by property.
    void propertiesOfAPlainObject()
    {
        std::vector<MField> fields{makeField(Double, "objectName2"), makeField(Text, "objectName")};
        QObject object;
        object.setObjectName("first");
        object.setProperty("objectName2", 3.0);
        MFieldPanel panel;
        panel.setFields(pointers(fields));
        panel.setObject(&object);
        QCOMPARE(static_cast<QLineEdit *>(panel.editor("objectName"))->text(), QString("first"));
        panel.show();
        QTest::keyClicks(panel.editor("objectName"), "!");
        QCOMPARE(object.objectName(), QString("first!"));
        panel.editor("objectName2")->findChild<QDoubleSpinBox *>()->setValue(4.0);
        QCOMPARE(object.property("objectName2").toDouble(), 4.0);
    }

    void layout_data()
    {
        QTest::addColumn<bool>("labelsOnTop");
        QTest::addColumn<bool>("addLines");
        QTest::addColumn<bool>("addSpacer");
        QTest::addColumn<bool>("hideSecond");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("editorColumn");

        QTest::newRow("labels on top") << true << false << true << false << 5 << 0 << 0;
        QTest::newRow("side by side") << false << false << true << false << 3 << 0 << 1;
        QTest::newRow("lines") << false << true << false << false << 4 << 2 << 1;
        QTest::newRow("hidden field") << true << false << true << true << 3 << 0 << 0;
    }

    void layout()
    {
        QFETCH(bool, labelsOnTop);
        QFETCH(bool, addLines);
        QFETCH(bool, addSpacer);
        QFETCH(bool, hideSecond);
        QFETCH(int, rows);
        QFETCH(int, lines);
        QFETCH(int, editorColumn);

        std::vector<MField> fields{makeField(Int, "a"), makeField(Bool, "b")};
        fields[1].setVisible(!hideSecond);
        MValues values;
        MFieldPanel panel;
        panel.set_labelsOnTop(labelsOnTop);
        panel.set_addLines(addLines);
        panel.set_addSpacer(addSpacer);
        panel.set_boldLabels(true);
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        auto *grid = panel.findChild<QGridLayout *>();
        QCOMPARE(grid->rowCount(), rows);
        int found = 0;
        for (QLabel *label : panel.findChildren<QLabel *>())
            found += label->frameShape() == QFrame::HLine;
        QCOMPARE(found, lines);
        QCOMPARE(panel.editor("b") == nullptr, hideSecond);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(panel.editor("a")), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(column, editorColumn);
        const QLabel *label = panel.findChildren<QLabel *>().first();
        QCOMPARE(label->styleSheet(), QString("QLabel{font-weight: bold;}"));
    }

    void allHiddenStillBuilds()
    {
        std::vector<MField> fields{makeField(Int, "a")};
        fields[0].setVisible(false);
        MValues values;
        MFieldPanel panel;
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        QVERIFY(panel.buildFields());
        QVERIFY(!panel.editor("a"));
        QCOMPARE(panel.findChildren<QLabel *>().size(), 0);
        auto *grid = panel.findChild<QGridLayout *>();
        QCOMPARE(grid->count(), 1);
        QVERIFY(grid->itemAt(0)->spacerItem());

        MFieldPanel empty;
        empty.setObject(&values);
        QVERIFY(!empty.buildFields());
    }

    void settingsTakeEffectAtTheNextBuild()
    {
        std::vector<MField> fields{makeField(Int, "a")};
        MValues values;
        MFieldPanel panel;
        QSignalSpy spy(&panel, &MFieldPanel::labelsOnTopChanged);
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        auto *grid = panel.findChild<QGridLayout *>();
        const int before = grid->rowCount();
        panel.set_labelsOnTop(false);
        panel.set_labelsOnTop(false);
        QCOMPARE(spy.count(), 1);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(panel.editor("a")), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(column, 0);
        QCOMPARE(grid->rowCount(), before);
        panel.setObject(&values);
        grid->getItemPosition(grid->indexOf(panel.editor("a")), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(column, 1);
    }

    void noObjectEmptiesTheGrid()
    {
        std::vector<MField> fields{makeField(Int, "a")};
        MValues values;
        MFieldPanel panel;
        panel.setFields(pointers(fields));
        panel.setObject(&values);
        QVERIFY(panel.editor("a"));
        panel.setObject(nullptr);
        QVERIFY(!panel.editor("a"));
        QCOMPARE(panel.findChild<QGridLayout *>()->count(), 0);
        // The panel's copies do not depend on the caller's descriptors.
        fields.clear();
        panel.setObject(&values);
        QVERIFY(panel.editor("a"));
    }

    // Curve buttons on the brush settings of a brush, none for other objects.
    void curveButtons()
    {
        MBrush brush;
        brush.addCurve(MEnum::bsRadius, MEnum::biPressure);
        MFieldPanel panel;
        panel.set_showCurveButtons(true);
        panel.setBrushSettingGroup(0);
        panel.setObject(&brush);
        const QList<QToolButton *> buttons = panel.findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(buttons.size() >= 2);
        QToolButton *radius = nullptr;
        QToolButton *spacing = nullptr;
        for (QToolButton *button : buttons) {
            const int setting = button->property(MFieldPanel::settingProperty).toInt();
            if (setting == MEnum::bsRadius)
                radius = button;
            else if (setting == MEnum::bsSpacing)
                spacing = button;
        }
        QVERIFY(radius && spacing);
        QCOMPARE(radius->toolTip(), QString("Edit dynamic settings"));
        const QImage check = QIcon("://icons/check.ico").pixmap(16).toImage();
        const QImage plus = QIcon("://icons/plus.ico").pixmap(16).toImage();
        QVERIFY(check != plus);
        QCOMPARE(radius->icon().pixmap(16).toImage(), check);
        QCOMPARE(spacing->icon().pixmap(16).toImage(), plus);

        QSignalSpy curve(&panel, &MFieldPanel::editCurve);
        radius->click();
        QCOMPARE(curve.count(), 1);
        QCOMPARE(curve.first().at(1).toInt(), int(MEnum::bsRadius));

        // A brush setting edited in the panel reaches the brush's property.
        panel.editor("radius")->findChild<QDoubleSpinBox *>()->setValue(12.0);
        QCOMPARE(brush.property("radius").toDouble(), 12.0);

        MValues values;
        panel.setObject(&values);
        QVERIFY(panel.findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
    }
};

QTEST_MAIN(TestMFieldPanel)
#include "tst_mfieldpanel.moc"
