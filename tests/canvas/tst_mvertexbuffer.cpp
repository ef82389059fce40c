#include "mquadtransform.h"
#include "mshaderprogramlist.h"
#include "mtestglcontext.h"
#include "mvertexbuffer.h"

#include <QColor>
#include <QRectF>
#include <QTest>

#include <cstddef>
#include <vector>

class TestMVertexBuffer : public QObject
{
    Q_OBJECT

private:
    MTestGLContext gl;

    // The first n vertices as they lie in GPU memory.
    static std::vector<MQuadTransform> readBack(MVertexBuffer &buffer, int n)
    {
        std::vector<MQuadTransform> vertices(size_t(std::max(n, 0)));
        if (n > 0)
            buffer.buffer().read(0, vertices.data(), n * int(sizeof(MQuadTransform)));
        return vertices;
    }

    static MQuadTransform marked(float x)
    {
        MQuadTransform vertex;
        vertex.position[0] = x;
        return vertex;
    }

private slots:
    void initTestCase() { QVERIFY(gl.isValid()); }

    void layoutMatchesTheProgramAttributes()
    {
        // The programs read the buffer through this table; the struct must agree byte for byte.
        const size_t offsets[6] = {offsetof(MQuadTransform, position), offsetof(MQuadTransform, color),
                                   offsetof(MQuadTransform, modelMatrix), offsetof(MQuadTransform, textureCoordinates),
                                   offsetof(MQuadTransform, textureCoordinates) + 8,
                                   offsetof(MQuadTransform, textureCoordinates) + 16};
        const auto &attributes = MShaderProgramList::vertexAttributes();
        QCOMPARE(attributes.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(size_t(attributes.at(i).offset), offsets[i]);
        QCOMPARE(MShaderProgramList::vertexStride, int(sizeof(MQuadTransform)));
        const MQuadTransform vertex;
        for (int i = 0; i < 16; ++i)
            QCOMPARE(vertex.modelMatrix[i], i % 5 == 0 ? 1.0f : 0.0f);
    }

    void capacity_data()
    {
        // Calls: q = addQuad, v = addVertex, t = addTriangle, b = addVertices of 7, c = clear.
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("results");
        QTest::addColumn<int>("count");
        QTest::newRow("six take one quad") << 6 << "qq" << "10" << 6;
        QTest::newRow("four take the front of a quad") << 4 << "q" << "0" << 4;
        QTest::newRow("vertices up to the capacity") << 3 << "vvvv" << "1110" << 3;
        QTest::newRow("second triangle stops half way") << 5 << "tt" << "10" << 5;
        QTest::newRow("batch partly fits") << 10 << "bb" << "10" << 10;
        QTest::newRow("clear refills from the front") << 6 << "qcq" << "1-1" << 6;
        QTest::newRow("no capacity") << 0 << "vq" << "00" << 0;
    }

    void capacity()
    {
        QFETCH(int, capacity);
        QFETCH(QString, calls);
        QFETCH(QString, results);
        QFETCH(int, count);

        MVertexBuffer buffer(capacity);
        QVERIFY(buffer.create());
        QVERIFY(buffer.bind());
        const std::vector<MQuadTransform> batch(7, marked(7));
        float next = 1;
        for (int i = 0; i < calls.size(); ++i) {
            bool result = true;
            switch (calls.at(i).toLatin1()) {
            case 'q': result = buffer.addQuad(QRectF(0, 0, 1, 1), Qt::red, nullptr, 0); break;
            case 'v': result = buffer.addVertex(marked(next++)); break;
            case 't': result = buffer.addTriangle(marked(next), marked(next + 1), marked(next + 2)); next += 3; break;
            case 'b': result = buffer.addVertices(batch.data(), int(batch.size())); break;
            case 'c': buffer.clear(); continue;
            }
            QCOMPARE(result ? '1' : '0', results.at(i).toLatin1());
        }
        QCOMPARE(buffer.count(), count);
        QCOMPARE(buffer.capacity(), capacity);
        // Vertices kept in order, none written past the end.
        if (calls.startsWith(QLatin1Char('v')) || calls.startsWith(QLatin1Char('t'))) {
            const std::vector<MQuadTransform> stored = readBack(buffer, count);
            for (int i = 0; i < count; ++i)
                QCOMPARE(stored[size_t(i)].position[0], float(i + 1));
        }
        buffer.release();
        QVERIFY_GL_CLEAN();
    }

    void quadCorners()
    {
        MVertexBuffer buffer(6);
        QVERIFY(buffer.create());
        QVERIFY(buffer.bind());
        const QRectF rect(10, 20, 30, 40);
        const QRectF textures[3] = {QRectF(0, 0, 1, 1), QRectF(0.25, 0.5, 0.5, 0.25), QRectF(-1, -2, 3, 4)};
        const QColor color = QColor::fromRgbF(0.25, 0.5, 0.75, 0.5);
        QVERIFY(buffer.addQuad(rect, color, textures, 3));
        const std::vector<MQuadTransform> v = readBack(buffer, 6);
        QVERIFY_GL_CLEAN();

        // A bottom-left, B top-left, C bottom-right, D top-right; triangles A-B-C and B-D-C.
        const QPointF positions[6] = {{10, 60}, {10, 20}, {40, 60}, {10, 20}, {40, 20}, {40, 60}};
        const bool right[6] = {false, false, true, false, true, true};
        const bool bottom[6] = {true, false, true, false, false, true};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(QPointF(v[i].position[0], v[i].position[1]), positions[i]);
            QCOMPARE(v[i].color[0], float(color.redF()));
            QCOMPARE(v[i].color[1], float(color.greenF()));
            QCOMPARE(v[i].color[2], float(color.blueF()));
            QCOMPARE(v[i].color[3], float(color.alphaF()));
            for (int set = 0; set < 3; ++set) {
                const QRectF &t = textures[set];
                const QVector2D expected(float(right[i] ? t.right() : t.left()), float(bottom[i] ? t.bottom() : t.top()));
                QCOMPARE(v[i].textureCoordinates[set], expected);
            }
            for (int k = 0; k < 16; ++k)
                QCOMPARE(v[i].modelMatrix[k], k % 5 == 0 ? 1.0f : 0.0f);
        }
        buffer.release();
    }

