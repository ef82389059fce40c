#include "mcomicstriptool.h"

#include "dcomicstrip.h"
#include "mcanvas.h"
#include "mdocumentdescription.h"
#include "mlogger.h"
#include "mevent.h"
#include "mpaper.h"
#include "mregularfile.h"
#include "msettings.h"
#include "mtools.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineF>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <cmath>

namespace {
constexpr int kMinimumCount = 1;
constexpr int kMaximumCount = 100;
} // namespace

MComicStripTool::MComicStripTool(ToolId toolId, QObject *parent)
    : MTool(toolId, parent)
{
}

MComicStripTool::~MComicStripTool() = default;

#define M_SETTER(name, member, type)                                                                                   \
    void MComicStripTool::set_##name(type value)                                                                       \
    {                                                                                                                  \
        if (member == value)                                                                                           \
            return;                                                                                                    \
        member = value;                                                                                                \
        emit name##Changed(value);                                                                                     \
    }
M_SETTER(rows, m_rows, int)
M_SETTER(columns, m_columns, int)
M_SETTER(topMargin, m_topMargin, double)
M_SETTER(bottomMargin, m_bottomMargin, double)
M_SETTER(leftMargin, m_leftMargin, double)
M_SETTER(rightMargin, m_rightMargin, double)
M_SETTER(rowGap, m_rowGap, double)
M_SETTER(colGap, m_colGap, double)
#undef M_SETTER

QRectF MComicStripTool::paperRect() const
{
    MPaper *documentPaper = paper();
    return documentPaper ? documentPaper->paintedRect() : QRectF();
}

QRectF MComicStripTool::layoutArea() const
{
    return paperRect().adjusted(m_leftMargin, m_topMargin, -m_rightMargin, -m_bottomMargin);
}

QRectF MComicStripTool::gridCell(int row, int column) const
{
    const QRectF a = layoutArea();
    const double w = a.width() / qMax(1, m_columns);
    const double h = a.height() / qMax(1, m_rows);
    return QRectF(a.x() + column * w, a.y() + row * h, w, h)
        .adjusted(m_colGap / 2, m_rowGap / 2, -m_colGap / 2, -m_rowGap / 2);
}

void MComicStripTool::setup()
{
    m_needsSetup = false;
    m_cells.clear();
    m_currentCell = -1;
    // A layout outside the dialog's range would divide by zero or flood the page.
    const int rows = qBound(kMinimumCount, m_rows, kMaximumCount);
    const int columns = qBound(kMinimumCount, m_columns, kMaximumCount);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            m_cells.append(MComicStripCell(gridCell(r, c)));
    const QRectF a = layoutArea();
    m_verticalLines.clear();
    const double w = a.width() / columns;
    for (int i = 0; i <= columns; ++i) {
        if (i > 0)
            m_verticalLines.append(a.x() + i * w - m_colGap / 2);
        if (i < columns)
            m_verticalLines.append(a.x() + i * w + m_colGap / 2);
    }
    m_horizontalLines.clear();
    const double h = a.height() / rows;
    for (int i = 0; i <= rows; ++i) {
        if (i > 0)
            m_horizontalLines.append(a.y() + i * h - m_rowGap / 2);
        if (i < rows)
            m_horizontalLines.append(a.y() + i * h + m_rowGap / 2);
    }
    updateSelectionPath();
    emit toolChanged(this);
}

