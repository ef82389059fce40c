#include "dcolorutility.h"
#include "ui_dcolorutility.h"

#include "mcolorconversion.h"
#include "mconnector.h"

DColorUtility::DColorUtility(QWidget *parent) : QDialog(parent), ui(new Ui::DColorUtility), m_connector(new MConnector(this))
{
    ui->setupUi(this);
    ui->hexEdit->setApplyOnReturnOnly(true);
    ui->hexEdit->setColor(color());
    connectEditors();
}

DColorUtility::~DColorUtility()
{
    delete ui;
}

QColor DColorUtility::color() const
{
    return QColor(ui->sbRGB_R->value(), ui->sbRGB_G->value(), ui->sbRGB_B->value(), 255);
}

void DColorUtility::connectEditors()
{
    if (m_connector->isConnected())
        return;
    auto ints = [this](std::initializer_list<QSpinBox *> boxes, void (DColorUtility::*slot)()) {
        for (QSpinBox *box : boxes)
            m_connector->add(connect(box, qOverload<int>(&QSpinBox::valueChanged), this, slot));
    };
    auto doubles = [this](std::initializer_list<QDoubleSpinBox *> boxes, void (DColorUtility::*slot)()) {
        for (QDoubleSpinBox *box : boxes)
            m_connector->add(connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this, slot));
    };
    m_connector->add(connect(ui->hexEdit, &MColorEdit::colorChanged, this, &DColorUtility::hexChanged));
    ints({ui->sbRGB_R, ui->sbRGB_G, ui->sbRGB_B}, &DColorUtility::rgbChanged);
    // Toggling sRGB recomputes everything from the RGB 0-255 boxes.
    m_connector->add(connect(ui->cbsRgb, &QCheckBox::clicked, this, &DColorUtility::rgbChanged));
    doubles({ui->sbRGB01_R, ui->sbRGB01_G, ui->sbRGB01_B}, &DColorUtility::rgb01Changed);
    doubles({ui->sbLAB_L, ui->sbLAB_A, ui->sbLAB_B}, &DColorUtility::cielabChanged);
    doubles({ui->sbXYZ_X, ui->sbXYZ_Y, ui->sbXYZ_Z}, &DColorUtility::xyzChanged);
    doubles({ui->sbYxy_Y, ui->sbYxy_x, ui->sbYxy_y}, &DColorUtility::yxyChanged);
    ints({ui->sbHSL_H, ui->sbHSL_S, ui->sbHSL_L}, &DColorUtility::hslChanged);
    ints({ui->sbHSV_H, ui->sbHSV_S, ui->sbHSV_V}, &DColorUtility::hsvChanged);
    ints({ui->sbCMYK_C, ui->sbCMYK_M, ui->sbCMYK_Y, ui->sbCMYK_K}, &DColorUtility::cmykChanged);
}

void DColorUtility::hexChanged() { run(Hex); }
void DColorUtility::rgbChanged() { run(Rgb); }
void DColorUtility::rgb01Changed() { run(Rgb01); }
void DColorUtility::cielabChanged() { run(Cielab); }
void DColorUtility::xyzChanged() { run(Xyz); }
void DColorUtility::yxyChanged() { run(Yxy); }
void DColorUtility::hslChanged() { run(Hsl); }
void DColorUtility::hsvChanged() { run(Hsv); }
void DColorUtility::cmykChanged() { run(Cmyk); }

void DColorUtility::run(Source source)
{
    m_source = source;
    updateEditors(source);
}

