#include "mcoloredit.h"
#include "mcolorpickerbutton.h"
#include "menum.h"
#include "menumedit.h"
#include "mfilenameedit.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestspy.h"
#include "mvector3dedit.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {
// The first tool button is the colour dialog's, the second the picker.
QToolButton *dialogButton(QWidget *edit)
{
    return edit->findChildren<QToolButton *>().value(0);
}

QStringList comboTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i) + QLatin1Char('=') + combo->itemData(i).toString();
    return texts;
}
} // namespace

// The colour, enumeration, file-name and vector edits: what typing, choosing
// and setting store, show and announce.
class TestEditWidgets : public QObject
{
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ colour

    void colorTyped_data()
    {
        QTest::addColumn<bool>("returnOnly");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pressReturn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("colors");

        QTest::newRow("complete code") << false << "#123456" << false << "#123456" << QStringList{"#123456"};
        QTest::newRow("upper-case code") << false << "#ABCDEF" << false << "#ABCDEF" << QStringList{"#abcdef"};
        // "#123" would name #112233 on the way: it must not be taken.
        QTest::newRow("short code") << false << "#123" << false << "#123" << QStringList{};
        QTest::newRow("incomplete code") << false << "#12345" << true << "#12345" << QStringList{};
        QTest::newRow("letters outside hex are refused") << false << "#12zz56" << false << "#1256" << QStringList{};
        QTest::newRow("return only, typed") << true << "#123456" << false << "#123456" << QStringList{};
        QTest::newRow("return only, then Return") << true << "#123456" << true << "#123456"
                                                  << QStringList{"#123456"};
    }

    void colorTyped()
    {
        QFETCH(bool, returnOnly);
        QFETCH(QString, typed);
        QFETCH(bool, pressReturn);
        QFETCH(QString, text);
        QFETCH(QStringList, colors);

        MColorEdit edit;
        edit.setApplyOnReturnOnly(returnOnly);
        QSignalSpy changes(&edit, &MColorEdit::colorChanged);
        QLineEdit *line = edit.findChild<QLineEdit *>();
        QTest::keyClicks(line, typed);
        if (pressReturn)
            QTest::keyClick(line, Qt::Key_Return);

        QCOMPARE(line->text(), text);
        QStringList names;
        for (const QVariant &color : spyValues(changes))
            names << color.value<QColor>().name();
        QCOMPARE(names, colors);
        QCOMPARE(edit.color().isValid() ? QStringList{edit.color().name()} : QStringList(), colors);
    }

    void colorSetKeepsItsAlpha()
    {
        MColorEdit edit;
        QSignalSpy changes(&edit, &MColorEdit::colorChanged);
        const QColor translucent(10, 20, 30, 128);
        edit.setColor(translucent);
        edit.setColor(translucent);

        QCOMPARE(edit.color(), translucent);
        QCOMPARE(spyValues(changes), QVariantList{translucent});
        QCOMPARE(edit.findChild<QLineEdit *>()->text(), QStringLiteral("#0a141e"));
        // The swatch: a grey frame round the colour made opaque.
        const QImage swatch = dialogButton(&edit)->icon().pixmap(16, 16).toImage();
        QCOMPARE(swatch.size(), QSize(16, 16));
        QCOMPARE(swatch.pixelColor(8, 8), QColor(10, 20, 30));
        QCOMPARE(swatch.pixelColor(0, 0), QColor(Qt::gray));
        QCOMPARE(swatch.pixelColor(15, 15), QColor(Qt::gray));
    }

    void colorFromDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QColor>("color");

