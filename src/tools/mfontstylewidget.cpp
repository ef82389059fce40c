#include "mfontstylewidget.h"
#include "ui_mfontstylewidget.h"

#include "mconnector.h"
#include "mfontstyle.h"

MFontStyleWidget::MFontStyleWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MFontStyleWidget)
    , m_editors(new MConnector(this))
{
    ui->setupUi(this);
    ui->editSpacingType->setEnumName(MFontStyle::staticMetaObject, "SpacingType");
}

MFontStyleWidget::~MFontStyleWidget()
{
    m_editors->disconnectAll();
    delete ui;
}

void MFontStyleWidget::setStyle(MFontStyle *style)
{
    m_style = style;
    objectToWidgets();
}

MFontStyleWidget::Shown MFontStyleWidget::widgetValues() const
{
    Shown shown;
    shown.fontName = ui->editFontName->currentText();
    shown.size = ui->editHeight->value();
    shown.bold = ui->editFontBold->isChecked();
    shown.italic = ui->editFontItalic->isChecked();
    shown.underline = ui->editFontUnderline->isChecked();
    shown.strikeOut = ui->editFontStrikeOut->isChecked();
    shown.letterSpacing = ui->editLetterSpacing->value();
    shown.letterSpacingType = ui->editSpacingType->value();
    return shown;
}

void MFontStyleWidget::connectEditors()
{
    MFontStyle *style = m_style;
    // The shown values follow each edit, so that a later widgetsToObject()
    // does not take the edit for a new one.
    m_editors->add(connect(ui->editFontName, QOverload<int>::of(&QComboBox::currentIndexChanged), style, [this] {
        m_shown.fontName = ui->editFontName->currentText();
        m_style->set_fontName(m_shown.fontName);
    }));
    m_editors->add(connect(ui->editHeight, QOverload<int>::of(&QSpinBox::valueChanged), style, [this](int value) {
        m_shown.size = value;
        m_style->set_size(value);
    }));
    const struct
    {
        QCheckBox *box;
        bool Shown::*shown;
        void (MFontStyle::*setter)(bool);
    } boxes[] = {
        {ui->editFontBold, &Shown::bold, &MFontStyle::set_bold},
        {ui->editFontItalic, &Shown::italic, &MFontStyle::set_italic},
        {ui->editFontUnderline, &Shown::underline, &MFontStyle::set_underline},
        {ui->editFontStrikeOut, &Shown::strikeOut, &MFontStyle::set_strikeOut},
    };
    for (const auto &row : boxes) {
        const auto shown = row.shown;
        const auto setter = row.setter;
        m_editors->add(connect(row.box, &QCheckBox::clicked, style, [this, shown, setter](bool value) {
            m_shown.*shown = value;
            (m_style->*setter)(value);
        }));
    }
    m_editors->add(connect(ui->editLetterSpacing, QOverload<double>::of(&QDoubleSpinBox::valueChanged), style,
                           [this](double value) {
                               m_shown.letterSpacing = value;
                               m_style->set_letterSpacing(value);
                           }));
    m_editors->add(connect(ui->editSpacingType, &MEnumEdit::valueChanged, style, [this](int value) {
        m_shown.letterSpacingType = value;
        m_style->set_letterSpacingType(value);
    }));
}

void MFontStyleWidget::objectToWidgets()
{
    m_editors->disconnectAll();
    if (!m_style)
        return;
    ui->editFontName->setCurrentText(m_style->fontName());
    ui->editHeight->setValue(m_style->size());
    ui->editFontBold->setChecked(m_style->bold());
    ui->editFontItalic->setChecked(m_style->italic());
    ui->editFontUnderline->setChecked(m_style->underline());
    ui->editFontStrikeOut->setChecked(m_style->strikeOut());
    ui->editSpacingType->setValue(m_style->letterSpacingType());
    ui->editLetterSpacing->setValue(m_style->letterSpacing());
    m_shown = widgetValues();
    connectEditors();
}

void MFontStyleWidget::widgetsToObject()
{
    if (!m_style)
        return;
    m_editors->disconnectAll();
    const Shown now = widgetValues();
    if (now.fontName != m_shown.fontName)
        m_style->set_fontName(now.fontName);
    if (now.size != m_shown.size)
        m_style->set_size(now.size);
    if (now.bold != m_shown.bold)
        m_style->set_bold(now.bold);
    if (now.italic != m_shown.italic)
        m_style->set_italic(now.italic);
    if (now.underline != m_shown.underline)
        m_style->set_underline(now.underline);
    if (now.strikeOut != m_shown.strikeOut)
        m_style->set_strikeOut(now.strikeOut);
    if (now.letterSpacing != m_shown.letterSpacing)
        m_style->set_letterSpacing(now.letterSpacing);
    if (now.letterSpacingType != m_shown.letterSpacingType)
        m_style->set_letterSpacingType(now.letterSpacingType);
    m_shown = now;
    connectEditors();
}
