// celvio-pictures: draws the pictures shown next to the operator and customer
// instructions (title, coupler, phone positions, call steps, swap, service).
//
//   celvio-pictures OUTDIR
//
// All pictures are 320 x 240, drawn with plain QPainter primitives in one flat
// style and stored as 8-bit palette BMP files. Nothing random and no dates go
// into the files, so a rerun on the same system gives identical bytes.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// ---------------------------------------------------------------------------
// Palette of the drawing style

namespace colour {
const QColor background(0xEE, 0xF3, 0xF7);
const QColor ground(0xDD, 0xE5, 0xEC);
const QColor ink(0x2A, 0x36, 0x44);
const QColor title(0x1F, 0x4E, 0x7E);
const QColor muted(0x8A, 0x99, 0xA8);

const QColor phoneBody(0x45, 0x55, 0x69);
const QColor phoneEdge(0x2E, 0x3A, 0x48);
const QColor phoneOld(0x8C, 0x93, 0x9B);
const QColor key(0xE4, 0xEA, 0xF0);
const QColor lcd(0xC6, 0xE6, 0xCF);
const QColor lcdInk(0x2D, 0x52, 0x40);
const QColor lcdDead(0x5E, 0x66, 0x6E);

const QColor plateTop(0xD6, 0xDE, 0xE6);
const QColor plateInner(0xE3, 0xE9, 0xEF);
const QColor plateFront(0xAF, 0xBC, 0xC9);
const QColor cable(0x3B, 0x44, 0x4F);

const QColor wave(0x2F, 0x7F, 0xD0);
const QColor signal(0xF2, 0x9B, 0x26);
const QColor red(0xD6, 0x45, 0x41);
const QColor green(0x3F, 0xA3, 0x5F);
const QColor white(0xFF, 0xFF, 0xFF);

const QColor skin(0xF3, 0xCB, 0xA5);
const QColor skinShade(0xE0, 0xA9, 0x80);
const QColor hair(0x5B, 0x46, 0x36);
const QColor shirt(0x4F, 0x7F, 0xB5);
const QColor wood(0xC9, 0x9E, 0x6E);
const QColor woodDark(0xA9, 0x7E, 0x52);

const QColor tester(0xCF, 0xD8, 0xE1);
const QColor testerScreen(0x24, 0x3B, 0x4F);
const QColor trace(0x8F, 0xE3, 0xA8);
} // namespace colour

// Cosmetic pen: the width stays in picture pixels whatever the painter
// transform is, so scaled and tilted objects keep the same outline weight.
QPen outline(qreal width = 2.0, const QColor &c = colour::ink)
{
    QPen pen(c, width);
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QFont sans(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void fillBackground(QPainter &p)
{
    p.fillRect(QRectF(0, 0, kWidth, kHeight), colour::background);
}

// Soft flat "floor" under an object.
void drawGround(QPainter &p, QPointF centre, qreal rx, qreal ry)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ground);
    p.drawEllipse(centre, rx, ry);
}

// Concentric arcs, e.g. radio waves or a ringing tone. Angles in degrees,
// counter-clockwise from 3 o'clock as QPainter counts them.
void drawArcs(QPainter &p, QPointF centre, qreal midAngle, qreal span, qreal r0, qreal step, int count,
              const QColor &c, qreal width = 3.0)
{
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const qreal r = r0 + i * step;
        p.setPen(outline(width, c));
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), int((midAngle - span / 2) * 16),
                  int(span * 16));
    }
}

// Thick arrow along a quadratic curve, head at `to`.
void drawCurvedArrow(QPainter &p, QPointF from, QPointF ctrl, QPointF to, const QColor &c, qreal width = 7)
{
    const QLineF tail(ctrl, to);
    const qreal head = width * 2.4;
    const QPointF dir = (to - ctrl) / tail.length();
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = to - dir * head;

    QPainterPath shaft(from);
    shaft.quadTo(ctrl, base + dir * 2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::ink, width + 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shaft);
    QPolygonF tip{to, base + normal * head * 0.75, base - normal * head * 0.75};
    p.setPen(outline(2));
    p.setBrush(c);
    p.drawPolygon(tip);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(shaft);
}