void MComicStripTool::reset()
{
    // The drawing hands events on between cells; a new grid then would
    // change the cells under it.
    if (m_printing)
        return;
    DComicStrip dialog(MUtility::dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    setup();
    emit toolChanged(this);
}

void MComicStripTool::select(bool on, int except)
{
    for (int i = 0; i < m_cells.size(); ++i) {
        if (i != except)
            m_cells[i].selected = on;
    }
}

void MComicStripTool::select(bool on)
{
    select(on, -1);
}

void MComicStripTool::selectAll()
{
    select(true);
    updateSelectionPath();
    emit toolChanged(this);
}

void MComicStripTool::unselectAll()
{
    select(false);
    updateSelectionPath();
    emit toolChanged(this);
}

void MComicStripTool::updateSelectionPath()
{
    MCanvas *canvas = MTools::canvas();
    if (!canvas)
        return;
    QPainterPath path;
    for (const MComicStripCell &cell : qAsConst(m_cells)) {
        if (cell.selected)
            path.addRect(cell.rect);
    }
    if (path.isEmpty())
        canvas->resetClipPath();
    else
        canvas->setClipPath(path);
}

void MComicStripTool::addCell()
{
    const QRectF a = layoutArea();
    const double w = a.width() / qMax(1, m_columns);
    const double h = a.height() / qMax(1, m_rows);
    m_cells.append(MComicStripCell(QRectF(a.x() + 100, a.y() + 100, w, h)
                                       .adjusted(m_colGap / 2, m_rowGap / 2, -m_colGap / 2, -m_rowGap / 2)));
    updateSelectionPath();
    emit toolChanged(this);
}

void MComicStripTool::removeCells()
{
    for (int i = m_cells.size() - 1; i >= 0; --i) {
        if (m_cells.at(i).selected)
            m_cells.remove(i);
    }
    m_currentCell = -1;
    updateSelectionPath();
    emit toolChanged(this);
}

template <class F>
void MComicStripTool::forSelected(F f)
{
    for (MComicStripCell &cell : m_cells) {
        if (cell.selected)
            f(cell);
    }
    emit toolChanged(this);
}

void MComicStripTool::setTopBorder() { forSelected([](MComicStripCell &c) { c.drawTop = !c.drawTop; }); }
void MComicStripTool::setLeftBorder() { forSelected([](MComicStripCell &c) { c.drawLeft = !c.drawLeft; }); }
void MComicStripTool::setBottomBorder() { forSelected([](MComicStripCell &c) { c.drawBottom = !c.drawBottom; }); }
void MComicStripTool::setRightBorder() { forSelected([](MComicStripCell &c) { c.drawRight = !c.drawRight; }); }

void MComicStripTool::setAllBorders()
{
    forSelected([](MComicStripCell &c) { c.drawTop = c.drawLeft = c.drawBottom = c.drawRight = true; });
}

void MComicStripTool::setNoBorders()
{
    forSelected([](MComicStripCell &c) { c.drawTop = c.drawLeft = c.drawBottom = c.drawRight = false; });
}

QPointF MComicStripTool::snapped(const QPointF &point) const
{
    QPointF p = point;
    for (double x : m_verticalLines) {
        if (qAbs(x - point.x()) < m_snapDistance) {
            p.setX(x);
            break;
        }
    }
    for (double y : m_horizontalLines) {
        if (qAbs(y - point.y()) < m_snapDistance) {
            p.setY(y);
            break;
        }
    }
    return p;
}

int MComicStripTool::hitTest(const QPointF &viewPosition, int &code)
{
    code = 0;
    MWidget *view = MTools::widget();
    if (!view)
        return -1;
    MTransform *transform = view->transform();
    for (int i = 0; i < m_cells.size(); ++i) {
        const MComicStripCell &cell = m_cells.at(i);
        const QRectF r = transform->mapRect(cell.rect);
        const QRectF toggle =
            pointRect(transform->map(QRectF(cell.rect.x() - 10, cell.rect.y() + cell.rect.height() / 4, 6, 6).center()));
        if (toggle.contains(viewPosition)) {
            code = 11;
            return i;
        }
        const struct { QPointF point; int code; } handles[] = {
            {r.topLeft(), 6}, {r.topRight(), 7}, {r.bottomLeft(), 8}, {r.bottomRight(), 9},
            {QPointF(r.left(), r.center().y()), 4}, {QPointF(r.right(), r.center().y()), 5},
            {QPointF(r.center().x(), r.top()), 2}, {QPointF(r.center().x(), r.bottom()), 3}};
        int handle = 0;
        for (const auto &h : handles) {
            if (QLineF(h.point, viewPosition).length() <= 10) {
                handle = h.code;
                break;
            }
        }
        if (!locked() && cell.selected && handle != 0) {
            code = handle;
            return i;
        }
    }
    const QRectF p = paperRect();
    const QPointF canvasPoint = transform->mapFromView(viewPosition);
    if (transform->mapRect(QRectF(p.x() - 35, p.y(), 30, p.height())).contains(viewPosition)) {
        code = 12;
        m_horizontalPreview = canvasPoint.y();
    } else if (transform->mapRect(QRectF(p.x(), p.y() - 35, p.width(), 30)).contains(viewPosition)) {
        code = 13;
        m_verticalPreview = canvasPoint.x();
    }
    return -1;
}

bool MComicStripTool::updateCursor(const QPointF &viewPosition, double)
{
    int code = 0;
    const int cell = hitTest(viewPosition, code);
    if (cell >= 0) {
        switch (code) {
        case 2: case 3: setCursor(Qt::SizeVerCursor); break;
        case 4: case 5: setCursor(Qt::SizeHorCursor); break;
        case 6: case 7: case 8: case 9: setCursor(Qt::SizeAllCursor); break;
        case 11: setCursor(Qt::UpArrowCursor); break;
        default: setCursor(Qt::ArrowCursor); break;
        }
        return true;
    }
    if (code == 12 || code == 13) {
        setCursor(Qt::UpArrowCursor);
        return true;
    }
    setCursor(Qt::ArrowCursor);
    return false;
}

namespace {
// Removes the first guide within reach of the value, or adds one (two with a gap).
void toggleGuide(QVector<double> &guides, double value, double reach, bool pair, double gap)
{
    for (int i = 0; i < guides.size(); ++i) {
        if (qAbs(guides.at(i) - value) < reach) {
            guides.remove(i);
            return;
        }
    }
    guides.append(value);
    if (pair)
        guides.append(value + gap);
}
} // namespace

bool MComicStripTool::mousePressEvent(MEvent *event)
{
    MWidget *view = MTools::widget();
    if (!view || m_printing)
        return false;
    m_pressPoint = QPointF(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]);
    const QPointF viewPoint = view->transform()->map(m_pressPoint);
    m_currentCell = hitTest(viewPoint, m_hitCode);
    if (m_currentCell < 0) {
        if (m_hitCode == 12)
            toggleGuide(m_horizontalLines, m_pressPoint.y(), m_snapDistance, event->hasControlModifier(), m_rowGap);
        else if (m_hitCode == 13)
            toggleGuide(m_verticalLines, m_pressPoint.x(), m_snapDistance, event->hasControlModifier(), m_colGap);
        else
            return false;
    } else if (m_hitCode == 11) {
        if (!event->hasControlModifier())
            select(false, m_currentCell);
        m_cells[m_currentCell].selected = !m_cells.at(m_currentCell).selected;
        updateSelectionPath();
    }
    emit toolChanged(this);
    return true;
}

void MComicStripTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton || m_currentCell < 0 || m_currentCell >= m_cells.size()
        || m_hitCode == 0 || m_printing)
        return;
    const QPointF p = snapped(QPointF(event->inputs[MEnum::biPositionX], event->inputs[MEnum::biPositionY]));
    QRectF &r = m_cells[m_currentCell].rect;
    const bool resize = event->hasControlModifier();
    switch (m_hitCode) {
    case 6: resize ? r.setTopLeft(p) : r.moveTopLeft(p); break;
    case 7: resize ? r.setTopRight(p) : r.moveTopRight(p); break;
    case 8: resize ? r.setBottomLeft(p) : r.moveBottomLeft(p); break;
    case 9: resize ? r.setBottomRight(p) : r.moveBottomRight(p); break;
    case 2: r.setTop(p.y()); break;
    case 3: r.setBottom(p.y()); break;
    case 4: r.setLeft(p.x()); break;
    case 5: r.setRight(p.x()); break;
    default: return;
    }
    emit toolChanged(this);
}

void MComicStripTool::mouseReleaseEvent(MEvent *)
{
    if (m_currentCell >= 0)
        updateSelectionPath();
}

void MComicStripTool::activate(bool on)
{
    if (m_needsSetup)
        setup();
    if (on)
        updateSelectionPath();
    set_visible(on);
    emit toolChanged(this);
}

void MComicStripTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if (!view || !visible())
        return;
    painter->save();
    const QTransform matrix = view->transform()->matrix();
    const QRectF p = paperRect();
    if (!locked()) {
        painter->setTransform(matrix);
        QPen white(Qt::white, 1);
        white.setCosmetic(true);
        painter->setPen(white);
        painter->setBrush(QColor(0x55, 0x55, 0x55));
        const QRectF top(p.x(), p.y() - 35, p.width(), 30);
        const QRectF left(p.x() - 35, p.y(), 30, p.height());
        painter->drawRect(top);
        painter->drawRect(left);
        QPen grey(Qt::lightGray, 1);
        grey.setCosmetic(true);
        for (double x : qAsConst(m_verticalLines)) {
            const int xi = int(x);
            painter->setPen(grey);
            painter->drawLine(QPointF(xi, p.top()), QPointF(xi, p.bottom()));
            painter->setPen(white);
            painter->drawLine(QPointF(xi, top.top()), QPointF(xi, top.bottom()));
        }
        for (double y : qAsConst(m_horizontalLines)) {
            const int yi = int(y);
            painter->setPen(grey);
            painter->drawLine(QPointF(p.left(), yi), QPointF(p.right(), yi));
            painter->setPen(white);
            painter->drawLine(QPointF(left.left(), yi), QPointF(left.right(), yi));
        }
    }
    QPen black(Qt::black, 2);
    black.setCosmetic(true);
    for (int i = 0; i < m_cells.size(); ++i) {
        const MComicStripCell &cell = m_cells.at(i);
        const QRectF &r = cell.rect;
        painter->setTransform(matrix);
        painter->setPen(black);
        painter->setBrush(Qt::NoBrush);
        if (cell.drawTop)
            painter->drawLine(r.topLeft(), r.topRight());
        if (cell.drawLeft)
            painter->drawLine(r.topLeft(), r.bottomLeft());
        if (cell.drawBottom)
            painter->drawLine(r.bottomLeft(), r.bottomRight());
        if (cell.drawRight)
            painter->drawLine(r.topRight(), r.bottomRight());
        if (i == m_currentCell) {
            QPen pen = defaultPen();
            pen.setCosmetic(true);
            painter->setPen(pen);
            painter->drawRect(r);
        }
        painter->resetTransform();
        const QPointF centre = view->transform()->map(QRectF(r.x() - 10, r.y() + r.height() / 4, 6, 6).center());
        painter->setPen(defaultPen());
        painter->setBrush(cell.selected ? Qt::red : Qt::green);
        painter->drawRect(MTool::centeredRect(centre, QSizeF(10, 10)));
        if (cell.selected && !locked()) {
            const QRectF v = view->transform()->mapRect(r);
            painter->setBrush(Qt::green);
            for (const QPointF &h : {v.topLeft(), v.topRight(), v.bottomLeft(), v.bottomRight(),
                                     QPointF(v.left(), v.center().y()), QPointF(v.right(), v.center().y()),
                                     QPointF(v.center().x(), v.top()), QPointF(v.center().x(), v.bottom())})
                MTool::drawHandle(painter, h, 5);
        }
    }
    if (!locked() && (m_horizontalPreview != -1 || m_verticalPreview != -1)) {
        painter->setTransform(matrix);
        QPen dashed(Qt::lightGray, 1, Qt::DashLine);
        dashed.setCosmetic(true);
        painter->setPen(dashed);
        if (m_horizontalPreview != -1)
            painter->drawLine(QPointF(p.left(), m_horizontalPreview), QPointF(p.right(), m_horizontalPreview));
        else
            painter->drawLine(QPointF(m_verticalPreview, p.top()), QPointF(m_verticalPreview, p.bottom()));
    }
    painter->restore();
}

void MComicStripTool::print()
{
    MCanvas *canvas = MTools::canvas();
    // The drawing hands events on between cells: a second request meanwhile
    // would nest a macro inside the open one.
    if (!canvas || m_printing)
        return;
    m_printing = true;
    QProgressDialog progress(tr("Drawing in progress..."), tr("Cancel"), 0, m_cells.size(), MUtility::dialogParent());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    MUtility::setBusyCursor();
    QVector<int> selected;
    for (int i = 0; i < m_cells.size(); ++i) {
        if (m_cells.at(i).selected)
            selected.append(i);
    }
    select(false);
    updateSelectionPath();
    emit toolChanged(this);
    // The cells may change while events run; draw from a copy.
    const QVector<MComicStripCell> cells = m_cells;
    QPointer<MCanvas> guard(canvas);
    canvas->beginMacro(tr("Draw comic strip"));
    for (int i = 0; i < cells.size(); ++i) {
        progress.setValue(i);
        progress.setLabelText(tr("Drawing cell %1").arg(i));
        QThread::msleep(1);
        QApplication::processEvents();
        if (progress.wasCanceled() || !guard)
            break;
        if (!selected.isEmpty() && !selected.contains(i))
            continue;
        const QRectF &r = cells.at(i).rect;
        if (cells.at(i).drawTop)
            canvas->drawLine(r.topLeft(), r.topRight(), currentPaint());
        if (cells.at(i).drawBottom)
            canvas->drawLine(r.bottomLeft(), r.bottomRight(), currentPaint());
        if (cells.at(i).drawLeft)
            canvas->drawLine(r.topLeft(), r.bottomLeft(), currentPaint());
        if (cells.at(i).drawRight)
            canvas->drawLine(r.topRight(), r.bottomRight(), currentPaint());
    }
    for (int i : qAsConst(selected)) {
        if (i < m_cells.size())
            m_cells[i].selected = true;
    }
    if (guard)
        canvas->endMacro();
    MUtility::restoreCursor();
    m_printing = false;
}

