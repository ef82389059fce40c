#include "mcolorwidget.h"

#include "mcolorgradientwidget.h"
#include "mcolorlist.h"
#include "mcolorlistwidget.h"
#include "mcolorslider.h"
#include "mconnector.h"
#include "menum.h"
#include "msettings.h"
#include "mutility.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const char *const kSliderStyle =
    "QSlider::groove:horizontal { border: 1px solid #bbb; background: none; height: 10px; } "
    "QSlider::sub-page:horizontal { background: none; border: 1px solid #777; height: 10px; } "
    "QSlider::add-page:horizontal { background: none; border: 1px solid #777; height: 10px; } "
    "QSlider::handle:horizontal { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #eee, stop:1 #ccc); "
    "border: 1px solid #777; width: 6px; margin-top: -2px; margin-bottom: -2px; }";
} // namespace

MColorWidget::MColorWidget(QWidget *parent) : QWidget(parent), m_connector(new MConnector(this))
{
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(4, 2, 4, 2);
    box->setSpacing(5);

    m_typeCombo = new QComboBox(this);
    // Named after what each picker lays out, in picker-type order.
    m_typeCombo->addItems({tr("Hue and value"), tr("Hue and saturation"), tr("Hue, saturation and value"),
                           tr("Color wheel"), tr("Saturation rings"), tr("Value rings"),
                           tr("Saturation and value rings")});
    m_typeCombo->setCurrentIndex(MSettings::instance()->gradientPanelIndex());
    m_typeCombo->setToolTip(tr("Panel type"));

    m_gradient = new MColorGradientWidget(this);
    m_gradient->setToolTip(tr("Color selection panel"));
    box->addWidget(m_gradient);

    m_hue = addSlider(359, tr("Hue"));
    m_saturation = addSlider(255, tr("Saturation"));
    m_value = addSlider(255, tr("Value"));
    m_red = addSlider(255, tr("Red"));
    m_green = addSlider(255, tr("Green"));
    m_blue = addSlider(255, tr("Blue"));

    auto *grid = new QGridLayout();
    grid->setVerticalSpacing(5);
    const QStringList labels{tr("Type"), tr("Hue"), tr("Saturation"), tr("Value"), tr("Red"), tr("Green"), tr("Blue")};
    for (int row = 0; row < labels.size(); ++row)
        grid->addWidget(new QLabel(labels.at(row), this), row, 0);
    grid->addWidget(m_typeCombo, 0, 1);
    const QList<MColorSlider *> sliders{m_hue, m_saturation, m_value, m_red, m_green, m_blue};
    for (int i = 0; i < sliders.size(); ++i)
        grid->addWidget(sliders.at(i), i + 1, 1);
    box->addLayout(grid);

    auto *generatorBox = new QHBoxLayout();
    m_generatorCombo = new QComboBox(this);
    MUtility::fillEnumCombo(MEnum::staticMetaObject, "ColorGenerator", m_generatorCombo, 0);
    m_generatorCombo->setToolTip(tr("Generator type"));
    generatorBox->addWidget(m_generatorCombo);
    box->addLayout(generatorBox);

    auto *stripBox = new QHBoxLayout();
    m_colorList = new MColorListWidget(this);
    m_colorList->setToolTip(tr("Color history"));
    stripBox->addWidget(m_colorList);
    box->addLayout(stripBox);

    QVector<QColor> hues;
    for (int h = 0; h < 360; h += 60)
        hues.append(QColor::fromHsv(h, 255, 255));
    hues.append(QColor(Qt::red));
    m_hue->setColors(hues);

    setColor(QColor(Qt::black), Qt::NoModifier);
}

MColorSlider *MColorWidget::addSlider(int maximum, const QString &toolTip)
{
    auto *slider = new MColorSlider(this);
    slider->setRange(0, maximum);
    slider->setToolTip(toolTip);
    slider->setStyleSheet(QString::fromLatin1(kSliderStyle));
    return slider;
}