// Round badge with a cross (fault) or a tick (good).
void drawBadge(QPainter &p, QPointF centre, qreal r, bool good)
{
    p.setPen(outline(2.5));
    p.setBrush(good ? colour::green : colour::red);
    p.drawEllipse(centre, r, r);
    QPen mark(colour::white, r * 0.28, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(mark);
    p.setBrush(Qt::NoBrush);
    const qreal k = r * 0.42;
    if (good) {
        QPolygonF tick{centre + QPointF(-k, 0.05 * r), centre + QPointF(-0.15 * r, k), centre + QPointF(k, -k * 0.9)};
        p.drawPolyline(tick);
    } else {
        p.drawLine(centre + QPointF(-k, -k), centre + QPointF(k, k));
        p.drawLine(centre + QPointF(-k, k), centre + QPointF(k, -k));
    }
}

// ---------------------------------------------------------------------------
// The phone
//
// A classic bar phone drawn in its own units: body 60 x 130 centred on the
// origin, y pointing down, antenna stub at the top right above the body.

const QRectF kPhoneBody(-30, -65, 60, 130);
const QRectF kPhoneAntenna(9, -80, 11, 19);
const QRectF kPhoneScreen(-22, -50, 44, 35);
const QPointF kPhoneAntennaTip(14.5, -80);

using ScreenPainter = std::function<void(QPainter &, const QRectF &)>;

struct PhoneLook {
    QColor body = colour::phoneBody;
    QColor screen = colour::lcd;
    int litKey = -1; // keypad key shown pressed, 0..11 row by row
    bool cracked = false;
    ScreenPainter content;
};

QRectF keyRect(int index)
{
    const int row = index / 3;
    const int col = index % 3;
    return QRectF(-22 + col * 16, 10 + row * 12.5, 12, 8.5);
}

void drawPhoneUnit(QPainter &p, const PhoneLook &look)
{
    p.setPen(outline(2));
    p.setBrush(look.body.darker(125));
    p.drawRoundedRect(kPhoneAntenna, 4, 4);

    p.setBrush(look.body);
    p.drawRoundedRect(kPhoneBody, 13, 13);
    // lighter face plate gives the body a bit of depth
    p.setPen(Qt::NoPen);
    p.setBrush(look.body.lighter(118));
    p.drawRoundedRect(kPhoneBody.adjusted(4, 4, -4, -4), 10, 10);

    p.setBrush(colour::ink);
    p.drawRoundedRect(QRectF(-9, -59, 18, 3.5), 1.75, 1.75);

    p.setPen(outline(1.5));
    p.setBrush(look.screen);
    p.drawRoundedRect(kPhoneScreen, 3, 3);
    if (look.content) {
        p.save();
        p.setClipRect(kPhoneScreen.adjusted(1, 1, -1, -1));
        look.content(p, kPhoneScreen);
        p.restore();
    }
    if (look.cracked) {
        p.setPen(outline(1.2, colour::white));
        p.setBrush(Qt::NoBrush);
        const QPointF c(kPhoneScreen.center() + QPointF(6, -4));
        p.drawPolyline(QPolygonF{c + QPointF(-26, -8), c + QPointF(-10, -2), c, c + QPointF(5, 12), c + QPointF(2, 21)});
        p.drawPolyline(QPolygonF{c, c + QPointF(14, -6), c + QPointF(18, -18)});
        p.drawPolyline(QPolygonF{c, c + QPointF(-6, 16), c + QPointF(-16, 22)});
    }

    // soft keys and navigation key
    p.setPen(outline(1.2));
    p.setBrush(colour::key);
    p.drawRoundedRect(QRectF(-22, -8, 13, 7), 3, 3);
    p.drawRoundedRect(QRectF(9, -8, 13, 7), 3, 3);
    p.drawEllipse(QRectF(-6, -9, 12, 9));

    for (int i = 0; i < 12; ++i) {
        p.setBrush(i == look.litKey ? colour::signal : colour::key);
        p.drawRoundedRect(keyRect(i), 2.5, 2.5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ink);
    p.drawEllipse(QPointF(0, 59), 1.6, 1.6);
}

void drawPhone(QPainter &p, QPointF centre, qreal scale, const PhoneLook &look, qreal angle = 0)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.scale(scale, scale);
    drawPhoneUnit(p, look);
    p.restore();
}

QTransform phoneTransform(QPointF centre, qreal scale, qreal angle = 0)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(angle);
    t.scale(scale, scale);
    return t;
}

// Screen contents ----------------------------------------------------------

void screenSignalBars(QPainter &p, const QRectF &s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour::lcdInk);
    for (int i = 0; i < 4; ++i) {
        const qreal h = 4 + i * 3.5;
        p.drawRect(QRectF(s.left() + 5 + i * 5, s.top() + 21 - h, 3.2, h));
    }
    p.drawRect(QRectF(s.right() - 12, s.top() + 7, 8, 14));
    p.setBrush(colour::lcd);
    p.drawRect(QRectF(s.right() - 10.5, s.top() + 8.5, 5, 5));
    p.setBrush(colour::lcdInk);
    p.drawRect(QRectF(s.left() + 5, s.bottom() - 8, s.width() - 10, 2.2));
}

// Classic telephone receiver, upside-down U with the ear and mouth pieces.
void drawHandset(QPainter &p, QPointF centre, qreal size, const QColor &c)
{
    p.save();
    p.translate(centre);
    p.scale(size / 20.0, size / 20.0);
    QPainterPath path;
    path.moveTo(-10, 2);
    path.cubicTo(-10, -8, 10, -8, 10, 2);
    path.lineTo(10, 6);
    path.lineTo(4, 6);
    path.lineTo(4, 2);
    path.cubicTo(2, -1.5, -2, -1.5, -4, 2);
    path.lineTo(-4, 6);
    path.lineTo(-10, 6);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
    p.restore();
}

void screenDialling(QPainter &p, const QRectF &s)
{
    p.setPen(colour::lcdInk);
    p.setFont(sans(11, true));
    p.drawText(s.adjusted(3, 0, -3, -6), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("1245"));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::lcdInk);
    for (int i = 0; i < 4; ++i) {
        const qreal h = 2 + i * 1.5;
        p.drawRect(QRectF(s.left() + 4 + i * 3, s.top() + 9 - h, 2, h));
    }
}

