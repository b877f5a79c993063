// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QtMath>
#include <array>

#include "party_members.h"

namespace orvane {

namespace {

struct MemberArt {
    CharacterId member;
    QChar initial;
    QRgb colour;
    int sides;  // medallion outline; 0 is a circle. Marle and Magus share an initial, not a shape.
};

const std::array<MemberArt, 7> kMemberArt{{
    {kCrono, u'C', qRgb(196, 52, 40), 0},
    {kMarle, u'M', qRgb(72, 150, 220), 4},
    {kLucca, u'L', qRgb(142, 82, 180), 6},
    {kRobo, u'R', qRgb(120, 132, 146), 8},
    {kFrog, u'F', qRgb(62, 150, 72), 3},
    {kAyla, u'A', qRgb(222, 170, 40), 5},
    {kMagus, u'M', qRgb(58, 46, 110), 7},
}};

// The art of the member whose picture id (portrait or small) is the given one.
template <typename PictureId>
const MemberArt* FindArt(int id, PictureId pictureId) {
    for (const PartyMember& member : kPartyMembers) {
        if (member.*pictureId == id) {
            for (const MemberArt& art : kMemberArt) {
                if (art.member == member.id) {
                    return &art;
                }
            }
        }
    }
    return nullptr;
}

QPainterPath Outline(const QRectF& box, int sides) {
    QPainterPath path;
    if (sides == 0) {
        path.addEllipse(box);
        return path;
    }
    const QPointF centre = box.center();
    const qreal radius = box.width() / 2;
    for (int i = 0; i < sides; ++i) {
        const qreal angle = -M_PI / 2 + 2 * M_PI * i / sides;
        const QPointF corner = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (i == 0) {
            path.moveTo(corner);
        } else {
            path.lineTo(corner);
        }
    }
    path.closeSubpath();
    return path;
}

QPixmap Medallion(const MemberArt& art, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal ring = std::max(1.0, size / 16.0);
    const QRectF box(ring, ring, size - 2 * ring, size - 2 * ring);
    const QColor colour(art.colour);
    QRadialGradient fill(box.center() - QPointF(size / 6.0, size / 6.0), size * 0.7);
    fill.setColorAt(0, colour.lighter(150));
    fill.setColorAt(1, colour.darker(130));
    painter.setPen(QPen(QColor(232, 200, 96), ring));
    painter.setBrush(fill);
    painter.drawPath(Outline(box, art.sides));

    QFont font;
    font.setBold(true);
    font.setPixelSize(size / 2);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QString(art.initial));
    return pixmap;
}

QPixmap IconImage(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 52, 110));
    painter.drawRoundedRect(box, size / 5.0, size / 5.0);
    // A clock face: the editor's subject is a frozen moment of play.
    const qreal inset = size / 6.0;
    const QRectF face = box.adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(QColor(232, 200, 96), std::max(1.0, size / 12.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(face);
    painter.drawLine(face.center(), QPointF(face.center().x(), face.top() + face.height() / 5));
    painter.drawLine(face.center(), QPointF(face.right() - face.width() / 4, face.center().y()));
    return pixmap;
}

// The technique pages show each member's medallion many times; painting it once per size keeps
// the sheet's start-up short.
QPixmap CachedMedallion(const MemberArt& art, int size) {
    const QString key = QStringLiteral("orvane-medallion-%1-%2").arg(art.member).arg(size);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = Medallion(art, size);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

}  // namespace

QPixmap Portrait(int id) {
    const MemberArt* art = FindArt(id, &PartyMember::portraitId);
    return art ? CachedMedallion(*art, 50) : QPixmap();
}

QPixmap SmallPortrait(int id) {
    const MemberArt* art = FindArt(id, &PartyMember::smallPictureId);
    return art ? CachedMedallion(*art, 24) : QPixmap();
}

QIcon AppIcon() {
    QIcon icon;
    icon.addPixmap(IconImage(32));
    icon.addPixmap(IconImage(16));
    return icon;
}

QPixmap AboutPicture() {
    constexpr int kSize = 50;
    QPixmap pixmap = IconImage(kSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // The seven members as coloured beads around the clock.
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    for (std::size_t i = 0; i < kMemberArt.size(); ++i) {
        const qreal angle = -M_PI / 2 + 2 * M_PI * static_cast<qreal>(i) / kMemberArt.size();
        const QPointF at = centre + QPointF(19 * qCos(angle), 19 * qSin(angle));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kMemberArt[i].colour));
        painter.drawEllipse(at, 3.5, 3.5);
    }
    return pixmap;
}

}  // namespace orvane