        QTest::newRow("chosen") << true << QColor(Qt::red);
        QTest::newRow("cancelled") << false << QColor(Qt::blue);
    }

    void colorFromDialog()
    {
        QFETCH(bool, accept);
        QFETCH(QColor, color);

        MColorEdit edit;
        edit.setColor(Qt::blue);
        QSignalSpy changes(&edit, &MColorEdit::colorChanged);
        MTestDialogScript script;
        if (accept)
            script.answerColor(Qt::red);
        QTest::mouseClick(dialogButton(&edit), Qt::LeftButton);

        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().kind, MUtility::ColorDialog);
        QCOMPARE(script.requests().first().title, QStringLiteral("Color"));
        QCOMPARE(script.requests().first().color, QColor(Qt::blue));
        QCOMPARE(edit.color(), color);
        QCOMPARE(changes.count(), accept ? 1 : 0);
    }

    void colorFromPicker()
    {
        MColorEdit edit;
        QSignalSpy changes(&edit, &MColorEdit::colorChanged);
        edit.findChild<MColorPickerButton *>()->set_color(QColor(1, 2, 3));
        QCOMPARE(edit.color(), QColor(1, 2, 3));
        QCOMPARE(edit.findChild<QLineEdit *>()->text(), QStringLiteral("#010203"));
        QCOMPARE(changes.count(), 1);
    }

    // ------------------------------------------------------------ enumeration

    void enumFilled_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("icons");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("paper types") << QByteArray("PaperType") << 0
                                     << QStringList{"Transparent=0", "Colored=1", "Paper=2"};
        QTest::newRow("spaced values, fewer icons than keys")
            << QByteArray("CapStyle") << 2 << QStringList{"Flat=0", "Square=16", "Round=32"};
        QTest::newRow("unknown enumeration") << QByteArray("NoSuchEnum") << 0 << QStringList{};
    }

    void enumFilled()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, icons);
        QFETCH(QStringList, items);

        MEnumEdit edit;
        edit.setEnumName(MEnum::staticMetaObject, QByteArrayLiteral("PaperType"));
        QSignalSpy changes(&edit, &MEnumEdit::valueChanged);
        QList<QIcon> iconList;
        for (int i = 0; i < icons; ++i)
            iconList << QIcon(QPixmap(8, 8));
        edit.setEnumName(MEnum::staticMetaObject, name, iconList);

        QComboBox *combo = edit.findChild<QComboBox *>();
        QCOMPARE(comboTexts(combo), items);
        QCOMPARE(combo->currentIndex(), -1);
        for (int i = 0; i < combo->count(); ++i)
            QCOMPARE(combo->itemIcon(i).isNull(), i >= icons);
        // Filling is nobody's choice.
        QCOMPARE(changes.count(), 0);
    }

    void enumSetValue_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("emissions");

        QTest::newRow("a key") << -1 << 32 << 2 << 2;
        QTest::newRow("another key") << 0 << 16 << 1 << 2;
        QTest::newRow("the key already chosen") << 1 << 16 << 1 << 0;
        QTest::newRow("no key carries it") << 1 << 7 << -1 << 1;
        QTest::newRow("none chosen, none carries it") << -1 << 7 << -1 << 0;
    }

    void enumSetValue()
    {
        QFETCH(int, before);
        QFETCH(int, value);
        QFETCH(int, index);
        QFETCH(int, emissions);

        MEnumEdit edit;
        edit.setEnumName(MEnum::staticMetaObject, QByteArrayLiteral("CapStyle"));
        QComboBox *combo = edit.findChild<QComboBox *>();
        combo->setCurrentIndex(before);
        QSignalSpy changes(&edit, &MEnumEdit::valueChanged);
        edit.setValue(value);

        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(changes.count(), emissions);
        if (emissions > 0) {
            QCOMPARE(changes.last().at(0).toInt(), value);
            QCOMPARE(edit.value(), value);
        }
    }

    void enumChosenByTheUser()
    {
        MEnumEdit edit;
        edit.setEnumName(MEnum::staticMetaObject, QByteArrayLiteral("CapStyle"));
        QSignalSpy changes(&edit, &MEnumEdit::valueChanged);
        edit.findChild<QComboBox *>()->setCurrentIndex(2);
        QCOMPARE(edit.value(), 32);
        QCOMPARE(spyValues(changes), QVariantList{32});
    }

    // ------------------------------------------------------------ file name

    void fileChosen_data()
    {
        QTest::addColumn<QString>("before");  // "=" + text: typed into the edit
        QTest::addColumn<QString>("chosen");  // empty: cancelled
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<bool>("clicked");

        QTest::newRow("a canonical path") << "" << "{dir}/image.png" << "{dir}/image.png" << true << true;
        QTest::newRow("a path through a link") << "" << "{link}/image.png" << "{link}/image.png" << true << true;
        QTest::newRow("another file") << "{dir}/other.png" << "{dir}/image.png" << "{dir}/image.png" << true
                                      << true;
        QTest::newRow("the same file again") << "{dir}/image.png" << "{dir}/image.png" << "{dir}/image.png"
                                             << false << true;
        QTest::newRow("the file typed before") << "={dir}/image.png" << "{dir}/image.png" << "{dir}/image.png"
                                               << false << true;
        QTest::newRow("cancelled") << "{dir}/other.png" << "" << "{dir}/other.png" << false << false;
    }

    void fileChosen()
    {
        QFETCH(QString, before);
        QFETCH(QString, chosen);
        QFETCH(QString, name);
        QFETCH(bool, announced);
        QFETCH(bool, clicked);

        MTestFolder folder;
        folder.writeFile(QStringLiteral("images/image.png"), "png");
        folder.writeFile(QStringLiteral("images/other.png"), "png");
        const QString dir = QDir(folder.filePath(QStringLiteral("images"))).canonicalPath();
        const QString link = folder.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(dir, link));
        auto expand = [&](QString text) {
            return text.replace(QLatin1String("{dir}"), dir).replace(QLatin1String("{link}"), link);
        };

        MFileNameEdit edit;
        QLineEdit *line = edit.findChild<QLineEdit *>();
        if (before.startsWith(QLatin1Char('=')))
            line->setText(expand(before.mid(1)));
        else
            edit.setFileName(expand(before));
        QSignalSpy changes(&edit, &MFileNameEdit::fileNameChanged);
        QSignalSpy clicks(&edit, &MFileNameEdit::fileButtonClicked);
        MTestDialogScript script;
        if (!chosen.isEmpty())
            script.answerFile(expand(chosen));
        QTest::mouseClick(edit.findChild<QToolButton *>(), Qt::LeftButton);

        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().kind, MUtility::FileDialog);
        QCOMPARE(edit.fileName(), expand(name));
        QCOMPARE(line->text(), expand(name));
        QCOMPARE(spyValues(changes), announced ? QVariantList{expand(name)} : QVariantList());
        QCOMPARE(clicks.count(), clicked ? 1 : 0);
    }

    void fileNameSetAndTyped()
    {
        MFileNameEdit edit;
        QSignalSpy changes(&edit, &MFileNameEdit::fileNameChanged);
        edit.setFileName(QStringLiteral("/a/b.png"));
        edit.setFileName(QStringLiteral("/a/b.png"));
        QCOMPARE(edit.findChild<QLineEdit *>()->text(), QStringLiteral("/a/b.png"));
        QCOMPARE(spyValues(changes), QVariantList{QStringLiteral("/a/b.png")});

        // Typing stores without a word.
        QTest::keyClicks(edit.findChild<QLineEdit *>(), QStringLiteral("x"));
        QCOMPARE(edit.fileName(), QStringLiteral("/a/b.pngx"));
        QCOMPARE(changes.count(), 1);
    }

    // ------------------------------------------------------------ vector

    void vectorSetAndEdited()
    {
        MVector3DEdit edit;
        edit.setMinimum(-10);
        edit.setMaximum(10);
        QSignalSpy changes(&edit, &MVector3DEdit::valueChanged);
        const QVector3D value(1, -2, 3);
        edit.setValue(value);
        edit.setValue(value);
        QCOMPARE(spyValues(changes), QVariantList{value});
        const QList<QDoubleSpinBox *> boxes = edit.findChildren<QDoubleSpinBox *>();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes.at(1)->value(), -2.0);
        QCOMPARE(boxes.at(1)->minimum(), -10.0);

        boxes.at(2)->setValue(5);
        QCOMPARE(edit.value(), QVector3D(1, -2, 5));
        QCOMPARE(changes.count(), 2);
    }
};

QTEST_MAIN(TestEditWidgets)
#include "tst_editwidgets.moc"