void screenIncoming(QPainter &p, const QRectF &s)
{
    drawHandset(p, s.center() + QPointF(0, 1), 22, colour::lcdInk);
    p.setPen(outline(1.4, colour::lcdInk));
    p.setBrush(Qt::NoBrush);
    const QPointF c = s.center() + QPointF(0, -2);
    p.drawArc(QRectF(c.x() - 17, c.y() - 13, 34, 26), 60 * 16, 60 * 16);
}

void screenFault(QPainter &p, const QRectF &s)
{
    p.setPen(outline(3.5, colour::red));
    const QPointF c = s.center();
    p.drawLine(c + QPointF(0, -10), c + QPointF(0, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::red);
    p.drawEllipse(c + QPointF(0, 10), 2.2, 2.2);
}

// ---------------------------------------------------------------------------
// The antenna coupler, seen from the front and a little above
//
// The plate has its own coordinates: u from 0 to kPlateW left to right, v from
// 0 (front edge) to kPlateD (back edge). A projective transform maps the
// plate onto the picture, so a phone drawn in plate coordinates lies on it.

constexpr qreal kPlateW = 200;
constexpr qreal kPlateD = 140;

struct Coupler {
    QTransform plate;
    QPointF rodBase;
    QPointF rodTip;
};

Coupler couplerGeometry(QPointF frontCentre, qreal frontWidth, qreal backWidth, qreal depth, qreal rodHeight)
{
    const qreal x = frontCentre.x();
    const qreal y = frontCentre.y();
    const QPolygonF flat{QPointF(0, 0), QPointF(kPlateW, 0), QPointF(kPlateW, kPlateD), QPointF(0, kPlateD)};
    const QPolygonF seen{QPointF(x - frontWidth / 2, y), QPointF(x + frontWidth / 2, y),
                         QPointF(x + backWidth / 2, y - depth), QPointF(x - backWidth / 2, y - depth)};
    Coupler c;
    QTransform::quadToQuad(flat, seen, c.plate);
    c.rodBase = c.plate.map(QPointF(kPlateW / 2, kPlateD - 12));
    c.rodTip = c.rodBase - QPointF(0, rodHeight);
    return c;
}

// Cable from the back right corner of the coupler out of the picture.
void drawCouplerCable(QPainter &p, const Coupler &c, QPointF end)
{
    const QPointF start = c.plate.map(QPointF(kPlateW - 24, kPlateD));
    QPainterPath cable(start);
    cable.cubicTo(start + QPointF(0, -26), end + QPointF(-50, 0), end);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::ink, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);
    p.setPen(QPen(colour::cable, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);
}

void drawCouplerBody(QPainter &p, const Coupler &c, qreal thickness)
{
    const QPointF fl = c.plate.map(QPointF(0, 0));
    const QPointF fr = c.plate.map(QPointF(kPlateW, 0));
    const QPointF br = c.plate.map(QPointF(kPlateW, kPlateD));
    const QPointF bl = c.plate.map(QPointF(0, kPlateD));

    drawGround(p, QPointF((fl.x() + fr.x()) / 2, fl.y() + thickness + 2), (fr.x() - fl.x()) / 2 + 14, 9);

    // front face
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawRoundedRect(QRectF(fl.x(), fl.y() - 6, fr.x() - fl.x(), thickness + 6), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::green);
    p.drawEllipse(QPointF(fr.x() - 14, fl.y() + thickness / 2 + 1), 2.6, 2.6);

    // top plate with a recessed inner field
    p.setPen(outline(2));
    p.setBrush(colour::plateTop);
    p.drawPolygon(QPolygonF{fl, fr, br, bl});
    p.setPen(outline(1.2, colour::muted));
    p.setBrush(colour::plateInner);
    p.drawPolygon(c.plate.map(QPolygonF(QRectF(10, 10, kPlateW - 20, kPlateD - 32))));
}

void drawCouplerRod(QPainter &p, const Coupler &c)
{
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawEllipse(c.rodBase, 9, 4);
    p.setPen(QPen(colour::ink, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c.rodBase, c.rodTip);
    p.setPen(QPen(colour::muted, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c.rodBase, c.rodTip);
    p.setPen(outline(2));
    p.setBrush(colour::signal);
    p.drawEllipse(c.rodTip, 5, 5);
}

QTransform lyingPhoneTransform(const Coupler &c, QPointF at, qreal scale)
{
    // phone y grows towards the viewer, plate v grows away from the viewer
    QTransform local;
    local.translate(at.x(), at.y());
    local.scale(scale, -scale);
    return local * c.plate;
}

void drawLyingPhone(QPainter &p, const Coupler &c, QPointF at, qreal scale, const PhoneLook &look)
{
    const QTransform t = lyingPhoneTransform(c, at, scale);
    // the phone's edge shows below its face
    p.save();
    p.setTransform(t * QTransform::fromTranslate(0, 4));
    p.setPen(outline(2));
    p.setBrush(colour::phoneEdge);
    p.drawRoundedRect(kPhoneBody, 13, 13);
    p.restore();

    p.save();
    p.setTransform(t);
    drawPhoneUnit(p, look);
    p.restore();
}

// ---------------------------------------------------------------------------
// Pictures

void drawTitle(QPainter &p)
{
    fillBackground(p);

    p.setPen(colour::title);
    QFont f = sans(48, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(f);
    p.drawText(QRectF(0, 6, kWidth, 60), Qt::AlignCenter, QStringLiteral("CELVIO"));

    const Coupler c = couplerGeometry(QPointF(160, 198), 228, 170, 84, 40);
    drawCouplerBody(p, c, 16);
    drawCouplerRod(p, c);
    drawLyingPhone(p, c, QPointF(kPlateW / 2 - 30, 56), 0.78, PhoneLook{.content = screenSignalBars});
    drawArcs(p, c.rodTip, 15, 60, 11, 8, 3, colour::wave);
    drawArcs(p, c.rodTip, 165, 60, 11, 8, 3, colour::wave);

    p.setPen(colour::muted);
    QFont small = sans(12, true);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(small);
    p.drawText(QRectF(0, 214, kWidth - 10, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("ZAVAR"));
}

void drawCoupler(QPainter &p)
{
    fillBackground(p);
    const Coupler c = couplerGeometry(QPointF(156, 200), 250, 186, 118, 46);
    drawCouplerCable(p, c, QPointF(kWidth + 10, 64));
    drawCouplerBody(p, c, 18);
    drawCouplerRod(p, c);
    drawLyingPhone(p, c, QPointF(kPlateW / 2 - 12, 50), 0.8, PhoneLook{.content = screenSignalBars});
}

void drawTransmit(QPainter &p)
{
    fillBackground(p);
    const Coupler c = couplerGeometry(QPointF(160, 206), 250, 186, 110, 72);
    drawCouplerCable(p, c, QPointF(kWidth + 10, 70));
    drawCouplerBody(p, c, 18);
    const QPointF at(kPlateW / 2 - 60, 42);
    const qreal scale = 0.72;

    // waves leave the phone's antenna and travel up to the coupler antenna,
    // which is drawn over the last one
    const QPointF from = lyingPhoneTransform(c, at, scale).map(kPhoneAntennaTip);
    const QLineF towards(from, c.rodTip + QPointF(0, 22));
    const qreal reach = towards.length();
    drawArcs(p, from, towards.angle(), 46, 12, (reach - 12) / 3, 4, colour::wave, 3.5);

    drawCouplerRod(p, c);
    drawLyingPhone(p, c, at, scale, PhoneLook{.content = screenSignalBars});
}

// Phone wired to the radio tester; `phase` 0..1 moves the signal dot along
// the cable, so two frames shown one after the other look animated.
void drawCableFrame(QPainter &p, qreal phase, bool ledOn)
{
    fillBackground(p);
    drawGround(p, QPointF(238, 188), 84, 10);
    drawGround(p, QPointF(74, 196), 44, 8);

    // the tester
    const QRectF box(166, 58, 142, 124);
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawRoundedRect(QRectF(box.left() + 12, box.bottom() - 4, 18, 10), 3, 3);
    p.drawRoundedRect(QRectF(box.right() - 30, box.bottom() - 4, 18, 10), 3, 3);
    p.setBrush(colour::tester);
    p.drawRoundedRect(box, 9, 9);
    p.setBrush(colour::plateTop);
    p.drawRoundedRect(box.adjusted(6, 6, -6, -6), 6, 6);

    const QRectF screen(box.left() + 14, box.top() + 14, 78, 54);
    p.setBrush(colour::testerScreen);
    p.drawRoundedRect(screen, 4, 4);
    QPainterPath trace;
    for (int i = 0; i <= 60; ++i) {
        const qreal t = i / 60.0;
        const QPointF pt(screen.left() + 6 + t * (screen.width() - 12),
                         screen.center().y() - 15 * std::sin(t * 6 * std::numbers::pi) * std::exp(-1.2 * t));
        if (i == 0)
            trace.moveTo(pt);
        else
            trace.lineTo(pt);
    }
    p.setPen(outline(2, colour::trace));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);

    // knob and buttons
    const QPointF knob(box.right() - 26, box.top() + 32);
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawEllipse(knob, 14, 14);
    p.setBrush(colour::tester);
    p.drawEllipse(knob, 9, 9);
    p.drawLine(knob, knob + QPointF(5, -5));
    p.setPen(outline(1.5));
    p.setBrush(colour::key);
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 3; ++k)
            p.drawRoundedRect(QRectF(box.left() + 14 + k * 27, box.top() + 78 + r * 14, 21, 9), 2.5, 2.5);
    p.setPen(outline(1.5));
    p.setBrush(ledOn ? colour::green : colour::plateFront);
    p.drawEllipse(QPointF(box.right() - 40, box.top() + 96), 4, 4);

    // RF socket on the front
    const QPointF socket(box.right() - 22, box.top() + 96);
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawEllipse(socket, 9, 9);
    p.setBrush(colour::ink);
    p.drawEllipse(socket, 3, 3);

    // the phone and its test cable
    const QPointF phoneAt(74, 104);
    const qreal scale = 1.15;
    drawPhone(p, phoneAt, scale, PhoneLook{.content = screenSignalBars});
    const QPointF plug = phoneTransform(phoneAt, scale).map(QPointF(0, 65));
    p.setPen(outline(2));
    p.setBrush(colour::cable);
    p.drawRoundedRect(QRectF(plug.x() - 8, plug.y() - 2, 16, 12), 3, 3);

    QPainterPath cable(plug + QPointF(0, 10));
    cable.cubicTo(plug + QPointF(0, 46), QPointF(socket.x() - 10, kHeight - 6), QPointF(socket.x(), 202));
    cable.lineTo(socket + QPointF(0, 9));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour::ink, 8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);
    p.setPen(QPen(colour::cable, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(cable);

    const QPointF dot = cable.pointAtPercent(phase);
    p.setPen(outline(2.5, colour::white));
    p.setBrush(colour::signal);
    p.drawEllipse(dot, 7, 7);
}

void drawCable1(QPainter &p) { drawCableFrame(p, 0.30, false); }
void drawCable2(QPainter &p) { drawCableFrame(p, 0.68, true); }

// Right hand seen from the back, index finger pointing up, fingertip at the
// origin; one unit is one pixel before rotation.
void drawHand(QPainter &p, QPointF tip, qreal angle)
{
    p.save();
    p.translate(tip);
    p.rotate(angle);

    p.setPen(outline(2));
    // sleeve
    p.setBrush(colour::shirt);
    p.drawRoundedRect(QRectF(-22, 136, 82, 70), 10, 10);
    // back of the hand
    p.setBrush(colour::skin);
    QPainterPath palm;
    palm.moveTo(-12, 60);
    palm.cubicTo(-22, 90, -20, 120, -10, 142);
    palm.lineTo(48, 142);
    palm.cubicTo(58, 120, 62, 90, 52, 66);
    palm.closeSubpath();
    p.drawPath(palm);
    // thumb folded along the left side
    p.drawRoundedRect(QRectF(-26, 80, 18, 46), 9, 9);
    // curled fingers, knuckles towards the viewer
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(8 + i * 14.5, 58 + i * 3, 17, 40), 8.5, 8.5);
    // index finger
    p.drawRoundedRect(QRectF(-11, 0, 21, 96), 10.5, 10.5);
    p.setPen(outline(1.2, colour::skinShade));
    p.drawLine(QPointF(-5, 40), QPointF(4, 40));
    p.drawLine(QPointF(-5, 66), QPointF(4, 66));
    p.setPen(outline(1.2));
    p.setBrush(colour::white.darker(104));
    p.drawRoundedRect(QRectF(-6, 3, 11, 12), 5, 5);
    p.restore();
}

void drawHandPicture(QPainter &p)
{
    fillBackground(p);
    drawGround(p, QPointF(130, 222), 70, 10);
    const QPointF phoneAt(128, 118);
    const qreal scale = 1.45;
    constexpr int keyFive = 4;
    drawPhone(p, phoneAt, scale, PhoneLook{.litKey = keyFive, .content = screenDialling});

    const QPointF key = phoneTransform(phoneAt, scale).map(keyRect(keyFive).center());
    drawHand(p, key + QPointF(3, 4), -32);
}

void drawIncall(QPainter &p)
{
    fillBackground(p);
    drawGround(p, QPointF(160, 222), 64, 10);
    const QPointF at(160, 122);
    const qreal scale = 1.4;
    const qreal tilt = -8;
    drawPhone(p, at, scale, PhoneLook{.content = screenIncoming}, tilt);

    // ringing
    const QPointF top = phoneTransform(at, scale, tilt).map(QPointF(0, -52));
    drawArcs(p, top + QPointF(46, 0), 30, 60, 14, 11, 3, colour::signal, 4);
    drawArcs(p, top + QPointF(-46, 0), 150, 60, 14, 11, 3, colour::signal, 4);
    // shake marks at the sides
    const QTransform t = phoneTransform(at, scale, tilt);
    p.setPen(outline(3, colour::muted));
    for (int i = 0; i < 2; ++i) {
        const qreal y = 10 + i * 14;
        p.drawLine(t.map(QPointF(-40, y)), t.map(QPointF(-48, y)));
        p.drawLine(t.map(QPointF(40, y)), t.map(QPointF(48, y)));
    }
}

// Head in profile looking right, drawn in a 140 x 175 box from its top left.
void drawHead(QPainter &p, QPointF origin)
{
    p.save();
    p.translate(origin);

    p.setPen(outline(2));
    p.setBrush(colour::shirt);
    QPainterPath shoulders;
    shoulders.moveTo(-20, 178);
    shoulders.cubicTo(-18, 150, 10, 140, 40, 140);
    shoulders.lineTo(96, 140);
    shoulders.cubicTo(120, 142, 130, 160, 132, 178);
    shoulders.closeSubpath();
    p.drawPath(shoulders);

    QPainterPath head;
    head.moveTo(42, 150);
    head.lineTo(40, 122);
    head.cubicTo(16, 110, 8, 80, 12, 55);
    head.cubicTo(18, 20, 50, 4, 80, 6);
    head.cubicTo(108, 8, 122, 30, 120, 58);
    head.lineTo(132, 84);
    head.cubicTo(133, 88, 130, 90, 122, 92);
    head.cubicTo(124, 96, 122, 98, 122, 100);
    head.cubicTo(124, 104, 122, 108, 120, 110);
    head.cubicTo(120, 120, 112, 126, 100, 124);
    head.cubicTo(94, 124, 88, 128, 88, 138);
    head.lineTo(88, 150);
    head.closeSubpath();
    p.setBrush(colour::skin);
    p.drawPath(head);

    QPainterPath hair;
    hair.moveTo(118, 40);
    hair.cubicTo(110, 12, 84, 2, 62, 6);
    hair.cubicTo(30, 10, 10, 36, 12, 66);
    hair.cubicTo(13, 80, 18, 92, 28, 104);
    hair.cubicTo(34, 86, 40, 70, 52, 58);
    hair.cubicTo(76, 44, 100, 44, 118, 40);
    hair.closeSubpath();
    p.setBrush(colour::hair);
    p.drawPath(hair);

    // ear and eye
    p.setBrush(colour::skin);
    p.drawEllipse(QPointF(56, 78), 9, 13);
    p.setPen(outline(1.5, colour::skinShade));
    p.drawArc(QRectF(51, 70, 10, 16), 90 * 16, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ink);
    p.drawEllipse(QPointF(105, 64), 3, 3.4);
    p.setPen(outline(2));
    p.drawLine(QPointF(99, 54), QPointF(111, 53));
    // open mouth
    p.setBrush(colour::ink);
    p.drawPolygon(QPolygonF{QPointF(121, 101), QPointF(112, 102), QPointF(121, 106)});
    p.restore();
}

void drawSpeak(QPainter &p)
{
    fillBackground(p);
    const QPointF head(14, 62);
    drawHead(p, head);
    const QPointF mouth = head + QPointF(124, 103);

    const QPointF phoneAt(258, 140);
    const qreal scale = 0.95;
    const qreal tilt = 12;
    drawGround(p, QPointF(258, 222), 40, 8);
    drawPhone(p, phoneAt, scale, PhoneLook{.content = screenSignalBars}, tilt);

    // speech going into the phone
    drawArcs(p, mouth, -5, 56, 16, 13, 3, colour::wave, 3.5);

    // echo: the voice comes back from the phone to the ear
    const QPointF ear = head + QPointF(56, 78);
    const QPointF phoneTop = phoneTransform(phoneAt, scale, tilt).map(QPointF(-8, -70));
    drawCurvedArrow(p, phoneTop + QPointF(-8, -12), QPointF(150, -10), ear + QPointF(3, -16), colour::signal, 4.5);
}

void drawFailed(QPainter &p)
{
    fillBackground(p);
    drawGround(p, QPointF(150, 222), 64, 10);
    drawPhone(p, QPointF(150, 120), 1.4,
              PhoneLook{.screen = colour::lcd.lighter(104), .content = screenFault});
    drawBadge(p, QPointF(214, 168), 34, false);
}

void drawSwap(QPainter &p)
{
    fillBackground(p);
    drawGround(p, QPointF(64, 214), 48, 9);
    drawGround(p, QPointF(256, 214), 48, 9);

    drawPhone(p, QPointF(64, 122), 1.1,
              PhoneLook{.body = colour::phoneOld, .screen = colour::lcdDead, .cracked = true, .content = {}});
    drawBadge(p, QPointF(92, 178), 17, false);

    drawPhone(p, QPointF(256, 122), 1.1, PhoneLook{.content = screenSignalBars});
    drawBadge(p, QPointF(284, 178), 17, true);

    drawCurvedArrow(p, QPointF(112, 88), QPointF(160, 40), QPointF(210, 86), colour::signal);
    drawCurvedArrow(p, QPointF(208, 150), QPointF(160, 198), QPointF(110, 152), colour::wave);
}

void drawIdCard(QPainter &p, QRectF r)
{
    p.setPen(outline(2));
    p.setBrush(colour::white);
    p.drawRoundedRect(r, 7, 7);
    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::wave);
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.24), 7, 7);
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.12, r.width(), r.height() * 0.12));
    p.restore();
    p.setPen(outline(2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 7, 7);

    const QRectF photo(r.left() + r.width() * 0.08, r.top() + r.height() * 0.34, r.width() * 0.3,
                       r.height() * 0.56);
    p.setPen(outline(1.5));
    p.setBrush(colour::plateInner);
    p.drawRect(photo);
    p.save();
    p.setClipRect(photo);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::shirt);
    p.drawEllipse(QPointF(photo.center().x(), photo.bottom() + photo.height() * 0.15), photo.width() * 0.45,
                  photo.height() * 0.42);
    p.setBrush(colour::skinShade);
    p.drawEllipse(QPointF(photo.center().x(), photo.top() + photo.height() * 0.42), photo.width() * 0.24,
                  photo.height() * 0.22);
    p.restore();

    p.setPen(outline(3, colour::muted));
    const qreal x0 = photo.right() + r.width() * 0.08;
    const qreal x1 = r.right() - r.width() * 0.08;
    for (int i = 0; i < 3; ++i) {
        const qreal y = photo.top() + photo.height() * (0.2 + i * 0.3);
        p.drawLine(QPointF(x0, y), QPointF(i == 2 ? (x0 + x1) / 2 : x1, y));
    }
}