QColor DColorUtility::colorFrom(Source source, bool srgb) const
{
    QColor c;
    switch (source) {
    case Hex:
        return ui->hexEdit->color();
    case Rgb:
        return color();
    case Rgb01:
        return QColor::fromRgbF(ui->sbRGB01_R->value(), ui->sbRGB01_G->value(), ui->sbRGB01_B->value(), 1.0);
    case Cielab:
        colorLabToQColor(ui->sbLAB_L->value(), ui->sbLAB_A->value(), ui->sbLAB_B->value(), srgb, c);
        return c;
    case Xyz:
        colorXyzToQColor(ui->sbXYZ_X->value(), ui->sbXYZ_Y->value(), ui->sbXYZ_Z->value(), srgb, c);
        return c;
    case Yxy: {
        double x, z;
        const double y = ui->sbYxy_Y->value();
        yxyToXyz(y, ui->sbYxy_x->value(), ui->sbYxy_y->value(), x, z);
        colorXyzToQColor(x, y, z, srgb, c);
        return c;
    }
    case Hsl:
        return QColor::fromHsl(ui->sbHSL_H->value(), ui->sbHSL_S->value(), ui->sbHSL_L->value(), 255);
    case Hsv:
        return QColor::fromHsv(ui->sbHSV_H->value(), ui->sbHSV_S->value(), ui->sbHSV_V->value(), 255);
    case Cmyk:
        return QColor::fromCmyk(ui->sbCMYK_C->value(), ui->sbCMYK_M->value(), ui->sbCMYK_Y->value(),
                                ui->sbCMYK_K->value(), 255);
    }
    return c;
}

void DColorUtility::updateEditors(Source source)
{
    const bool srgb = ui->cbsRgb->isChecked();
    const QColor c = colorFrom(source, srgb);
    if (!c.isValid())
        return;
    // Writing the fields must run none of the slots above.
    m_connector->disconnectAll();
    if (source != Rgb) {
        ui->sbRGB_R->setValue(c.red());
        ui->sbRGB_G->setValue(c.green());
        ui->sbRGB_B->setValue(c.blue());
    }
    if (source != Rgb01) {
        ui->sbRGB01_R->setValue(c.redF());
        ui->sbRGB01_G->setValue(c.greenF());
        ui->sbRGB01_B->setValue(c.blueF());
    }
    if (source != Hex)
        ui->hexEdit->setColor(c);
    double x, y, z;
    qColorToXyz(c, srgb, x, y, z);
    if (source != Xyz) {
        ui->sbXYZ_X->setValue(x);
        ui->sbXYZ_Y->setValue(y);
        ui->sbXYZ_Z->setValue(z);
    }
    if (source != Yxy) {
        double cx, cy;
        xyzToYxy(x, y, z, cx, cy);
        ui->sbYxy_Y->setValue(y);
        ui->sbYxy_x->setValue(cx);
        ui->sbYxy_y->setValue(cy);
    }
    if (source != Cielab) {
        double l, a, b;
        qColorToLab(c, srgb, l, a, b);
        ui->sbLAB_L->setValue(l);
        ui->sbLAB_A->setValue(a);
        ui->sbLAB_B->setValue(b);
    }
    if (source != Hsl) {
        const QColor hsl = c.toHsl();
        ui->sbHSL_H->setValue(hsl.hslHue());
        ui->sbHSL_S->setValue(hsl.hslSaturation());
        ui->sbHSL_L->setValue(hsl.lightness());
    }
    if (source != Hsv) {
        const QColor hsv = c.toHsv();
        ui->sbHSV_H->setValue(hsv.hsvHue());
        ui->sbHSV_S->setValue(hsv.hsvSaturation());
        ui->sbHSV_V->setValue(hsv.value());
    }
    if (source != Cmyk) {
        const QColor cmyk = c.toCmyk();
        ui->sbCMYK_C->setValue(cmyk.cyan());
        ui->sbCMYK_M->setValue(cmyk.magenta());
        ui->sbCMYK_Y->setValue(cmyk.yellow());
        ui->sbCMYK_K->setValue(cmyk.black());
    }
    connectEditors();
}

void DColorUtility::on_setBrushColorBtn_clicked()
{
    emit setBrushColor(color(), Qt::NoModifier);
}

void DColorUtility::on_addColorToPaletteBtn_clicked()
{
    emit addColorToPalette(color());
}
