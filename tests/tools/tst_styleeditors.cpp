#include "mbrushstyle.h"
#include "mbrushstylewidget.h"
#include "mcoloredit.h"
#include "mfontstyle.h"
#include "mfontstylewidget.h"
#include "mstrokestyle.h"
#include "mstrokestylewidget.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPainter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <memory>
#include <vector>

namespace {
// Hears every signal an object sends.
class SignalLog
{
public:
    explicit SignalLog(QObject *object)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() == QMetaMethod::Signal)
                m_spies.emplace_back(new QSignalSpy(object, method));
        }
    }
    QStringList heard() const
    {
        QStringList names;
        for (const auto &spy : m_spies)
            if (spy->count() > 0)
                names << QString::fromLatin1(spy->signal());
        return names;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

QVariantMap propertiesOf(const QObject *object)
{
    QVariantMap values;
    const QMetaObject *meta = object->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        values.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(object));
    return values;
}

// Picks the item the painter reads as text.
void choose(QWidget *enumEdit, const QString &text)
{
    auto *combo = enumEdit->findChild<QComboBox *>();
    QVERIFY(combo);
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

// Styles holding values that the editors cannot all show: a stroke wider
// than its box, a font size and spacing past theirs, a family not installed.
struct Fixture
{
    MStrokeStyle stroke;
    MBrushStyle brush;
    MFontStyle font;
    MStrokeStyleWidget strokeEditor;
    MBrushStyleWidget brushEditor;
    MFontStyleWidget fontEditor;

    Fixture()
    {
        stroke.set_strokeSize(150.0);
        stroke.set_strokeColor(QColor(10, 120, 30));
        stroke.set_strokeStyle(MStrokeStyle::DashDotLine);
        brush.set_brushColor(QColor(200, 100, 0));
        brush.set_gradientColor(QColor(0, 0, 90));
        brush.set_gradientStyle(MBrushStyle::VerticalGradient);
        font.set_fontName(QStringLiteral("No Such Family Anywhere"));
        font.set_size(600);
        font.set_bold(true);
        font.set_letterSpacing(1500.0);
        font.set_letterSpacingType(MFontStyle::AbsoluteSpacing);
    }
};
} // namespace