void MColorWidget::connectParts()
{
    MConnector *c = m_connector;
    c->add(connect(m_typeCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &MColorWidget::onType));
    c->add(connect(m_gradient, &MColorGradientWidget::colorChanged, this, &MColorWidget::onGradient));
    c->add(connect(m_hue, &QSlider::valueChanged, this, &MColorWidget::onHue));
    c->add(connect(m_saturation, &QSlider::valueChanged, this, &MColorWidget::onSaturation));
    c->add(connect(m_value, &QSlider::valueChanged, this, &MColorWidget::onValue));
    c->add(connect(m_red, &QSlider::valueChanged, this, &MColorWidget::onRed));
    c->add(connect(m_green, &QSlider::valueChanged, this, &MColorWidget::onGreen));
    c->add(connect(m_blue, &QSlider::valueChanged, this, &MColorWidget::onBlue));
    MColorList *list = MColorList::instance();
    c->add(connect(list, &MColorList::colorAdded, m_colorList, qOverload<>(&QWidget::update)));
    c->add(connect(list, &MColorList::colorChanged, this,
                   qOverload<const QColor &, Qt::KeyboardModifiers>(&MColorWidget::setColor)));
    c->add(connect(m_generatorCombo, qOverload<int>(&QComboBox::currentIndexChanged), m_colorList,
                   &MColorListWidget::setColorGenerator));
}

void MColorWidget::setColor(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    // Writing the sliders and the colour list must not come back here.
    m_connector->disconnectAll();
    m_color = color;
    MColorList::instance()->setColor(color, modifiers);
    m_colorList->setBaseColor(color);
    m_gradient->setColor(color);
    showColor(color);
    connectParts();
    emit colorChanged(color, modifiers);
}

void MColorWidget::setColor(const QColor &color)
{
    setColor(color, Qt::NoModifier);
}

void MColorWidget::showColor(const QColor &color)
{
    const int r = color.red();
    const int g = color.green();
    const int b = color.blue();
    m_red->setValue(r);
    m_red->setFirstColor(QColor(0, g, b));
    m_red->setLastColor(QColor(255, g, b));
    m_green->setValue(g);
    m_green->setFirstColor(QColor(r, 0, b));
    m_green->setLastColor(QColor(r, 255, b));
    m_blue->setValue(b);
    m_blue->setFirstColor(QColor(r, g, 0));
    m_blue->setLastColor(QColor(r, g, 255));

    const int h = color.hsvHue();
    const int s = color.hsvSaturation();
    const int v = color.value();
    m_hue->setValue(h);
    m_saturation->setValue(s);
    m_saturation->setFirstColor(QColor::fromHsv(h, 0, v));
    m_saturation->setLastColor(QColor::fromHsv(h, 255, v));
    m_value->setValue(v);
    m_value->setFirstColor(QColor::fromHsv(h, s, 0));
    m_value->setLastColor(QColor::fromHsv(h, s, 255));
}

void MColorWidget::onRed(int value)
{
    QColor c = m_color;
    c.setRed(value);
    setColor(c, Qt::NoModifier);
}

void MColorWidget::onGreen(int value)
{
    QColor c = m_color;
    c.setGreen(value);
    setColor(c, Qt::NoModifier);
}

void MColorWidget::onBlue(int value)
{
    QColor c = m_color;
    c.setBlue(value);
    setColor(c, Qt::NoModifier);
}

// The HSV sliders make an opaque colour: only the RGB sliders keep alpha.
void MColorWidget::onHue(int value)
{
    setColor(QColor::fromHsv(value, m_color.hsvSaturation(), m_color.value(), 255), Qt::NoModifier);
}

void MColorWidget::onSaturation(int value)
{
    setColor(QColor::fromHsv(m_color.hsvHue(), value, m_color.value(), 255), Qt::NoModifier);
}

void MColorWidget::onValue(int value)
{
    setColor(QColor::fromHsv(m_color.hsvHue(), m_color.hsvSaturation(), value, 255), Qt::NoModifier);
}

void MColorWidget::onAlpha(int value)
{
    QColor c = m_color;
    c.setAlpha(value);
    setColor(c, Qt::NoModifier);
}

void MColorWidget::onType(int type)
{
    m_gradient->setType(type);
}

void MColorWidget::onGradient(const QColor &color, Qt::KeyboardModifiers modifiers)
{
    setColor(color, modifiers);
}
