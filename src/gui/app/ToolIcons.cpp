#include "gui/app/ToolIcons.h"

#include "core/app/CommandIds.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace quarvo::gui {

namespace {

using Drawing = std::function<void(QPainter&)>;

// All drawings use a 32 x 32 canvas; the engine scales it to the requested size.
constexpr qreal canvas = 32.0;

const QColor ink(0x33, 0x3b, 0x47);
const QColor paper(0xfd, 0xfd, 0xfb);
const QColor folderYellow(0xf2, 0xc1, 0x4e);
const QColor folderShade(0xd9, 0x9e, 0x2b);
const QColor boxTan(0xd8, 0xa8, 0x62);
const QColor boxShade(0xb5, 0x82, 0x3f);
const QColor accentBlue(0x2f, 0x6f, 0xd6);
const QColor accentGreen(0x2e, 0x9b, 0x4f);
const QColor accentRed(0xcc, 0x3d, 0x3d);

class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing drawing) : m_drawing(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap image = pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state);
        image.setDevicePixelRatio(painter->device()->devicePixelRatio());
        painter->drawPixmap(rect.topLeft(), image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size.width() / canvas, size.height() / canvas);
            m_drawing(painter);
        }
        if (mode == QIcon::Disabled)
            fade(image);
        return QPixmap::fromImage(image);
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_drawing); }

private:
    // A disabled button shows its image in light grey.
    static void fade(QImage& image)
    {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                QColor colour = QColor::fromRgba(qUnpremultiply(line[x]));
                int grey = 150 + qGray(colour.rgb()) / 3;
                line[x] = qPremultiply(qRgba(grey, grey, grey, colour.alpha() * 3 / 5));
            }
        }
    }

    Drawing m_drawing;
};

QPen outline(const QColor& colour = ink, qreal width = 1.5)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPage(QPainter& p, const QRectF& r)
{
    QPainterPath page;
    qreal fold = r.width() * 0.3;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(outline());
    p.setBrush(paper);
    p.drawPath(page);
    p.setBrush(QColor(0xdd, 0xe1, 0xe6));
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.drawPath(corner);
}

void drawTextLines(QPainter& p, const QRectF& r, int count)
{
    p.setPen(outline(QColor(0x9a, 0xa3, 0xad), 1.2));
    for (int i = 0; i < count; ++i) {
        qreal y = r.top() + i * r.height() / std::max(1, count - 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * r.width() * 0.3, y));
    }
}

// An archive box with a zipper running down its front.
void drawArchive(QPainter& p, const QRectF& r)
{
    p.setPen(outline(boxShade.darker(130)));
    p.setBrush(boxTan);
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(boxShade);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.28));
    qreal x = r.center().x();
    p.setPen(outline(QColor(0x55, 0x45, 0x30), 1.2));
    for (qreal y = r.top() + 2; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(x - 1.5, y), QPointF(x + 1.5, y));
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.drawRoundedRect(QRectF(x - 2.5, r.top() + r.height() * 0.45, 5, 6), 1, 1);
}

void drawFolder(QPainter& p, const QRectF& r, bool open)
{
    p.setPen(outline(folderShade.darker(140)));
    p.setBrush(folderShade);
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 2);
    back.lineTo(r.left() + r.width() * 0.35, r.top() + 2);
    back.lineTo(r.left() + r.width() * 0.45, r.top() + 5);
    back.lineTo(r.right(), r.top() + 5);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(folderYellow);
    QPainterPath front;
    if (open) {
        front.moveTo(r.left(), r.bottom());
        front.lineTo(r.left() + 4, r.top() + 10);
        front.lineTo(r.right() + 2, r.top() + 10);
        front.lineTo(r.right() - 2, r.bottom());
    } else {
        front.addRect(QRectF(r.left(), r.top() + 9, r.width(), r.height() - 9));
    }
    front.closeSubpath();
    p.drawPath(front);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width = 3)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(width * 1.8);
    wing1.setAngle(line.angle() + 40);
    QLineF wing2 = line;
    wing2.setLength(width * 1.8);
    wing2.setAngle(line.angle() - 40);
    p.drawLine(wing1);
    p.drawLine(wing2);
}

void drawMagnifier(QPainter& p, QPointF centre, qreal radius)
{
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    QPointF handle = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(radius * 0.8, radius * 0.8));
    p.setPen(outline(ink, 2));
    p.setBrush(QColor(0xcf, 0xe6, 0xfb, 220));
    p.drawEllipse(centre, radius, radius);
}

