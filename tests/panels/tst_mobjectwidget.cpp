#include "mcoloredit.h"
#include "mfield.h"
#include "mobjectwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {
class Settings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int count READ count WRITE setCount NOTIFY countChanged)
    Q_PROPERTY(int mode READ mode WRITE setMode NOTIFY modeChanged)
    Q_PROPERTY(double size READ size WRITE setSize NOTIFY sizeChanged)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QString name MEMBER m_name)
public:
    int count() const { return m_count; }
    int mode() const { return m_mode; }
    double size() const { return m_size; }
    bool enabled() const { return m_enabled; }
    QColor color() const { return m_color; }
    void setCount(int v) { if (v != m_count) { m_count = v; ++writes; emit countChanged(v); } }
    void setMode(int v) { if (v != m_mode) { m_mode = v; ++writes; emit modeChanged(v); } }
    void setSize(double v) { if (v != m_size) { m_size = v; ++writes; emit sizeChanged(v); } }
    void setEnabled(bool v) { if (v != m_enabled) { m_enabled = v; ++writes; emit enabledChanged(v); } }
    void setColor(const QColor &v) { if (v != m_color) { m_color = v; ++writes; emit colorChanged(v); } }

    int m_count = 3;
    int m_mode = 20;
    double m_size = 2.5;
    bool m_enabled = false;
    QColor m_color = Qt::red;
    QString m_name = "plain";
    int writes = 0;

signals:
    void countChanged(int);
    void modeChanged(int);
    void sizeChanged(double);
    void enabledChanged(bool);
    void colorChanged(const QColor &);
};

// A panel as a derived editor makes it: one editor per descriptor.
class Panel : public MObjectWidget
{
public:
    Panel()
    {
        add("count", QMetaType::Int, spin = new QSpinBox(this));
        spin->setRange(0, 10);
        MField *modeField = add("mode", QMetaType::Int, combo = new QComboBox(this));
        modeField->addPickItem("ten", 10);
        modeField->addPickItem("twenty", 20);
        combo->addItem("ten", 10);
        combo->addItem("twenty", 20);
        add("size", QMetaType::Double, doubleSpin = new QDoubleSpinBox(this));
        add("enabled", QMetaType::Bool, check = new QCheckBox(this));
        add("color", QMetaType::QColor, colorEdit = new MColorEdit(this));
        // Neither a type the binder knows nor, for "size2", the editor class its type asks for.
        add("name", QMetaType::QString, new QLineEdit(this));
        add("size2", QMetaType::Double, wrongClass = new QSpinBox(this));
    }

    MField *add(const char *name, int type, QWidget *editor)
    {
        auto field = std::make_unique<MField>();
        field->setName(name);
        field->setType(type);
        bindField(field.get(), editor);
        owned.push_back(std::move(field));
        return owned.back().get();
    }

    std::vector<std::unique_ptr<MField>> owned;
    QSpinBox *spin;
    QComboBox *combo;
    QDoubleSpinBox *doubleSpin;
    QCheckBox *check;
    MColorEdit *colorEdit;
    QSpinBox *wrongClass;
};
} // namespace

class TestMObjectWidget : public QObject
{
    Q_OBJECT

private slots:
    void objectFillsTheEditors()
    {
        Panel panel;
        Settings settings;
        QSignalSpy changed(&panel, &MObjectWidget::objectChanged);
        panel.set_object(&settings);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!panel.isHidden());
        QCOMPARE(panel.spin->value(), 3);
        QCOMPARE(panel.combo->currentIndex(), 1);
        QCOMPARE(panel.doubleSpin->value(), 2.5);
        QVERIFY(!panel.check->isChecked());
        QCOMPARE(panel.colorEdit->color(), QColor(Qt::red));
        QVERIFY(panel.spin->isEnabled());
        QCOMPARE(settings.writes, 0);
        QVERIFY(!panel.editorValue("name").isValid());
        QVERIFY(!panel.editorValue("size2").isValid());
    }

    // Each editor edited as a painter would, the object following at once,
    // and the object changed from outside, the editor following.
    void roundTrip()
    {
        Panel panel;
        Settings settings;
        panel.set_object(&settings);

        QTest::mouseClick(panel.check, Qt::LeftButton);
        QCOMPARE(settings.enabled(), true);
        panel.spin->setValue(7);
        QCOMPARE(settings.count(), 7);
        panel.combo->setCurrentIndex(0);
        QCOMPARE(settings.mode(), 10);
        panel.doubleSpin->setValue(4.25);
        QCOMPARE(settings.size(), 4.25);
        panel.colorEdit->setColor(QColor("#123456"));
        QCOMPARE(settings.color(), QColor("#123456"));
        QCOMPARE(settings.writes, 5);
        QCOMPARE(settings.m_name, QString("plain"));
        QVERIFY(!settings.property("size2").isValid());

        settings.setEnabled(false);
        QVERIFY(!panel.check->isChecked());
        settings.setCount(2);
        QCOMPARE(panel.spin->value(), 2);
        settings.setMode(20);
        QCOMPARE(panel.combo->currentIndex(), 1);
        settings.setColor(Qt::blue);
        QCOMPARE(panel.colorEdit->color(), QColor(Qt::blue));
    }

    // A value the editor cannot show is left alone when another editor changes.
    void untouchedEditorsWriteNothing()
    {
        Panel panel;
        Settings settings;
        settings.m_count = 50;  // beyond the spin box's 10
        settings.m_mode = 15;   // not in the pick list
        panel.set_object(&settings);
        QCOMPARE(panel.spin->value(), 10);
        QCOMPARE(panel.combo->currentIndex(), -1);
        panel.doubleSpin->setValue(9.0);
        QCOMPARE(settings.size(), 9.0);
        QCOMPARE(settings.count(), 50);
        QCOMPARE(settings.mode(), 15);
        // An edit of the clamped editor itself is written.
        panel.spin->setValue(4);
        QCOMPARE(settings.count(), 4);
    }

    void rebindingAndUnbinding()
    {
        Panel panel;
        Settings first;
        Settings second;
        second.m_count = 8;
        QSignalSpy changed(&panel, &MObjectWidget::objectChanged);
        panel.set_object(&first);
        panel.set_object(&first);
        QCOMPARE(changed.count(), 1);

        panel.set_object(&second);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(panel.spin->value(), 8);
        // The first object is no longer bound either way.
        first.setCount(1);
        QCOMPARE(panel.spin->value(), 8);
        panel.spin->setValue(6);
        QCOMPARE(first.count(), 1);
        QCOMPARE(second.count(), 6);

        panel.set_object(nullptr);
        QCOMPARE(changed.count(), 2);
        QVERIFY(panel.isHidden());
        QVERIFY(!panel.spin->isEnabled());
        QVERIFY(!panel.colorEdit->isEnabled());
        panel.spin->setValue(5);
        QCOMPARE(second.count(), 6);
    }

    void unboundPanelStartsHiddenAndDisabled()
    {
        Panel panel;
        QVERIFY(!panel.spin->isEnabled());
        QVERIFY(!panel.object());
    }
};

QTEST_MAIN(TestMObjectWidget)
#include "tst_mobjectwidget.moc"