void drawService(QPainter &p)
{
    fillBackground(p);

    // person behind the counter
    const qreal cx = 112;
    p.setPen(outline(2));
    p.setBrush(colour::shirt);
    p.drawRoundedRect(QRectF(cx - 62, 144, 124, 120), 40, 40);
    p.setBrush(colour::skin);
    p.drawRect(QRectF(cx - 11, 122, 22, 26));
    p.setBrush(colour::white);
    p.drawPolygon(QPolygonF{QPointF(cx - 16, 145), QPointF(cx, 166), QPointF(cx + 16, 145)});
    p.setBrush(colour::skin);
    p.drawEllipse(QPointF(cx - 29, 96), 6, 9);
    p.drawEllipse(QPointF(cx + 29, 96), 6, 9);
    p.drawEllipse(QPointF(cx, 92), 29, 34);
    QPainterPath hair;
    hair.moveTo(cx - 29, 96);
    hair.cubicTo(cx - 32, 62, cx - 12, 55, cx, 56);
    hair.cubicTo(cx + 16, 55, cx + 34, 62, cx + 29, 94);
    hair.cubicTo(cx + 22, 80, cx + 10, 74, cx - 6, 76);
    hair.cubicTo(cx - 16, 77, cx - 24, 82, cx - 29, 96);
    hair.closeSubpath();
    p.setBrush(colour::hair);
    p.drawPath(hair);
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ink);
    p.drawEllipse(QPointF(cx - 10, 94), 2.8, 3.2);
    p.drawEllipse(QPointF(cx + 10, 94), 2.8, 3.2);
    p.setPen(outline(2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - 10, 98, 20, 14), 200 * 16, 140 * 16);

    // lanyard with a badge on the chest
    p.setPen(outline(2, colour::red));
    p.drawLine(QPointF(cx - 14, 146), QPointF(cx + 26, 176));
    p.drawLine(QPointF(cx + 14, 146), QPointF(cx + 30, 176));
    drawIdCard(p, QRectF(cx + 16, 174, 30, 22));

    // the counter
    p.setPen(outline(2));
    p.setBrush(colour::woodDark);
    p.drawRect(QRectF(-4, 208, kWidth + 8, 40));
    p.setBrush(colour::wood);
    p.drawRoundedRect(QRectF(-4, 198, kWidth + 8, 12), 3, 3);

    // service bell on the counter
    const QPointF bell(262, 198);
    p.setBrush(colour::signal);
    p.drawChord(QRectF(bell.x() - 20, bell.y() - 24, 40, 44), 0, 180 * 16);
    p.setBrush(colour::plateFront);
    p.drawRoundedRect(QRectF(bell.x() - 24, bell.y() - 4, 48, 6), 2, 2);
    p.drawEllipse(QPointF(bell.x(), bell.y() - 27), 4, 3);

    // the service card, shown large
    p.save();
    p.translate(238, 92);
    p.rotate(-6);
    drawIdCard(p, QRectF(-58, -38, 116, 76));
    p.restore();
}