void drawLabel(QPainter& p, const QRectF& r, const QString& text, const QColor& colour, qreal pixelSize,
               bool bold = true)
{
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

// The sort buttons share a downward arrow at the left; what they sort by is drawn at the right.
void drawSort(QPainter& p, const std::function<void(QPainter&, const QRectF&)>& glyph)
{
    drawArrow(p, QPointF(6, 5), QPointF(6, 26), accentBlue, 2.2);
    glyph(p, QRectF(11, 4, 20, 24));
}

void drawBars(QPainter& p, const QRectF& r, qreal scale)
{
    const qreal heights[] = {0.35, 0.6, 0.85, 1.0};
    qreal width = r.width() / 4.0;
    for (int i = 0; i < 4; ++i) {
        qreal h = r.height() * heights[i] * scale;
        QRectF bar(r.left() + i * width + 0.5, r.bottom() - h, width - 1.5, h);
        p.setPen(outline(accentGreen.darker(140), 1));
        p.setBrush(accentGreen);
        p.drawRect(bar);
    }
}

Drawing drawingFor(int id)
{
    using namespace CommandId;
    switch (id) {
    case NewZip:
        return [](QPainter& p) {
            drawPage(p, QRectF(6, 3, 19, 26));
            drawArchive(p, QRectF(14, 15, 15, 14));
        };
    case Open:
        return [](QPainter& p) { drawFolder(p, QRectF(3, 6, 25, 21), true); };
    case Save:
        return [](QPainter& p) {
            p.setPen(outline(accentBlue.darker(160)));
            p.setBrush(accentBlue);
            p.drawRoundedRect(QRectF(4, 4, 24, 24), 2.5, 2.5);
            p.setBrush(paper);
            p.drawRect(QRectF(9, 4, 14, 9));
            p.setBrush(QColor(0xe6, 0xe9, 0xee));
            p.drawRect(QRectF(8, 17, 16, 11));
            p.setBrush(ink);
            p.drawRect(QRectF(18, 6, 3, 5));
        };
    case AddFiles:
        return [](QPainter& p) {
            drawArchive(p, QRectF(3, 10, 20, 19));
            p.setPen(QPen(accentGreen, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(25, 3), QPointF(25, 15));
            p.drawLine(QPointF(19, 9), QPointF(31, 9));
        };
    case Extract:
        return [](QPainter& p) {
            drawArchive(p, QRectF(3, 12, 20, 17));
            drawArrow(p, QPointF(20, 16), QPointF(28, 4), accentBlue);
        };
    case ViewFile:
        return [](QPainter& p) {
            drawPage(p, QRectF(4, 3, 18, 24));
            drawTextLines(p, QRectF(7, 10, 10, 12), 4);
            drawMagnifier(p, QPointF(19, 18), 6);
        };
    case RunFile:
        return [](QPainter& p) {
            p.setPen(outline());
            p.setBrush(QColor(0x2b, 0x33, 0x3d));
            p.drawRoundedRect(QRectF(3, 5, 26, 22), 2.5, 2.5);
            p.setBrush(QColor(0x6b, 0x75, 0x80));
            p.drawRect(QRectF(3, 5, 26, 5));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x58, 0xd0, 0x7a));
            QPolygonF play;
            play << QPointF(12, 13) << QPointF(22, 18.5) << QPointF(12, 24);
            p.drawPolygon(play);
        };
    case CheckOut:
        return [](QPainter& p) {
            drawFolder(p, QRectF(3, 10, 22, 18), false);
            drawArrow(p, QPointF(24, 2), QPointF(24, 16), accentBlue);
            p.setPen(QPen(accentGreen, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF() << QPointF(8, 21) << QPointF(11, 24) << QPointF(17, 17));
        };
    case Print:
        return [](QPainter& p) {
            drawPage(p, QRectF(9, 3, 14, 11));
            p.setPen(outline());
            p.setBrush(QColor(0xb9, 0xc0, 0xc8));
            p.drawRoundedRect(QRectF(3, 12, 26, 12), 2.5, 2.5);
            p.setBrush(paper);
            p.drawRect(QRectF(8, 20, 16, 9));
            p.setBrush(accentGreen);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
        };
    case SortByName:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                drawLabel(q, QRectF(r.left(), r.top(), r.width(), 12), QStringLiteral("A"), ink, 12);
                drawLabel(q, QRectF(r.left(), r.top() + 12, r.width(), 12), QStringLiteral("Z"), ink, 12);
            });
        };
    case SortByPath:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                drawFolder(q, QRectF(r.left() + 1, r.top() + 3, 17, 13), false);
                drawLabel(q, QRectF(r.left(), r.top() + 15, r.width(), 10), QStringLiteral("/.."), ink, 10);
            });
        };
    case SortByExtension:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                drawPage(q, QRectF(r.left() + 2, r.top(), 15, 20));
                drawLabel(q, QRectF(r.left() - 1, r.top() + 11, r.width(), 12), QStringLiteral(".x"), accentRed, 11);
            });
        };
    case SortByDate:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                q.setPen(outline());
                q.setBrush(paper);
                q.drawRoundedRect(QRectF(r.left() + 1, r.top() + 3, 18, 18), 2, 2);
                q.setBrush(accentRed);
                q.drawRect(QRectF(r.left() + 1, r.top() + 3, 18, 5));
                drawLabel(q, QRectF(r.left() + 1, r.top() + 8, 18, 13), QStringLiteral("12"), ink, 9);
            });
        };
    case SortByUncompressedSize:
        return [](QPainter& p) { drawSort(p, [](QPainter& q, const QRectF& r) { drawBars(q, r.adjusted(1, 3, -1, -2), 1.0); }); };
    case SortByCompressedSize:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                drawBars(q, r.adjusted(1, 3, -1, -2), 0.55);
                q.setPen(QPen(ink, 1.5));
                q.drawLine(QPointF(r.left() + 2, r.top() + 5), QPointF(r.right() - 2, r.top() + 5));
                drawArrow(q, QPointF(r.center().x(), r.top() + 1), QPointF(r.center().x(), r.top() + 9), ink, 1.5);
            });
        };
    case SortByRatio:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) { drawLabel(q, r, QStringLiteral("%"), accentGreen.darker(120), 19); });
        };
    case SortByOrder:
        return [](QPainter& p) {
            drawSort(p, [](QPainter& q, const QRectF& r) {
                for (int i = 0; i < 3; ++i) {
                    QRectF line(r.left(), r.top() + 1 + i * 8, r.width(), 7);
                    drawLabel(q, QRectF(line.left(), line.top(), 6, 7), QString::number(i + 1), ink, 8);
                    q.setPen(outline(QColor(0x9a, 0xa3, 0xad), 1.5));
                    q.drawLine(QPointF(line.left() + 8, line.center().y()), QPointF(line.right() - 1, line.center().y()));
                }
            });
        };
    case ShowNameOnly:
        return [](QPainter& p) {
            for (int column = 0; column < 2; ++column) {
                for (int row = 0; row < 4; ++row) {
                    qreal x = 4 + column * 13;
                    qreal y = 6 + row * 6;
                    p.setPen(Qt::NoPen);
                    p.setBrush(accentBlue);
                    p.drawRect(QRectF(x, y, 3, 3));
                    p.setPen(outline(ink, 1.4));
                    p.drawLine(QPointF(x + 5, y + 1.5), QPointF(x + 11, y + 1.5));
                }
            }
        };
    case ShowAllDetails:
        return [](QPainter& p) {
            for (int row = 0; row < 5; ++row) {
                qreal y = 5 + row * 5.5;
                p.setPen(Qt::NoPen);
                p.setBrush(accentBlue);
                p.drawRect(QRectF(3, y, 3, 3));
                p.setPen(outline(ink, 1.4));
                p.drawLine(QPointF(8, y + 1.5), QPointF(16, y + 1.5));
                p.setPen(outline(QColor(0x9a, 0xa3, 0xad), 1.4));
                p.drawLine(QPointF(18, y + 1.5), QPointF(22, y + 1.5));
                p.drawLine(QPointF(24, y + 1.5), QPointF(29, y + 1.5));
            }
        };
    case SearchZipFiles:
        return [](QPainter& p) {
            drawArchive(p, QRectF(3, 4, 16, 16));
            drawMagnifier(p, QPointF(19, 18), 7);
        };
    case ContextHelp:
        return [](QPainter& p) {
            QPolygonF cursor;
            cursor << QPointF(4, 3) << QPointF(4, 22) << QPointF(9, 17) << QPointF(12, 25) << QPointF(15, 24)
                   << QPointF(12, 16) << QPointF(18, 16);
            p.setPen(outline(ink, 1.3));
            p.setBrush(paper);
            p.drawPolygon(cursor);
            p.setPen(Qt::NoPen);
            p.setBrush(accentBlue);
            p.drawEllipse(QPointF(24, 10), 7, 7);
            drawLabel(p, QRectF(17, 3, 14, 14), QStringLiteral("?"), Qt::white, 12);
        };
    default:
        return {};
    }
}

} // namespace

QIcon toolIcon(int commandId)
{
    Drawing drawing = drawingFor(commandId);
    if (!drawing)
        return {};
    return QIcon(new DrawnIconEngine(std::move(drawing)));
}

QIcon applicationIcon()
{
    return QIcon(new DrawnIconEngine([](QPainter& p) {
        drawArchive(p, QRectF(3, 5, 26, 23));
    }));
}

} // namespace quarvo::gui
