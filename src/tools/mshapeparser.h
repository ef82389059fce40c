#pragma once

#include <QRectF>
#include <QString>

// Evaluates a shape's size expression (W, H, numbers, + - * / and
// parentheses) against a reference rectangle. Bad characters are skipped and
// missing operands keep the value their slot holds; only parentheses nested
// deeper than MaximumDepth are refused (the value is then 0), since each
// level costs stack.
class MShapeParser
{
public:
    static constexpr int MaximumDepth = 100;

    MShapeParser();
    virtual ~MShapeParser() = default;

    void setRect(const QRectF &rect) { m_rect = rect; }
    QRectF rect() const { return m_rect; }
    double evaluate(const QString &expression);
    // Why the last expression was refused; empty when it was not.
    QString error() const { return m_error; }

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
    int m_depth = 0;
    QString m_error;
    QRectF m_rect;
};
