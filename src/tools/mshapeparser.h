#pragma once

#include <QRectF>
#include <QString>

// Evaluates a shape's size expression (W, H, numbers, + - * / and
// parentheses) against a reference rectangle. It never fails: bad characters
// are skipped and missing operands keep the value their slot holds.
class MShapeParser
{
public:
    MShapeParser();
    virtual ~MShapeParser() = default;

    void setRect(const QRectF &rect) { m_rect = rect; }
    QRectF rect() const { return m_rect; }
    double evaluate(const QString &expression);

private:
    void nextToken();
    void expression(double &value);
    void term(double &value);
    void factor(double &value);

    QString m_text;
    int m_length = 0;
    int m_position = 0;
    double m_number = 0;
    int m_token = 0;
    QRectF m_rect;
};
