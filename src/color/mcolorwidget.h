#pragma once

#include <QColor>
#include <QWidget>

class MColorGradientWidget;
class MColorListWidget;
class MColorSlider;
class MConnector;
class QComboBox;

// The colour dock's chooser: a picker image, hue/saturation/value and
// red/green/blue sliders, and the strip of generated and recent colours.
// Every part sets the colour through MColorList and the panel follows it.
class MColorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MColorWidget(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    MColorGradientWidget *gradientWidget() const { return m_gradient; }
    MColorListWidget *colorListWidget() const { return m_colorList; }
    QComboBox *typeCombo() const { return m_typeCombo; }
    QComboBox *generatorCombo() const { return m_generatorCombo; }
    MColorSlider *hueSlider() const { return m_hue; }
    MColorSlider *saturationSlider() const { return m_saturation; }
    MColorSlider *valueSlider() const { return m_value; }
    MColorSlider *redSlider() const { return m_red; }
    MColorSlider *greenSlider() const { return m_green; }
    MColorSlider *blueSlider() const { return m_blue; }

public slots:
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers);
    void setColor(const QColor &color);

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);

protected slots:
    void onHue(int value);
    void onSaturation(int value);
    void onValue(int value);
    void onRed(int value);
    void onGreen(int value);
    void onBlue(int value);
    void onAlpha(int value);
    void onType(int type);
    void onGradient(const QColor &color, Qt::KeyboardModifiers modifiers);

private:
    MColorSlider *addSlider(int maximum, const QString &toolTip);
    void connectParts();
    void showColor(const QColor &color);

    QColor m_color = Qt::black;
    MConnector *m_connector;
    MColorGradientWidget *m_gradient = nullptr;
    MColorListWidget *m_colorList = nullptr;
    QComboBox *m_typeCombo = nullptr;
    QComboBox *m_generatorCombo = nullptr;
    MColorSlider *m_hue = nullptr;
    MColorSlider *m_saturation = nullptr;
    MColorSlider *m_value = nullptr;
    MColorSlider *m_red = nullptr;
    MColorSlider *m_green = nullptr;
    MColorSlider *m_blue = nullptr;
};
