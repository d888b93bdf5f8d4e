#include "app/ToolbarImages.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "app/Resources.h"

namespace {

// A sheet of paper with a folded corner.
void Page(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(3, 1), QPoint(9, 1), QPoint(12, 4), QPoint(12, 15), QPoint(3, 15)}));
    p.drawLine(9, 1, 9, 4);
    p.drawLine(9, 4, 12, 4);
}

void Wave(QPainter& p, const QColor& c, int y0) {
    p.setPen(QPen(c, 1));
    const int ys[] = {0, -2, -3, -2, 0, 2, 3, 2, 0, -2, -3, -2, 0};
    for (int i = 0; i + 1 < 13; ++i)
        p.drawLine(2 + i, y0 + ys[i], 3 + i, y0 + ys[i + 1]);
}

void Draw(QPainter& p, UINT command) {
    const QColor blue(0, 0, 160), red(200, 0, 0), green(0, 128, 0);
    switch (command) {
    case ID_FILE_OPEN: // an opening folder
        p.setPen(Qt::black);
        p.setBrush(QColor(230, 200, 80));
        p.drawRect(1, 5, 11, 9);
        p.setBrush(QColor(250, 230, 120));
        p.drawPolygon(QPolygon({QPoint(3, 8), QPoint(15, 8), QPoint(12, 14), QPoint(1, 14)}));
        p.drawLine(9, 2, 12, 2);
        p.drawLine(12, 2, 14, 4);
        break;
    case ID_FILE_SAVE: // a diskette
        p.setPen(Qt::black);
        p.setBrush(blue);
        p.drawRect(1, 1, 13, 14);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(4, 10, 7, 5);
        break;
    case ID_FILE_SAVE_C: // a page with a C
        Page(p);
        p.setPen(QPen(blue, 2));
        p.drawArc(QRect(5, 6, 6, 7), 45 * 16, 270 * 16);
        break;
    case ID_TOOL_ZOOM: // a magnifier
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRect(1, 1, 9, 9));
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(9, 10, 14, 15);
        break;
    case ID_TOOL_PAN: // four arrows
        p.setPen(Qt::black);
        p.drawLine(8, 1, 8, 15);
        p.drawLine(1, 8, 15, 8);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({QPoint(8, 0), QPoint(5, 3), QPoint(11, 3)}));
        p.drawPolygon(QPolygon({QPoint(8, 16), QPoint(5, 13), QPoint(11, 13)}));
        p.drawPolygon(QPolygon({QPoint(0, 8), QPoint(3, 5), QPoint(3, 11)}));
        p.drawPolygon(QPolygon({QPoint(15, 8), QPoint(12, 5), QPoint(12, 11)}));
        break;
    case ID_TOOL_CURSOR: // a wave with a vertical cursor line
        Wave(p, blue, 9);
        p.setPen(QPen(red, 1));
        p.drawLine(9, 1, 9, 16);
        p.drawRect(7, 7, 4, 4);
        break;
    case ID_TOOL_EDIT: // a wave with one point pulled up
        Wave(p, blue, 11);
        p.setPen(red);
        p.drawLine(8, 11, 8, 3);
        p.setBrush(red);
        p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(5, 5), QPoint(11, 5)}));
        break;
    case ID_TOOL_EDIT_PLUS: // a wave with a range pulled up
        Wave(p, blue, 12);
        p.setPen(red);
        p.drawLine(4, 5, 12, 5);
        p.drawLine(8, 11, 8, 3);
        p.setBrush(red);
        p.drawPolygon(QPolygon({QPoint(8, 0), QPoint(5, 4), QPoint(11, 4)}));
        break;
    case ID_TOOL_FREEHAND: // a pencil over a stroke
        p.setPen(QPen(green, 1));
        p.drawLine(1, 14, 5, 11);
        p.drawLine(5, 11, 8, 13);
        p.setPen(Qt::black);
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygon({QPoint(8, 10), QPoint(14, 2), QPoint(16, 4), QPoint(10, 12)}));
        break;
    case ID_WAVE_PLAY: // a play triangle
        p.setPen(green);
        p.setBrush(green);
        p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
        break;
    case ID_TOOL_VIEW_RESET: // a frame with arrows outward
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(4, 5, 8, 7);
        p.drawLine(1, 1, 4, 4);
        p.drawLine(15, 1, 12, 4);
        p.drawLine(1, 16, 4, 13);
        p.drawLine(15, 16, 12, 13);
        break;
    default:
        break;
    }
}

} // namespace

QPixmap ToolbarImage(UINT command) {
    QPixmap image(ToolbarButtonWidth, ToolbarButtonHeight);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Draw(p, command);
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 128), size / 16.0));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 8.0, size / 8.0);
        QPainterPath wave;
        for (int x = 0; x <= size - 4; ++x) {
            const double y = size / 2.0 - size * 0.3 * std::sin(x * 6.2832 / (size - 4));
            if (x == 0)
                wave.moveTo(2 + x, y);
            else
                wave.lineTo(2 + x, y);
        }
        p.setPen(QPen(QColor(200, 0, 0), std::max(1.0, size / 12.0)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        icon.addPixmap(pixmap);
    }
    return icon;
}
