#include "mshapeparser.h"

#include "mshape.h"

MShapeParser::MShapeParser()
    : m_token(MShape::NoneToken)
    , m_rect(0, 0, 100, 100)
{
}

double MShapeParser::evaluate(const QString &expression)
{
    m_error.clear();
    m_depth = 0;
    if (expression.isEmpty())
        return 0;
    m_text = expression;
    m_length = expression.length();
    m_position = 0;
    m_token = MShape::EndToken;
    m_number = 0;
    double result = 0;
    nextToken();
    this->expression(result);
    return m_error.isEmpty() ? result : 0;
}

void MShapeParser::nextToken()
{
    while (m_position < m_length) {
        const QChar c = m_text.at(m_position);
        if (c == QLatin1Char(' ')) {
            ++m_position;
            continue;
        }
        if (c.isDigit()) {
            const int start = m_position;
            while (m_position < m_length && m_text.at(m_position).isDigit())
                ++m_position;
            if (m_position < m_length && m_text.at(m_position) == QLatin1Char('.')) {
                ++m_position;
                while (m_position < m_length && m_text.at(m_position).isDigit())
                    ++m_position;
            }
            // Single precision on purpose: shapes were designed against it.
            m_number = double(m_text.mid(start, m_position - start).toFloat());
            m_token = MShape::NumberToken;
            return;
        }
        ++m_position;
        switch (c.unicode()) {
        case '+': m_token = MShape::PlusToken; return;
        case '-': m_token = MShape::MinusToken; return;
        case '*': m_token = MShape::MultToken; return;
        case '/': m_token = MShape::DivToken; return;
        case '(': m_token = MShape::OpenParToken; return;
        case ')': m_token = MShape::CloseParToken; return;
        case 'W': case 'w': m_token = MShape::WidthToken; return;
        case 'H': case 'h': m_token = MShape::HeightToken; return;
        default:
            m_number = 0;
            m_token = MShape::ErrorToken;
            return;
        }
    }
    m_token = MShape::EndToken;
}

void MShapeParser::expression(double &value)
{
    const int sign = m_token;
    if (sign == MShape::PlusToken || sign == MShape::MinusToken)
        nextToken();
    term(value);
    if (sign == MShape::MinusToken)
        value = -value;
    double operand = 0;
    while (m_token == MShape::PlusToken || m_token == MShape::MinusToken) {
        const int op = m_token;
        nextToken();
        term(operand);
        value = op == MShape::PlusToken ? value + operand : value - operand;
    }
}

void MShapeParser::term(double &value)
{
    factor(value);
    double operand = 0;
    while (m_token == MShape::MultToken || m_token == MShape::DivToken) {
        const int op = m_token;
        nextToken();
        factor(operand);
        if (op == MShape::MultToken)
            value *= operand;
        else if (operand != 0)
            value /= operand;
    }
}

void MShapeParser::factor(double &value)
{
    switch (m_token) {
    case MShape::OpenParToken:
        if (m_depth >= MaximumDepth) {
            m_error = QStringLiteral("more than %1 nested parentheses").arg(MaximumDepth);
            // Nothing after this is read: every level returns at once.
            m_position = m_length;
            m_token = MShape::EndToken;
            break;
        }
        ++m_depth;
        nextToken();
        expression(value);
        nextToken();
        --m_depth;
        break;
    case MShape::WidthToken:
        value = m_rect.width();
        nextToken();
        break;
    case MShape::HeightToken:
        value = m_rect.height();
        nextToken();
        break;
    case MShape::NumberToken:
        value = m_number;
        nextToken();
        break;
    case MShape::ErrorToken:
        nextToken();
        break;
    default:
        break;
    }
}
