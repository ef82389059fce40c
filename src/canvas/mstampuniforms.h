#pragma once

#include <QPointF>
#include <QVector>

#include <array>

class QOpenGLShaderProgram;
class QOpenGLVertexArrayObject;

// The locations of everything a stamp pass sets in one program, looked up
// once, and the last values sent, so that a pass sends only what changed.
// Kept per program for every queue: documents that share a program list
// share its programs.
class MStampUniforms
{
public:
    enum Slot {
        Mvp,
        BorderColor,
        StampCount,
        TexturePos,
        TextureSize,
        TextureBorder,
        PaintedPos,
        PaintedWidth,
        PaintedHeight,
        Random,
        InheritUnder,
        AlphaEquation,
        HasTexture,
        ClipToSelection,
        CurrentSampler,
        UnderSampler,
        BrushSampler,
        ColorSampler,
        SelectionSampler,
        FirstSetting
    };

    explicit MStampUniforms(QOpenGLShaderProgram *program);

    // The program's uniforms, whatever queue draws with it.
    static MStampUniforms *forProgram(QOpenGLShaderProgram *program);

    int location(int slot) const { return m_locations.at(slot); }
    bool isActive(int slot) const { return m_locations.at(slot) >= 0; }

    void setFloat(int slot, float x) { set(slot, {x, 0.0f, 0.0f, 0.0f}, 1); }
    void setVec2(int slot, const QPointF &p) { set(slot, {float(p.x()), float(p.y()), 0.0f, 0.0f}, 2); }
    void setVec4(int slot, const std::array<float, 4> &v) { set(slot, v, 4); }
    void setInt(int slot, int x);

    // The vertex layout for this program, into the bound buffer.
    void setAttributes(QOpenGLVertexArrayObject *vertexArray);
    void releaseAttributes(QOpenGLVertexArrayObject *vertexArray);

private:
    // components -1: one integer.
    void set(int slot, const std::array<float, 4> &value, int components);

    QOpenGLShaderProgram *m_program;
    QVector<int> m_locations;
    QVector<std::array<float, 4>> m_last;
    QVector<bool> m_known;
    QVector<int> m_attributes;
};