// Top view of the coupler plate with the six phone positions, 1 2 3 at the
// back row and 4 5 6 at the front row; `position` is the one shown occupied.
void drawPosition(QPainter &p, int position)
{
    fillBackground(p);

    const QRectF plate(70, 10, 240, 220);
    p.setPen(outline(2));
    p.setBrush(colour::plateTop);
    p.drawRoundedRect(plate, 16, 16);
    const QRectF field = plate.adjusted(10, 26, -10, -10);
    p.setPen(outline(1.2, colour::muted));
    p.setBrush(colour::plateInner);
    p.drawRoundedRect(field, 8, 8);

    // the coupler antenna stands at the back edge
    const QPointF rod(plate.center().x(), plate.top() + 13);
    p.setPen(outline(2));
    p.setBrush(colour::plateFront);
    p.drawEllipse(rod, 8, 8);
    p.setBrush(colour::signal);
    p.drawEllipse(rod, 4, 4);

    const qreal colW = field.width() / 3;
    const qreal rowH = field.height() / 2;
    for (int i = 0; i < 6; ++i) {
        const QPointF centre(field.left() + colW * (i % 3 + 0.5), field.top() + rowH * (i / 3 + 0.5));
        if (i + 1 == position) {
            drawPhone(p, centre + QPointF(0, 4), 0.6, PhoneLook{.content = screenSignalBars});
            continue;
        }
        QPen dashed = outline(1.5, colour::muted);
        dashed.setStyle(Qt::DashLine);
        p.setPen(dashed);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(centre.x() - 20, centre.y() - 37, 40, 80), 8, 8);
        p.setPen(colour::muted);
        p.setFont(sans(15, true));
        p.drawText(QRectF(centre.x() - 20, centre.y() - 37, 40, 80), Qt::AlignCenter, QString::number(i + 1));
    }

    // the position number, large
    const QPointF badge(35, 38);
    p.setPen(outline(2.5));
    p.setBrush(colour::title);
    p.drawEllipse(badge, 27, 27);
    p.setPen(colour::white);
    p.setFont(sans(36, true));
    p.drawText(QRectF(badge.x() - 27, badge.y() - 27, 54, 54), Qt::AlignCenter, QString::number(position));
}

