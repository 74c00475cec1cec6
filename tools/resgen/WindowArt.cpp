#include "Art.h"
#include "Draw.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace kelpo::resgen {

namespace {

constexpr int CaptionH = 33;

// The caption's light band; the title is printed on it in black.
QLinearGradient CaptionGradient(qreal offsetY = 0)
{
    QLinearGradient g(0, -offsetY, 0, CaptionH - offsetY);
    g.setColorAt(0, QColor(246, 249, 253));
    g.setColorAt(0.55, QColor(214, 226, 242));
    g.setColorAt(1, QColor(186, 202, 226));
    return g;
}

QImage CaptionPiece(int w, qreal offsetY, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.fillRect(img.rect(), CaptionGradient(offsetY));
    return img;
}

QImage CaptionMid()
{
    QImage img = CaptionPiece(12, 0, CaptionH);
    QPainter p(&img);
    p.setPen(QColor(150, 168, 196));
    p.drawLine(0, CaptionH - 1, 11, CaptionH - 1);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, 0, 11, 0);
    return img;
}

// Right end of the band: the light fades into a darker rim at the edge.
QImage CaptionEnd()
{
    QImage img = CaptionPiece(15, 0, CaptionH);
    QPainter p(&img);
    Smooth(p);
    QLinearGradient rim(0, 0, 15, 0);
    rim.setColorAt(0, QColor(120, 140, 170, 0));
    rim.setColorAt(1, QColor(120, 140, 170, 150));
    p.fillRect(img.rect(), rim);
    p.setPen(QColor(150, 168, 196));
    p.drawLine(0, CaptionH - 1, 14, CaptionH - 1);
    p.drawLine(14, 0, 14, CaptionH - 1);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, 0, 13, 0);
    return img;
}

// Buttons sit on the caption at y 7, so their ground is the band from row 5.
QImage SysButton(int kind, bool hover)
{
    QImage img = CaptionPiece(21, 5, 21);
    QPainter p(&img);
    Smooth(p);
    if (hover) {
        const bool close = kind == 3;
        DrawButtonFace(p, QRectF(0, 0, 21, 21), 4, close ? QColor(246, 120, 100) : QColor(140, 184, 240),
                       close ? QColor(196, 40, 30) : QColor(60, 110, 190),
                       close ? QColor(130, 20, 16) : QColor(40, 70, 130));
        DrawFrameGlyph(p, kind, Qt::white, 21);
    } else {
        p.setPen(QPen(QColor(150, 166, 194), 1));
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawRoundedRect(QRectF(0.5, 0.5, 20, 20), 4, 4);
        DrawFrameGlyph(p, kind, QColor(44, 58, 86), 21);
    }
    return img;
}

QImage UserButton(int slot, bool hover)
{
    QImage img = Canvas(41, 25, QColor(250, 250, 250));
    QPainter p(&img);
    Smooth(p);
    if (hover)
        DrawButtonFace(p, QRectF(0, 0, 41, 25), 6, QColor(255, 240, 190), QColor(236, 190, 90),
                       QColor(150, 110, 40));
    else
        DrawButtonFace(p, QRectF(0, 0, 41, 25), 6, QColor(236, 242, 250), QColor(196, 210, 232),
                       QColor(130, 146, 176));
    DrawText(p, QRectF(0, 0, 41, 25), slot == 0 ? QStringLiteral("设置") : QStringLiteral("帮助"),
             SansFont(13), hover ? QColor(110, 50, 10) : QColor(30, 44, 76));
    return img;
}

// The caption logo (the main window's logo control): three fanned cards.
QImage CaptionLogo()
{
    QImage img = CaptionPiece(24, 4, 24);
    QPainter p(&img);
    Smooth(p);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(12, 22);
        p.rotate(-22 + i * 22);
        p.setPen(QPen(QColor(70, 76, 92), 1));
        p.setBrush(i == 1 ? QColor(255, 252, 244) : QColor(236, 232, 222));
        p.drawRoundedRect(QRectF(-6, -19, 12, 16), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? CardRed : CardBlack);
        p.drawPath(SuitPath(i == 1 ? 1 : 0, QRectF(-3.5, -15, 7, 7.5)));
        p.restore();
    }
    return img;
}

QImage SplitterTile(bool middle)
{
    QImage img(12, 3, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 12, 0);
    g.setColorAt(0, middle ? QColor(170, 186, 212) : QColor(208, 216, 228));
    g.setColorAt(0.5, middle ? QColor(214, 224, 240) : QColor(244, 246, 250));
    g.setColorAt(1, middle ? QColor(170, 186, 212) : QColor(208, 216, 228));
    p.fillRect(img.rect(), g);
    p.setPen(QColor(150, 160, 180));
    p.drawLine(0, 0, 0, 2);
    p.drawLine(11, 0, 11, 2);
    if (middle) { // grip dots every other tile row
        p.setPen(QColor(110, 126, 156));
        p.drawPoint(5, 1);
        p.drawPoint(7, 1);
    }
    return img;
}

