#include "shell/widgets/ToolbarIcons.h"

#include "res/ToolbarPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>
#include <sstream>
#include <string>

namespace {

constexpr double kGrid = 16;

QColor ParseColour(const std::string& hex)
{
    return QColor(QString::fromStdString("#" + hex));
}

// Runs one drawing; an operation it does not know ends it (false).
bool PaintDrawing(QPainter& painter, const char* drawing)
{
    std::istringstream ops(drawing);
    ops.imbue(std::locale::classic());
    QPainterPath path;
    QPen pen(Qt::NoPen);
    QBrush brush(Qt::NoBrush);
    std::string op;
    while (ops >> op) {
        if (op == "p") {
            std::string colour;
            ops >> colour;
            if (colour == "-") {
                pen = QPen(Qt::NoPen);
                continue;
            }
            double width = 1;
            ops >> width;
            pen = QPen(ParseColour(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        } else if (op == "D") {
            pen.setDashPattern({2, 1.5});
        } else if (op == "f") {
            std::string colour;
            ops >> colour;
            brush = colour == "-" ? QBrush(Qt::NoBrush) : QBrush(ParseColour(colour));
        } else if (op == "M" || op == "L") {
            double x = 0, y = 0;
            ops >> x >> y;
            if (op == "M")
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        } else if (op == "Z") {
            path.closeSubpath();
        } else if (op == "E") {
            double cx = 0, cy = 0, rx = 0, ry = 0;
            ops >> cx >> cy >> rx >> ry;
            path.addEllipse(QPointF(cx, cy), rx, ry);
        } else if (op == "R") {
            double x = 0, y = 0, w = 0, h = 0;
            ops >> x >> y >> w >> h;
            path.addRect(x, y, w, h);
        } else if (op == "A") {
            double cx = 0, cy = 0, r = 0, start = 0, span = 0;
            ops >> cx >> cy >> r >> start >> span;
            const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
            path.arcMoveTo(box, start);
            path.arcTo(box, start, span);
        } else if (op == ".") {
            painter.setPen(pen);
            painter.setBrush(brush);
            painter.drawPath(path);
            path = QPainterPath();
        } else {
            return false;
        }
        if (ops.fail())
            return false;
    }
    return true;
}

} // namespace

QImage PaintToolbarPicture(const char* base, const char* badge, int size, bool* complete)
{
    bool whole = true;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    for (const char* drawing : {base, badge})
        if (drawing && !PaintDrawing(painter, drawing))
            whole = false;
    if (complete)
        *complete = whole;
    return image;
}

QIcon ToolbarIcon(int commandId)
{
    static std::map<int, QIcon> cache;
    auto it = cache.find(commandId);
    if (it != cache.end())
        return it->second;
    QIcon icon;
    const ToolbarPicture picture = FindToolbarPicture(commandId);
    if (picture.base)
        for (const int size : {16, 24, 32})
            icon.addPixmap(QPixmap::fromImage(PaintToolbarPicture(picture.base, picture.badge, size)));
    cache.emplace(commandId, icon);
    return icon;
}