// ---------------------------------------------------------------------------
// 8-bit palette
//
// Anti-aliased edges give a few thousand distinct colours. The flat fills
// that cover larger areas keep their exact colour in the palette; the rest of
// the slots come from a weighted median cut over the remaining colours. Each
// pixel then takes the nearest palette colour, without dithering, which keeps
// the flat areas clean.

struct ColourCount {
    QRgb rgb;
    qint64 count;
};

int channel(QRgb c, int axis)
{
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

QList<QRgb> medianCut(std::vector<ColourCount> colours, int count)
{
    struct Box {
        std::size_t begin;
        std::size_t end;
    };
    const auto spread = [&](const Box &b, int &axis) {
        std::array<int, 3> lo{255, 255, 255};
        std::array<int, 3> hi{0, 0, 0};
        for (std::size_t i = b.begin; i < b.end; ++i)
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], channel(colours[i].rgb, a));
                hi[a] = std::max(hi[a], channel(colours[i].rgb, a));
            }
        axis = 0;
        for (int a = 1; a < 3; ++a)
            if (hi[a] - lo[a] > hi[axis] - lo[axis])
                axis = a;
        qint64 weight = 0;
        for (std::size_t i = b.begin; i < b.end; ++i)
            weight += colours[i].count;
        return double(hi[axis] - lo[axis]) * double(weight);
    };

    std::vector<Box> boxes{{0, colours.size()}};
    while (int(boxes.size()) < count) {
        int best = -1;
        int bestAxis = 0;
        double bestScore = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            int axis = 0;
            const double score = spread(boxes[b], axis);
            if (score > bestScore) {
                best = b;
                bestAxis = axis;
                bestScore = score;
            }
        }
        if (best < 0)
            break;
        Box box = boxes[best];
        std::stable_sort(colours.begin() + box.begin, colours.begin() + box.end,
                         [bestAxis](const ColourCount &x, const ColourCount &y) {
                             return channel(x.rgb, bestAxis) < channel(y.rgb, bestAxis);
                         });
        qint64 total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            total += colours[i].count;
        qint64 running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (2 * running >= total)
                break;
        }
        boxes[best] = {box.begin, split};
        boxes.push_back({split, box.end});
    }

    QList<QRgb> table;
    for (const Box &b : boxes) {
        double r = 0, g = 0, bl = 0, w = 0;
        for (std::size_t i = b.begin; i < b.end; ++i) {
            const double n = double(colours[i].count);
            r += qRed(colours[i].rgb) * n;
            g += qGreen(colours[i].rgb) * n;
            bl += qBlue(colours[i].rgb) * n;
            w += n;
        }
        table.append(qRgb(int(std::lround(r / w)), int(std::lround(g / w)), int(std::lround(bl / w))));
    }
    return table;
}

