// Draws the program's images (logos, button icons, the desktop icon) with
// QPainter, so that every picture in the program is made from this file at
// build time. Usage: drawimages OUTPUT_FOLDER
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace
{

const QColor quenorBlue(0x1f, 0x4e, 0x8c);
const QColor quenorLightBlue(0x4f, 0x8f, 0xd6);
const QColor zevioRed(0xc8, 0x2a, 0x2a);
const QColor zevioDark(0x33, 0x33, 0x33);
const QColor folderYellow(0xf2, 0xc1, 0x4e);
const QColor folderShade(0xd9, 0x9e, 0x2b);
const QColor syncGreen(0x2e, 0x9b, 0x4f);

// The pictures are drawn on a 100-unit high canvas and scaled to the size
// asked for, so one drawing serves every size.
using Drawing = std::function<void(QPainter &)>;

bool render(const QString &folder, const QString &name, int width, int height, qreal logicalWidth,
    const Drawing &draw)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(width / logicalWidth, height / 100.0);
    draw(painter);
    painter.end();
    const QString path = folder + QLatin1Char('/') + name;
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QFont boldFont(qreal pixelSize, const QString &family = QStringLiteral("DejaVu Sans"))
{
    QFont font(family);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    return font;
}

// A play triangle inside a ring, the mark of the player.
void drawPlayMark(QPainter &p, const QRectF &box, const QColor &ring, const QColor &fill)
{
    p.save();
    p.setPen(QPen(ring, box.width() * 0.08));
    p.setBrush(Qt::NoBrush);
    const QRectF circle = box.adjusted(
        box.width() * 0.06, box.height() * 0.06, -box.width() * 0.06, -box.height() * 0.06);
    p.drawEllipse(circle);
    QPainterPath triangle;
    const QPointF c = circle.center();
    const qreal r = circle.width() * 0.26;
    triangle.moveTo(c.x() - r * 0.7, c.y() - r);
    triangle.lineTo(c.x() + r * 1.05, c.y());
    triangle.lineTo(c.x() - r * 0.7, c.y() + r);
    triangle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(triangle);
    p.restore();
}

// An eighth note, its head's centre at (x, y), height h.
void drawNote(QPainter &p, qreal x, qreal y, qreal h, const QColor &color)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.translate(x, y);
    p.rotate(-20);
    p.drawEllipse(QRectF(-h * 0.18, -h * 0.12, h * 0.36, h * 0.24));
    p.restore();
    p.save();
    p.setPen(QPen(color, h * 0.07, Qt::SolidLine, Qt::FlatCap));
    const qreal stemX = x + h * 0.15;
    p.drawLine(QPointF(stemX, y - h * 0.05), QPointF(stemX, y - h * 0.9));
    QPainterPath flag;
    flag.moveTo(stemX, y - h * 0.9);
    flag.cubicTo(stemX + h * 0.05, y - h * 0.6, stemX + h * 0.4, y - h * 0.65, stemX + h * 0.3,
        y - h * 0.35);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flag);
    p.restore();
}

// "Quenor" word mark: logical canvas 677 x 100.
void drawQuenorLogo(QPainter &p)
{
    drawPlayMark(p, QRectF(2, 2, 96, 96), quenorBlue, zevioRed);
    QLinearGradient gradient(0, 0, 0, 100);
    gradient.setColorAt(0, quenorLightBlue);
    gradient.setColorAt(1, quenorBlue);
    QPainterPath text;
    text.addText(QPointF(118, 80), boldFont(86), QStringLiteral("QUENOR"));
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawPath(text);
    QPainterPath pc;
    pc.addText(
        QPointF(118 + text.boundingRect().width() + 14, 80), boldFont(40), QStringLiteral("PC"));
    p.setBrush(zevioRed);
    p.drawPath(pc);
}