    void textureSets_data()
    {
        QTest::addColumn<int>("set");    // -1: the n-set form with n sets
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("filled");
        QTest::newRow("no set") << -1 << 0 << "000";
        QTest::newRow("more than three sets") << -1 << 5 << "111";
        QTest::newRow("two sets") << -1 << 2 << "110";
        QTest::newRow("set 0 alone") << 0 << 0 << "100";
        QTest::newRow("set 2 alone") << 2 << 0 << "001";
    }

    void textureSets()
    {
        QFETCH(int, set);
        QFETCH(int, n);
        QFETCH(QString, filled);
        MVertexBuffer buffer(6);
        QVERIFY(buffer.create());
        QVERIFY(buffer.bind());
        const QRectF texture(0.5, 0.5, 0.25, 0.25);
        const QRectF textures[5] = {texture, texture, texture, texture, texture};
        if (set < 0)
            QVERIFY(buffer.addQuad(QRectF(0, 0, 4, 4), Qt::white, textures, n));
        else
            QVERIFY(buffer.addQuad(set, QRectF(0, 0, 4, 4), texture, Qt::white));
        const std::vector<MQuadTransform> v = readBack(buffer, 6);
        for (const MQuadTransform &vertex : v)
            for (int s = 0; s < 3; ++s)
                QCOMPARE(vertex.textureCoordinates[s].x() != 0.0f, filled.at(s) == QLatin1Char('1'));
        buffer.release();
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMVertexBuffer)
#include "tst_mvertexbuffer.moc"
