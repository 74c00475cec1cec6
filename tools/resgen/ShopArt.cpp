#include "Art.h"
#include "Draw.h"

#include "platform/Cp936.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace kelpo::resgen {

namespace {

const QColor Magenta(255, 0, 255); // the shop window's see-through colour
const QColor ShopGround(234, 238, 246);

// Sample items of the catalogue; the room server's catalogue uses the same
// identifiers so every offer has a picture and a description.
struct SampleItem {
    int id;
    const char* name;
    const char* note;
};

const SampleItem Items[] = {
    {1, "喇叭", "在房间里大声喊话，所有人都能看到你的留言。"},
    {2, "鲜花", "送给牌友一束鲜花，表达你的欣赏与友谊。"},
    {3, "鸡蛋", "向出牌太慢的玩家扔个鸡蛋，提醒他快一点。"},
    {4, "玩具炸弹", "在牌桌上引爆一颗玩具炸弹，只有声响，不伤和气。"},
    {5, "双倍积分卡", "有效期内赢得的积分加倍。"},
    {6, "护身符", "有效期内输局只扣一半积分。"},
};

// One picture per item, drawn in a 100 x 100 box and scaled to the slot.
void DrawItem(QPainter& p, int id)
{
    p.setPen(QPen(QColor(60, 50, 40), 2));
    switch (id) {
    case 1: { // horn
        QLinearGradient g(20, 0, 85, 0);
        g.setColorAt(0, QColor(250, 210, 90));
        g.setColorAt(1, QColor(210, 140, 30));
        p.setBrush(g);
        p.drawPolygon(QPolygonF({QPointF(18, 42), QPointF(40, 42), QPointF(84, 18), QPointF(84, 82),
                                 QPointF(40, 58), QPointF(18, 58)}));
        p.setBrush(QColor(170, 100, 20));
        p.drawEllipse(QRectF(76, 18, 14, 64));
        p.setPen(QPen(QColor(90, 150, 230), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(70, 28, 30, 44), -50 * 16, 100 * 16);
        break;
    }
    case 2: { // flower
        p.setPen(QPen(QColor(40, 120, 50), 4));
        p.drawLine(QPointF(50, 50), QPointF(50, 92));
        p.setBrush(QColor(80, 170, 80));
        p.setPen(QPen(QColor(40, 110, 40), 1.5));
        p.drawEllipse(QRectF(50, 66, 22, 10));
        p.setPen(QPen(QColor(170, 30, 70), 1.5));
        p.setBrush(QColor(240, 80, 120));
        for (int i = 0; i < 6; ++i) {
            p.save();
            p.translate(50, 38);
            p.rotate(i * 60);
            p.drawEllipse(QRectF(-9, -28, 18, 24));
            p.restore();
        }
        p.setBrush(QColor(255, 210, 60));
        p.drawEllipse(QPointF(50, 38), 9, 9);
        break;
    }
    case 3: { // egg
        QRadialGradient g(QPointF(42, 40), 45);
        g.setColorAt(0, QColor(255, 252, 240));
        g.setColorAt(1, QColor(220, 200, 170));
        p.setBrush(g);
        p.drawEllipse(QRectF(26, 14, 48, 66));
        p.setPen(QPen(QColor(150, 130, 100), 2));
        p.drawPolyline(QPolygonF({QPointF(30, 52), QPointF(40, 46), QPointF(48, 54), QPointF(57, 45),
                                  QPointF(70, 52)}));
        break;
    }
    case 4: { // toy bomb
        QRadialGradient g(QPointF(40, 52), 40);
        g.setColorAt(0, QColor(110, 110, 130));
        g.setColorAt(1, QColor(20, 20, 30));
        p.setBrush(g);
        p.drawEllipse(QRectF(18, 30, 60, 60));
        p.setBrush(QColor(70, 70, 80));
        p.drawRect(QRectF(54, 24, 14, 12));
        p.setPen(QPen(QColor(140, 100, 60), 3));
        p.drawArc(QRectF(60, 6, 26, 30), 180 * 16, -150 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 40));
        p.drawPath(Star(QPointF(86, 14), 10, 4, 6));
        break;
    }
    case 5: { // double-score card
        p.setBrush(QColor(250, 246, 230));
        p.drawRoundedRect(QRectF(22, 12, 56, 76), 8, 8);
        p.setPen(QPen(Gold, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(28, 18, 44, 64), 5, 5);
        DrawText(p, QRectF(22, 30, 56, 40), QStringLiteral("×2"), SansFont(30), CardRed);
        break;
    }
    default: { // amulet
        QPainterPath shield;
        shield.moveTo(50, 10);
        shield.quadTo(70, 20, 84, 20);
        shield.quadTo(84, 66, 50, 90);
        shield.quadTo(16, 66, 16, 20);
        shield.quadTo(30, 20, 50, 10);
        QLinearGradient g(0, 10, 0, 90);
        g.setColorAt(0, QColor(240, 90, 80));
        g.setColorAt(1, QColor(160, 20, 30));
        p.setBrush(g);
        p.drawPath(shield);
        DrawText(p, QRectF(16, 24, 68, 44), QStringLiteral("福"), SerifFont(34), QColor(255, 226, 130));
        break;
    }
    }
}

// A picture slot: a soft panel with the item scaled into it, or a question
// mark when the item has no picture of its own.
QImage ItemPicture(int w, int h, int id)
{
    QImage img = Canvas(w, h, ShopGround);
    QPainter p(&img);
    Smooth(p);
    Panel(p, QRectF(0.5, 0.5, w - 1, h - 1), 8, QColor(255, 255, 255), QColor(222, 230, 242),
          QPen(QColor(170, 184, 210), 1));
    const qreal s = std::min(w, h) * 0.86 / 100.0;
    p.translate((w - 100 * s) / 2, (h - 100 * s) / 2);
    p.scale(s, s);
    if (id > 0) {
        DrawItem(p, id);
    } else {
        p.setPen(QPen(QColor(160, 170, 190), 3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(20, 14, 60, 60), 10, 10);
        DrawText(p, QRectF(20, 14, 60, 60), QStringLiteral("?"), SansFont(40), QColor(150, 160, 184));
        DrawText(p, QRectF(0, 76, 100, 22), QStringLiteral("暂无图片"), SansFont(15, false),
                 QColor(120, 130, 150));
    }
    return img;
}

QImage EmptySlot()
{
    QImage img = Canvas(81, 79, ShopGround);
    QPainter p(&img);
    Smooth(p);
    p.setPen(QPen(QColor(176, 188, 210), 1.5, Qt::DashLine));
    p.setBrush(QColor(244, 247, 252));
    p.drawRoundedRect(QRectF(2, 2, 77, 75), 8, 8);
    return img;
}

QImage MainWindow()
{
    QImage img = Canvas(727, 541, Magenta);
    QPainter p(&img);
    // The outline stays hard-edged: a blended edge pixel would be neither the
    // window nor the see-through colour.
    p.setPen(QColor(96, 116, 150));
    p.setBrush(ShopGround);
    p.drawRoundedRect(QRect(0, 0, 726, 540), 10, 10);
    QLinearGradient cap(0, 1, 0, 32);
    cap.setColorAt(0, QColor(246, 249, 253));
    cap.setColorAt(1, QColor(186, 202, 226));
    p.setPen(Qt::NoPen);
    p.setBrush(cap);
    p.drawRoundedRect(QRect(1, 1, 725, 40), 9, 9);
    p.setBrush(ShopGround);
    p.drawRect(1, 32, 725, 10);
    p.setPen(QColor(150, 168, 196));
    p.drawLine(1, 32, 725, 32);
    Smooth(p);
    // A shopping bag by the title.
    p.setPen(QPen(QColor(150, 60, 20), 1.5));
    p.setBrush(QColor(240, 140, 50));
    p.drawRoundedRect(QRectF(12, 11, 20, 17), 3, 3);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(16, 5, 12, 12), 0, 180 * 16);
    // Frames around the catalogue, the description pane and the owned strip.
    p.setPen(QPen(QColor(170, 184, 210), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8, 58.5), QPointF(578, 58.5));
    p.drawRoundedRect(QRectF(7.5, 60.5, 572, 346), 6, 6);
    p.drawRoundedRect(QRectF(582.5, 66.5, 136, 343), 6, 6);
    p.setBrush(QColor(222, 228, 240));
    p.drawRoundedRect(QRectF(3.5, 445.5, 720, 93), 8, 8);
    p.drawLine(QPointF(8, 446.5), QPointF(578, 446.5));
    DrawText(p, QRectF(586, 422, 130, 22), QStringLiteral("我的道具"), SansFont(14), QColor(60, 76, 110),
             Qt::AlignRight | Qt::AlignVCenter);
    return img;
}

QImage ShopSysButton(int kind, bool hover)
{
    QImage img = Canvas(17, 17, QColor(232, 238, 248));
    QPainter p(&img);
    Smooth(p);
    const bool close = kind == 3;
    if (hover)
        DrawButtonFace(p, QRectF(0, 0, 17, 17), 3, close ? QColor(246, 120, 100) : QColor(140, 184, 240),
                       close ? QColor(196, 40, 30) : QColor(60, 110, 190), QColor(60, 60, 90));
    DrawFrameGlyph(p, kind, hover ? QColor(Qt::white) : QColor(44, 58, 86), 17);
    return img;
}

QImage Tab(bool selected)
{
    QImage img = Canvas(85, 20, ShopGround);
    QPainter p(&img);
    Smooth(p);
    QPainterPath tab;
    tab.moveTo(0.5, 20);
    tab.lineTo(0.5, 6);
    tab.quadTo(0.5, 0.5, 6, 0.5);
    tab.lineTo(79, 0.5);
    tab.quadTo(84.5, 0.5, 84.5, 6);
    tab.lineTo(84.5, 20);
    QLinearGradient g(0, 0, 0, 20);
    g.setColorAt(0, selected ? QColor(255, 250, 232) : QColor(214, 222, 238));
    g.setColorAt(1, selected ? QColor(248, 228, 170) : QColor(186, 198, 222));
    p.setPen(QPen(selected ? DeepGold : QColor(140, 156, 186), 1));
    p.setBrush(g);
    p.drawPath(tab);
    if (selected) {
        p.setPen(QPen(Gold, 2));
        p.drawLine(QPointF(6, 1.5), QPointF(79, 1.5));
    }
    return img;
}

QImage BuyButton(bool hover)
{
    QImage img = Canvas(55, 23, QColor(255, 255, 255));
    QPainter p(&img);
    Smooth(p);
    DrawButtonFace(p, QRectF(0, 0, 55, 23), 6, hover ? QColor(255, 214, 140) : QColor(252, 180, 90),
                   hover ? QColor(240, 120, 30) : QColor(214, 96, 24), QColor(140, 60, 10));
    DrawText(p, QRectF(0, 0, 55, 23), QStringLiteral("购买"), SansFont(13), Qt::white);
    return img;
}

QImage ScrollButton(bool forward, bool hover)
{
    QImage img = Canvas(38, 94, QColor(222, 228, 240));
    QPainter p(&img);
    Smooth(p);
    DrawButtonFace(p, QRectF(2, 2, 34, 90), 8, hover ? QColor(200, 224, 255) : QColor(236, 242, 250),
                   hover ? QColor(120, 160, 226) : QColor(190, 204, 228), QColor(120, 136, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? QColor(20, 60, 140) : QColor(70, 90, 130));
    p.drawPolygon(forward ? QPolygonF({QPointF(14, 35), QPointF(26, 47), QPointF(14, 59)})
                          : QPolygonF({QPointF(24, 35), QPointF(12, 47), QPointF(24, 59)}));
    return img;
}

// The catalogue ground: four cells of 279 x 159, a picture well at each
// cell's origin and the text to its right.
QImage CatalogueGround()
{
    QImage img = Canvas(568, 322, ShopGround);
    QPainter p(&img);
    Smooth(p);
    for (int c = 0; c < 4; ++c) {
        const qreal x = 5 + 279 * (c % 2), y = 5 + 159 * (c / 2);
        Panel(p, QRectF(x - 2.5, y - 2.5, 276, 155), 8, QColor(255, 255, 255), QColor(240, 244, 250),
              QPen(QColor(196, 206, 224), 1));
        p.setPen(QPen(QColor(226, 232, 242), 1));
        for (int row = 1; row < 7; ++row)
            p.drawLine(QPointF(x + 124, y + 1.5 + 17 * row), QPointF(x + 268, y + 1.5 + 17 * row));
    }
    return img;
}

QByteArray DescriptionFile()
{
    QString text;
    for (const SampleItem& item : Items)
        text += QStringLiteral("[DaoJuInfo_ID_%1]\r\nNote=%2\r\n\r\n").arg(item.id).arg(QString::fromUtf8(item.note));
    return kelpo::cp936::Encode(text);
}

// The chat page shown inside the chat pane.
QByteArray ChatPage()
{
    const QString page = QStringLiteral(
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gbk\">\r\n<title>聊天室</title>\r\n"
        "<style>\r\nbody { margin: 0; padding: 4px 6px; background: #fafafa; color: #1e2a40;"
        " font: 12px sans-serif; }\r\n"
        ".line { margin: 2px 0; line-height: 17px; }\r\n.name { color: #29497b; font-weight: bold; }\r\n"
        ".notice { color: #a0702a; }\r\n</style>\r\n</head>\r\n<body>\r\n"
        "<div class=\"line notice\">欢迎来到聊天室，请文明发言。</div>\r\n</body>\r\n</html>\r\n");
    return AsciiHtml(page);
}

} // namespace

void AddShop(Pack& pack)
{
    const QString dir = QStringLiteral("DaoJuMaket/");
    pack.addBitmap(Root::Parent, dir + "DaoJuMain.bmp", MainWindow());
    pack.addBitmap(Root::Parent, dir + "SysBut.bmp",
                   Strip({ShopSysButton(0, false), ShopSysButton(3, false), ShopSysButton(0, true),
                          ShopSysButton(3, true)}));
    pack.addBitmap(Root::Parent, dir + "TabBut.bmp", Tab(true));
    pack.addBitmap(Root::Parent, dir + "TabButM.bmp", Tab(false));
    pack.addBitmap(Root::Parent, dir + "BuyBut.bmp", BuyButton(false));
    pack.addBitmap(Root::Parent, dir + "BuyButM.bmp", BuyButton(true));
    for (int i = 0; i <= 1; ++i) {
        pack.addBitmap(Root::Parent, dir + QStringLiteral("Move%1.bmp").arg(i), ScrollButton(i == 1, false));
        pack.addBitmap(Root::Parent, dir + QStringLiteral("move%1M.bmp").arg(i), ScrollButton(i == 1, true));
    }
    pack.addBitmap(Root::Parent, dir + "DaoJuInfoBk.bmp", CatalogueGround());
    pack.addBitmap(Root::Parent, dir + "MyDaoJuBk.bmp", EmptySlot());
    pack.addBitmap(Root::Parent, dir + "DaoJuNo.bmp", ItemPicture(112, 115, 0));
    pack.addBitmap(Root::Parent, dir + "MeNo.bmp", ItemPicture(81, 79, 0));

    for (const SampleItem& item : Items) {
        pack.addBitmap(Root::App, QStringLiteral("Res/DaoJu/DaoJuInfo_%1.bmp").arg(item.id),
                       ItemPicture(112, 115, item.id));
        pack.addBitmap(Root::App, QStringLiteral("Res/DaoJu/MyDaoJu_%1.bmp").arg(item.id),
                       ItemPicture(81, 79, item.id));
    }
    pack.addBytes(Root::App, "Res/DaoJu/DaoJuInfo.ini", DescriptionFile());
    pack.addBytes(Root::App, "MeChatWeb.htm", ChatPage());
}

} // namespace kelpo::resgen