class TestStyleEditors : public QObject
{
    Q_OBJECT

private slots:
    void forms_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("stroke") << "stroke" << "Stroke style" << QSize(234, 92)
                                << QStringList{"Stroke color", "Stroke size", "Stroke style"};
        QTest::newRow("brush") << "brush" << "Brush style" << QSize(242, 92)
                               << QStringList{"Brush color", "Gradient color", "Gradient style"};
        QTest::newRow("font") << "font" << "Font style" << QSize(265, 194)
                              << QStringList{"Height", "Font", "Bold", "Italic", "Underline", "StrikeOut",
                                             "Letter spacing", "Spacing type"};
    }

    void forms()
    {
        QFETCH(QString, editor);
        QFETCH(QString, title);
        QFETCH(QSize, size);
        QFETCH(QStringList, labels);
        Fixture f;
        QWidget *widget = editor == "stroke" ? static_cast<QWidget *>(&f.strokeEditor)
            : editor == "brush"              ? static_cast<QWidget *>(&f.brushEditor)
                                             : static_cast<QWidget *>(&f.fontEditor);
        QCOMPARE(widget->windowTitle(), title);
        QCOMPARE(widget->size(), size);
        QStringList shown;
        for (QLabel *label : widget->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
            shown << label->text();
        QCOMPARE(shown, labels);
    }

    // Filling the editors, and writing them back untouched, changes nothing
    // in the styles, even where a widget cannot show the style's value.
    void refreshWritesNothing()
    {
        Fixture f;
        const QVariantMap stroke = propertiesOf(&f.stroke);
        const QVariantMap brush = propertiesOf(&f.brush);
        const QVariantMap font = propertiesOf(&f.font);
        SignalLog strokeLog(&f.stroke), brushLog(&f.brush), fontLog(&f.font);
        f.strokeEditor.setStyle(&f.stroke);
        f.brushEditor.setStyle(&f.brush);
        f.fontEditor.setStyle(&f.font);
        f.strokeEditor.objectToWidgets();
        f.brushEditor.objectToWidgets();
        f.fontEditor.objectToWidgets();
        f.strokeEditor.widgetsToObject();
        f.brushEditor.widgetsToObject();
        f.fontEditor.widgetsToObject();
        QCOMPARE(strokeLog.heard(), QStringList());
        QCOMPARE(brushLog.heard(), QStringList());
        QCOMPARE(fontLog.heard(), QStringList());
        QCOMPARE(propertiesOf(&f.stroke), stroke);
        QCOMPARE(propertiesOf(&f.brush), brush);
        QCOMPARE(propertiesOf(&f.font), font);
        // What the widgets show.
        QCOMPARE(f.strokeEditor.findChild<QDoubleSpinBox *>("editStrokeSize")->value(), 99.99);
        QCOMPARE(f.fontEditor.findChild<QSpinBox *>("editHeight")->value(), 500);
        QVERIFY(f.fontEditor.findChild<QCheckBox *>("editFontBold")->isChecked());
        QCOMPARE(f.brushEditor.findChild<QComboBox *>()->count(), 7);
    }

    // Each edit reaches its own property and no other.
    void strokeEditsOneRow()
    {
        Fixture f;
        f.strokeEditor.setStyle(&f.stroke);
        f.strokeEditor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.strokeEditor));
        SignalLog log(&f.stroke);
        MTestModalDriver::typeOver(f.strokeEditor.findChild<QWidget *>("editStrokeColor")->findChild<QLineEdit *>(), QStringLiteral("#ff0000"));
        QCOMPARE(f.stroke.strokeColor(), QColor(255, 0, 0));
        QCOMPARE(f.stroke.strokeSize(), 150.0);
        choose(f.strokeEditor.findChild<QWidget *>("editStrokeStyle"), QStringLiteral("Dot"));
        QCOMPARE(f.stroke.strokeStyle(), int(MStrokeStyle::DotLine));
        QCOMPARE(f.stroke.strokeSize(), 150.0);
        QCOMPARE(log.heard(), (QStringList{"strokeColorChanged(QColor)", "strokeStyleChanged(int)"}));
        MTestModalDriver::typeOver(f.strokeEditor.findChild<QDoubleSpinBox *>("editStrokeSize"), QStringLiteral("42"));
        QCOMPARE(f.stroke.strokeSize(), 42.0);
        QCOMPARE(f.stroke.strokeColor(), QColor(255, 0, 0));
    }

    void brushEditsOneRow()
    {
        Fixture f;
        f.brushEditor.setStyle(&f.brush);
        SignalLog log(&f.brush);
        choose(f.brushEditor.findChild<QWidget *>("editGradientStyle"), QStringLiteral("Radial"));
        QCOMPARE(f.brush.gradientStyle(), int(MBrushStyle::RadialGradient));
        QCOMPARE(log.heard(), QStringList{"gradientStyleChanged(int)"});
        f.brushEditor.findChild<MColorEdit *>("editGradientColor")->setColor(QColor(1, 2, 3));
        QCOMPARE(f.brush.gradientColor(), QColor(1, 2, 3));
        QCOMPARE(f.brush.brushColor(), QColor(200, 100, 0));
    }

    void fontEditsOneRow()
    {
        Fixture f;
        f.fontEditor.setStyle(&f.font);
        f.fontEditor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.fontEditor));
        SignalLog log(&f.font);
        auto *italic = f.fontEditor.findChild<QCheckBox *>("editFontItalic");
        MTestModalDriver::click(italic);
        QVERIFY(f.font.italic());
        QCOMPARE(log.heard(), (QStringList{"italicChanged(bool)", "fontStyleChanged(MFontStyle*)"}));
        // An explicit write after the edit repeats nothing and adds nothing.
        f.fontEditor.widgetsToObject();
        QCOMPARE(f.font.size(), 600);
        QCOMPARE(f.font.letterSpacing(), 1500.0);
        QCOMPARE(f.font.fontName(), QStringLiteral("No Such Family Anywhere"));
        f.fontEditor.findChild<QSpinBox *>("editHeight")->setValue(20);
        QCOMPARE(f.font.size(), 20);
        auto *families = f.fontEditor.findChild<QFontComboBox *>("editFontName");
        QVERIFY(families->count() > 1);
        const int other = families->currentIndex() == 0 ? 1 : 0;
        families->setCurrentIndex(other);
        QCOMPARE(f.font.fontName(), families->itemText(other));
        choose(f.fontEditor.findChild<QWidget *>("editSpacingType"), QStringLiteral("Percentage"));
        QCOMPARE(f.font.letterSpacingType(), int(MFontStyle::PercentageSpacing));
        QCOMPARE(f.font.letterSpacing(), 1500.0);
    }

    // A style removed under its editor leaves the editor harmless.
    void styleGoneUnderEditor()
    {
        MStrokeStyleWidget editor;
        auto *style = new MStrokeStyle;
        editor.setStyle(style);
        delete style;
        QCOMPARE(editor.style(), nullptr);
        editor.findChild<QDoubleSpinBox *>("editStrokeSize")->setValue(3);
        editor.widgetsToObject();
        editor.objectToWidgets();
    }

    void screenshot()
    {
        Fixture f;
        f.stroke.set_strokeSize(4);
        f.font.set_fontName(QStringLiteral("DejaVu Sans"));
        f.font.set_size(24);
        f.font.set_letterSpacing(100);
        f.strokeEditor.setStyle(&f.stroke);
        f.brushEditor.setStyle(&f.brush);
        f.fontEditor.setStyle(&f.font);
        QWidget *editors[] = {&f.strokeEditor, &f.brushEditor, &f.fontEditor};
        QList<QImage> shots;
        int height = 0, width = 0;
        for (QWidget *editor : editors) {
            editor->show();
            QVERIFY(QTest::qWaitForWindowExposed(editor));
            shots << editor->grab().toImage();
            height += shots.last().height() + 10;
            width = qMax(width, shots.last().width());
        }
        QImage sheet(width, height, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        int y = 0;
        for (const QImage &shot : qAsConst(shots)) {
            painter.drawImage(0, y, shot);
            y += shot.height() + 10;
        }
        painter.end();
        MTestScreenshot::keep(sheet, QStringLiteral("kalmidraw-style-editors.png"));
    }
};

QTEST_MAIN(TestStyleEditors)
#include "tst_styleeditors.moc"