QImage toPalette(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, qint64> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++histogram[line[x] | 0xff000000u];
    }

    constexpr int kColours = 256;
    constexpr int kReserved = 112; // exact slots for the flat fills
    constexpr qint64 kFlatArea = 60; // pixels a colour must cover to count as flat

    QList<QRgb> table;
    if (histogram.size() <= std::size_t(kColours)) {
        for (const auto &[c, n] : histogram)
            table.append(c);
    } else {
        std::vector<ColourCount> byCount;
        for (const auto &[c, n] : histogram)
            byCount.push_back({c, n});
        std::stable_sort(byCount.begin(), byCount.end(),
                         [](const ColourCount &a, const ColourCount &b) { return a.count > b.count; });
        std::vector<ColourCount> rest;
        for (const ColourCount &cc : byCount) {
            if (table.size() < kReserved && cc.count >= kFlatArea)
                table.append(cc.rgb);
            else
                rest.push_back(cc);
        }
        table += medianCut(std::move(rest), kColours - int(table.size()));
    }
    // a full table keeps the file layout the same for every picture
    while (table.size() < kColours)
        table.append(qRgb(0, 0, 0));

    return rgb.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
}

struct Picture {
    QString file;
    std::function<void(QPainter &)> draw;
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: celvio-pictures OUTDIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "celvio-pictures: cannot create %s\n", argv[1]);
        return 1;
    }

    std::vector<Picture> pictures{
        {"Zoredudi.BMP", drawTitle},   {"Coupler.BMP", drawCoupler},   {"Coupler2.BMP", drawCable1},
        {"Coupler3.BMP", drawCable2},  {"Transmit.BMP", drawTransmit}, {"Hand.BMP", drawHandPicture},
        {"Incall.BMP", drawIncall},    {"Speak.BMP", drawSpeak},       {"Failed.BMP", drawFailed},
        {"N650a.BMP", drawSwap},       {"Service.BMP", drawService},
    };
    for (int position = 1; position <= 6; ++position) {
        pictures.push_back({QStringLiteral("NK580%1.bmp").arg(position),
                            [position](QPainter &p) { drawPosition(p, position); }});
    }

    int failures = 0;
    for (const Picture &pic : pictures) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(colour::background);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            pic.draw(p);
        }
        const QString path = QDir(outDir).filePath(pic.file);
        if (!toPalette(image).save(path, "BMP")) {
            std::fprintf(stderr, "celvio-pictures: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