QByteArray MComicStripTool::toJson() const
{
    const QRectF p = paperRect();
    // QJsonObject sorts its keys; the file keeps them in its own order.
    QByteArray out = "{\n";
    auto number = [](double v) -> QByteArray { return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).mid(1).chopped(1); };
    auto line = [&](const char *key, const QByteArray &value, bool last = false) {
        out += "    \"" + QByteArray(key) + "\": " + value + (last ? "\n" : ",\n");
    };
    line("version", "100");
    line("rows", QByteArray::number(m_rows));
    line("columns", QByteArray::number(m_columns));
    line("rowGap", number(m_rowGap));
    line("colGap", number(m_colGap));
    line("topMargin", number(m_topMargin));
    line("leftMargin", number(m_leftMargin));
    line("bottomMargin", number(m_bottomMargin));
    line("rightMargin", number(m_rightMargin));
    line("paperX", number(p.x()));
    line("paperY", number(p.y()));
    line("paperWidth", number(p.width()));
    line("paperHeight", number(p.height()));
    QByteArray cells = "[";
    for (int i = 0; i < m_cells.size(); ++i) {
        const MComicStripCell &c = m_cells.at(i);
        cells += QByteArray(i ? ",\n" : "\n") + "        {\n";
        cells += "            \"x\": " + number(c.rect.x()) + ",\n";
        cells += "            \"y\": " + number(c.rect.y()) + ",\n";
        cells += "            \"width\": " + number(c.rect.width()) + ",\n";
        cells += "            \"height\": " + number(c.rect.height()) + ",\n";
        cells += QByteArray("            \"drawTop\": ") + (c.drawTop ? "true" : "false") + ",\n";
        cells += QByteArray("            \"drawLeft\": ") + (c.drawLeft ? "true" : "false") + ",\n";
        cells += QByteArray("            \"drawBottom\": ") + (c.drawBottom ? "true" : "false") + ",\n";
        cells += QByteArray("            \"drawRight\": ") + (c.drawRight ? "true" : "false") + "\n        }";
    }
    cells += m_cells.isEmpty() ? "]" : "\n    ]";
    line("cells", cells);
    auto numbers = [&](const QVector<double> &values) -> QByteArray {
        QByteArray a = "[";
        for (int i = 0; i < values.size(); ++i)
            a += QByteArray(i ? ",\n" : "\n") + "        " + number(values.at(i));
        return a + (values.isEmpty() ? "]" : "\n    ]");
    };
    line("verticalLines", numbers(m_verticalLines));
    line("horizontalLines", numbers(m_horizontalLines), true);
    out += "}\n";
    return out;
}

