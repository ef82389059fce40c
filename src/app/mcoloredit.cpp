#include "mcoloredit.h"

#include "mcolorpickerbutton.h"
#include "mconnector.h"
#include "mutility.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace {
const QString kColorPattern = QStringLiteral("[#][0-9A-Fa-f]{6}");
} // namespace

MColorEdit::MColorEdit(QWidget *parent)
    : QWidget(parent), m_textConnection(new MConnector(this)), m_lineEdit(new QLineEdit(this)),
      m_button(new QToolButton(this)), m_pickerButton(new MColorPickerButton(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_lineEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(kColorPattern), m_lineEdit));
    m_lineEdit->setPlaceholderText(tr("Enter a #rrggbb color and press Enter"));
    layout->addWidget(m_lineEdit);
    layout->addWidget(m_button);
    layout->addWidget(m_pickerButton);

    m_textConnection->add(connect(m_lineEdit, &QLineEdit::textChanged, this, &MColorEdit::onTextChanged));
    connect(m_lineEdit, &QLineEdit::returnPressed, this, &MColorEdit::onReturnPressed);
    connect(m_button, &QToolButton::clicked, this, &MColorEdit::onButtonClick);
    connect(m_pickerButton, &MColorPickerButton::colorChanged, this, &MColorEdit::setColor);
}

void MColorEdit::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    // The text the user is typing stays as it is when it already names the colour.
    if (m_lineEdit->text().trimmed().compare(color.name(), Qt::CaseInsensitive) != 0) {
        m_textConnection->disconnectAll();
        m_lineEdit->setText(color.name());
        m_textConnection->add(connect(m_lineEdit, &QLineEdit::textChanged, this, &MColorEdit::onTextChanged));
    }
    m_button->setIcon(MUtility::colorIcon(color, 16, 16));
    emit colorChanged(color);
}

void MColorEdit::onTextChanged(const QString &text)
{
    if (!m_applyOnReturnOnly)
        applyText(text);
}

void MColorEdit::onReturnPressed()
{
    applyText(m_lineEdit->text());
}

void MColorEdit::applyText(const QString &text)
{
    static const QRegularExpression complete(QRegularExpression::anchoredPattern(kColorPattern));
    const QString name = text.trimmed();
    if (complete.match(name).hasMatch())
        setColor(QColor(name));
}

void MColorEdit::onButtonClick()
{
    QColor color = m_color;
    if (MUtility::pickColor(color, tr("Color")))
        setColor(color);
}