QImage SplitterArrow(bool pointsRight)
{
    QImage img = SplitterTile(true).scaled(12, 8);
    QPainter p(&img);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 120));
    QPolygonF tri = pointsRight ? QPolygonF({QPointF(4, 0.5), QPointF(9, 4), QPointF(4, 7.5)})
                                : QPolygonF({QPointF(8, 0.5), QPointF(3, 4), QPointF(8, 7.5)});
    p.drawPolygon(tri);
    return img;
}

// Message-box icons by box type: waiting, notice, question.
QImage MsgIcon(int type)
{
    QImage img = Canvas(32, 32);
    QPainter p(&img);
    Smooth(p);
    const QColor tones[3] = {QColor(70, 140, 220), QColor(240, 170, 40), QColor(60, 160, 110)};
    QRadialGradient g(QPointF(12, 10), 22);
    g.setColorAt(0, tones[type].lighter(150));
    g.setColorAt(1, tones[type].darker(120));
    p.setPen(QPen(tones[type].darker(170), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    if (type == 0) {
        p.setPen(QPen(Qt::white, 1.6));
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawPolygon(QPolygonF({QPointF(10, 8), QPointF(22, 8), QPointF(16, 16), QPointF(22, 24),
                                 QPointF(10, 24), QPointF(16, 16)}));
    } else {
        DrawOutlinedText(p, QRectF(0, 0, 32, 32), type == 1 ? QStringLiteral("!") : QStringLiteral("?"),
                         SansFont(22), Qt::white, tones[type].darker(180));
    }
    return img;
}

// The help page the caption strip's help button opens in the browser.
QByteArray HelpPage()
{
    const QString page = QStringLiteral(
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>KELPO 游戏帮助</title>\r\n"
        "<style>\r\nbody { max-width: 720px; margin: 24px auto; padding: 0 16px; color: #1e2a40;"
        " font: 14px/1.7 sans-serif; }\r\nh1, h2 { color: #29497b; }\r\n</style>\r\n</head>\r\n<body>\r\n"
        "<h1>KELPO 六人团队牌戏</h1>\r\n"
        "<h2>规则</h2>\r\n"
        "<p>六人分两队，座位相隔的三人为一队。默认用两副牌，每人十八张。"
        "首家可出单张、对子或三张以上同点数的牌，其他人须出同样张数且更大的牌，或者不出。"
        "一轮无人再出时，最后出牌者开始新的一轮。开局前可能需要进贡和还贡。</p>\r\n"
        "<h2>操作</h2>\r\n<ul>\r\n"
        "<li>单击手牌把牌提起或放下，点“出牌”出牌，点“不出”放弃本轮。</li>\r\n"
        "<li>“上轮”查看上一轮各家出的牌，“排序”换一种手牌排列。</li>\r\n"
        "<li>轮到你时时间条会倒计时，超时系统会替你出牌。</li>\r\n"
        "<li>F9 打开道具商城；右上方“设置”按钮打开用户设置。</li>\r\n"
        "<li>拖动标题栏移动窗口，拖动边框和四角改变大小，双击标题栏最大化或还原。</li>\r\n"
        "</ul>\r\n<h2>逃跑</h2>\r\n"
        "<p>牌局进行中退出按逃跑计算，并按桌主的设置扣除积分。</p>\r\n"
        "</body>\r\n</html>\r\n");
    return AsciiHtml(page);
}

} // namespace

void AddWindowArt(Pack& pack)
{
    pack.addBitmap(Root::App, "Res/CaptionMid.bmp", CaptionMid());
    pack.addBitmap(Root::App, "Res/CaptionLR.bmp", CaptionEnd());
    pack.addBitmap(Root::App, "Res/CaptionLogo.bmp", CaptionLogo());
    pack.addBitmap(Root::App, "Res/SysMenu.bmp",
                   Strip({SysButton(0, false), SysButton(1, false), SysButton(2, false), SysButton(3, false),
                          SysButton(0, true), SysButton(1, true), SysButton(2, true), SysButton(3, true)}));
    pack.addBitmap(Root::App, "Res/UserButton.bmp",
                   Strip({UserButton(0, false), UserButton(1, false), UserButton(0, true), UserButton(1, true)}));
    pack.addBitmap(Root::App, "res/VSpliterBk.bmp", SplitterTile(false));
    pack.addBitmap(Root::App, "res/VSpliterMidBk.bmp", SplitterTile(true));
    pack.addBitmap(Root::App, "res/VSpliterMid_Right.bmp", SplitterArrow(true));
    pack.addBitmap(Root::App, "res/VSpliterMid_Left.bmp", SplitterArrow(false));
    for (int t = 0; t <= 2; ++t)
        pack.addIcon(Root::Parent, QStringLiteral("res/Msg%1.ico").arg(t), MsgIcon(t));
    pack.addBytes(Root::Parent, "site/help/Zuduva/KELPO.htm", HelpPage());
}

} // namespace kelpo::resgen