// The maker's mark: a stylised Z in a rounded square with the name below.
// Logical canvas 94 x 100 (the shape of the labels that show it).
void drawZevioLogo(QPainter &p)
{
    const QRectF square(7, 2, 80, 70);
    p.setPen(Qt::NoPen);
    QLinearGradient gradient(square.topLeft(), square.bottomRight());
    gradient.setColorAt(0, QColor(0xe0, 0x44, 0x3c));
    gradient.setColorAt(1, zevioRed.darker(120));
    p.setBrush(gradient);
    p.drawRoundedRect(square, 14, 14);
    QPainterPath z;
    z.moveTo(24, 16);
    z.lineTo(70, 16);
    z.lineTo(70, 26);
    z.lineTo(39, 50);
    z.lineTo(70, 50);
    z.lineTo(70, 60);
    z.lineTo(24, 60);
    z.lineTo(24, 50);
    z.lineTo(55, 26);
    z.lineTo(24, 26);
    z.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(z);
    QPainterPath name;
    const QFont font = boldFont(24);
    name.addText(QPointF(0, 0), font, QStringLiteral("zevio"));
    const QRectF bounds = name.boundingRect();
    p.translate(47 - bounds.center().x(), 96 - bounds.bottom());
    p.setBrush(zevioDark);
    p.drawPath(name);
}

// A folder holding a note: choose the songs. Logical canvas 125 x 100.
void drawFolderIcon(QPainter &p)
{
    QPainterPath back;
    back.moveTo(8, 22);
    back.lineTo(8, 12);
    back.quadTo(8, 8, 12, 8);
    back.lineTo(42, 8);
    back.lineTo(52, 18);
    back.lineTo(104, 18);
    back.quadTo(108, 18, 108, 22);
    back.lineTo(108, 90);
    back.lineTo(8, 90);
    back.closeSubpath();
    p.setPen(QPen(folderShade.darker(130), 2));
    p.setBrush(folderShade);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(4, 34);
    front.lineTo(114, 34);
    front.lineTo(106, 92);
    front.lineTo(10, 92);
    front.closeSubpath();
    QLinearGradient gradient(0, 34, 0, 92);
    gradient.setColorAt(0, folderYellow.lighter(115));
    gradient.setColorAt(1, folderYellow);
    p.setBrush(gradient);
    p.drawPath(front);
    drawNote(p, 52, 78, 40, quenorBlue);
    // A plus sign: songs are added to the list.
    p.setPen(Qt::NoPen);
    p.setBrush(syncGreen);
    p.drawEllipse(QRectF(84, 56, 36, 36));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(99, 62, 6, 24));
    p.drawRect(QRectF(90, 71, 24, 6));
}

// Two arrows chasing each other around a disc: synchronise with the
// catalogue. Logical canvas 125 x 100.
void drawSyncIcon(QPainter &p)
{
    // The catalogue: a database drum in the middle.
    const QRectF drum(44, 30, 37, 40);
    p.setPen(QPen(quenorBlue.darker(120), 2));
    p.setBrush(quenorLightBlue);
    p.drawRect(QRectF(drum.left(), drum.top() + 5, drum.width(), drum.height() - 10));
    p.drawEllipse(QRectF(drum.left(), drum.bottom() - 10, drum.width(), 10));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(drum.left() + 1, drum.top() + 6, drum.width() - 2, drum.height() - 12));
    p.setPen(QPen(quenorBlue.darker(120), 2));
    p.setBrush(quenorLightBlue.lighter(130));
    p.drawEllipse(QRectF(drum.left(), drum.top(), drum.width(), 10));

    const QPointF c(62.5, 50);
    const qreal r = 42;
    const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(syncGreen, 9, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 30 * 16, 130 * 16);
    p.drawArc(ring, 210 * 16, 130 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(syncGreen);
    // Arrow heads at the ends of the arcs (160 and 340 degrees).
    for (const qreal angle : { 160.0, 340.0 }) {
        p.save();
        p.translate(c);
        p.rotate(-angle);
        QPainterPath head;
        head.moveTo(r - 12, 0);
        head.lineTo(r + 12, 0);
        head.lineTo(r, 16);
        head.closeSubpath();
        p.drawPath(head);
        p.restore();
    }
}