bool MComicStripTool::fromJson(const QByteArray &text, QString &error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        error = tr("Invalid file");
        return false;
    }
    const QJsonObject root = document.object();
    const int rows = root.value(QStringLiteral("rows")).toInt(0);
    const int columns = root.value(QStringLiteral("columns")).toInt(0);
    if (rows < kMinimumCount || rows > kMaximumCount || columns < kMinimumCount || columns > kMaximumCount) {
        error = tr("Invalid layout: rows and columns must lie between %1 and %2.").arg(kMinimumCount).arg(kMaximumCount);
        return false;
    }
    // Every length of a layout is a canvas coordinate: beyond the canvas's
    // limit (or no number at all) it is damage, which would turn into
    // undefined ints when drawn.
    QString wrong;
    auto number = [&](const QJsonValue &json, const QString &key) {
        const double value = json.toDouble(0);
        if (!(std::abs(value) <= MDocumentDescription::CoordinateLimit)) {
            if (wrong.isEmpty())
                wrong = key;
            return 0.0;
        }
        return value;
    };
    auto coordinate = [&](const QJsonObject &object, const QString &key) { return number(object.value(key), key); };
    auto integer = [&](const char *key) {
        const QString name = QLatin1String(key);
        return double(MUtility::jsonWholeNumber(QJsonValue(coordinate(root, name)), 0));
    };
    const double rowGap = integer("rowGap");
    const double colGap = integer("colGap");
    const double topMargin = integer("topMargin");
    const double leftMargin = integer("leftMargin");
    const double bottomMargin = integer("bottomMargin");
    const double rightMargin = integer("rightMargin");
    const QRectF paper(coordinate(root, QStringLiteral("paperX")), coordinate(root, QStringLiteral("paperY")),
                       std::trunc(coordinate(root, QStringLiteral("paperWidth"))),
                       std::trunc(coordinate(root, QStringLiteral("paperHeight"))));
    QVector<MComicStripCell> cells;
    for (const QJsonValue &value : root.value(QStringLiteral("cells")).toArray()) {
        const QJsonObject o = value.toObject();
        MComicStripCell cell(QRectF(coordinate(o, QStringLiteral("x")), coordinate(o, QStringLiteral("y")),
                                    coordinate(o, QStringLiteral("width")), coordinate(o, QStringLiteral("height"))));
        cell.drawTop = o.value(QStringLiteral("drawTop")).toBool(false);
        cell.drawLeft = o.value(QStringLiteral("drawLeft")).toBool(false);
        cell.drawBottom = o.value(QStringLiteral("drawBottom")).toBool(false);
        cell.drawRight = o.value(QStringLiteral("drawRight")).toBool(false);
        cells.append(cell);
    }
    auto doubles = [&](const char *key) {
        QVector<double> values;
        const QString name = QLatin1String(key);
        for (const QJsonValue &value : root.value(name).toArray())
            values.append(number(value, name));
        return values;
    };
    const QVector<double> verticalLines = doubles("verticalLines");
    const QVector<double> horizontalLines = doubles("horizontalLines");
    if (!wrong.isEmpty()) {
        error = tr("Invalid layout: \"%1\" lies beyond the canvas limit of %2 pixels.")
                    .arg(wrong)
                    .arg(qint64(MDocumentDescription::CoordinateLimit));
        MLogger::instance()->systemError(error);
        return false;
    }
    m_rows = rows;
    m_columns = columns;
    m_rowGap = rowGap;
    m_colGap = colGap;
    m_topMargin = topMargin;
    m_leftMargin = leftMargin;
    m_bottomMargin = bottomMargin;
    m_rightMargin = rightMargin;
    if (MCanvas *canvas = MTools::canvas()) {
        if (paper.isValid() && paper != canvas->paintedRect())
            canvas->updatePaintedRect(paper);
    }
    m_cells = cells;
    m_verticalLines = verticalLines;
    m_horizontalLines = horizontalLines;
    m_currentCell = -1;
    m_needsSetup = false;
    return true;
}

void MComicStripTool::loadFromFile()
{
    MSettings *settings = MSettings::instance();
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(settings->lastFilesDir());
    QString path;
    if (!MUtility::chooseFile(&dialog, path))
        return;
    settings->set_lastFilesDir(QFileInfo(path).absolutePath());
    MRegularFile file(path);
    if (!file.openForReading()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Load"), tr("Unable to open file"), QMessageBox::Ok,
                              QMessageBox::NoButton, file.errorString());
        return;
    }
    QString error;
    if (!fromJson(file.readAll(), error)) {
        MUtility::showMessage(QMessageBox::Critical, tr("Load"), error);
        return;
    }
    m_fileName = path;
    if (MCanvas *canvas = MTools::canvas())
        canvas->resetClipPath();
    emit toolChanged(this);
}

void MComicStripTool::saveToFile()
{
    MSettings *settings = MSettings::instance();
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!m_fileName.isEmpty())
        dialog.selectFile(m_fileName);
    else
        dialog.setDirectory(settings->lastFilesDir());
    QString path;
    if (!MUtility::chooseFile(&dialog, path))
        return;
    settings->set_lastFilesDir(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        MUtility::showMessage(QMessageBox::Critical, tr("Save"), tr("Unable to open file"));
        return;
    }
    const QByteArray text = toJson();
    if (file.write(text) != text.size() || !file.flush()) {
        MUtility::showMessage(QMessageBox::Critical, tr("Save"), tr("Unable to save file."));
        return;
    }
    m_fileName = path;
    MUtility::showMessage(QMessageBox::Information, tr("Save"), tr("File saved."));
}