// A memory card and a USB pen: the device memory. Logical canvas 188 x 100.
void drawMediaIcon(QPainter &p)
{
    // Compact Flash card.
    QPainterPath card;
    card.moveTo(10, 14);
    card.lineTo(80, 14);
    card.lineTo(86, 20);
    card.lineTo(86, 92);
    card.lineTo(10, 92);
    card.closeSubpath();
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    p.setBrush(QColor(0x55, 0x5b, 0x66));
    p.drawPath(card);
    p.setBrush(QColor(0xe8, 0xec, 0xf2));
    p.drawRect(QRectF(18, 30, 60, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(quenorBlue);
    p.drawRect(QRectF(18, 30, 60, 12));
    drawNote(p, 44, 66, 26, zevioRed);
    p.setBrush(QColor(0x99, 0x99, 0x99));
    for (int i = 0; i < 8; ++i)
        p.drawRect(QRectF(16 + i * 8, 84, 4, 5));

    // USB pen, slanted.
    p.save();
    p.translate(140, 56);
    p.rotate(-30);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    p.setBrush(QColor(0xc0, 0xc6, 0xcc));
    p.drawRect(QRectF(-12, -50, 24, 20));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRect(QRectF(-6, -45, 4, 5));
    p.drawRect(QRectF(2, -45, 4, 5));
    QLinearGradient body(-16, 0, 16, 0);
    body.setColorAt(0, quenorLightBlue);
    body.setColorAt(1, quenorBlue);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(-16, -30, 32, 70), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(-4, 26, 8, 8));
    p.restore();
}

// A question mark in a disc: the help pages. Logical canvas 100 x 100.
void drawHelpIcon(QPainter &p)
{
    p.setPen(Qt::NoPen);
    QLinearGradient gradient(0, 0, 0, 100);
    gradient.setColorAt(0, quenorLightBlue);
    gradient.setColorAt(1, quenorBlue);
    p.setBrush(gradient);
    p.drawEllipse(QRectF(4, 4, 92, 92));
    QPainterPath mark;
    mark.addText(QPointF(0, 0), boldFont(72), QStringLiteral("?"));
    const QRectF bounds = mark.boundingRect();
    p.translate(50 - bounds.center().x(), 50 - bounds.center().y());
    p.setBrush(Qt::white);
    p.drawPath(mark);
}

// The desktop icon: the play mark with a note on a rounded tile.
void drawAppIcon(QPainter &p)
{
    p.setPen(Qt::NoPen);
    QLinearGradient gradient(0, 0, 0, 100);
    gradient.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    gradient.setColorAt(1, QColor(0xd4, 0xdc, 0xe8));
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 18, 18);
    drawPlayMark(p, QRectF(12, 12, 76, 76), quenorBlue, zevioRed);
}

} // namespace

int main(int argc, char *argv[])
{
    // Fonts need a platform; the off-screen one needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawimages OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    // Sizes: the logos at twice the size of the labels that show them; the
    // button icons at the size they are drawn with, so that the text under
    // them fits the 80-pixel buttons.
    ok &= render(folder, QStringLiteral("logo-quenor.png"), 650, 96, 677, drawQuenorLogo);
    ok &= render(folder, QStringLiteral("logo-zevio.png"), 120, 128, 94, drawZevioLogo);
    ok &= render(folder, QStringLiteral("logo-zevio_512.png"), 480, 512, 94, drawZevioLogo);
    ok &= render(folder, QStringLiteral("icona-cartella.png"), 60, 48, 125, drawFolderIcon);
    ok &= render(folder, QStringLiteral("icona-sync.png"), 60, 48, 125, drawSyncIcon);
    ok &= render(folder, QStringLiteral("icone-media.png"), 90, 48, 188, drawMediaIcon);
    ok &= render(folder, QStringLiteral("icona-aiuto.png"), 32, 32, 100, drawHelpIcon);
    // The program's icon at the sizes desktops ask for; the window shows it too.
    for (int size : { 48, 64, 128, 256 })
        ok &= render(
            folder, QStringLiteral("quenorpc-%1.png").arg(size), size, size, 100, drawAppIcon);
    return ok ? 0 : 1;
}
