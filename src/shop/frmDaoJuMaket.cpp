#include "shop/frmDaoJuMaket.h"

#include "platform/ResourcePath.h"
#include "shop/modDaoJuMaket.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace kelpo {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb Red = 0xFFFF0000u;
const QRect NotePane(585, 69, 131, 338);
constexpr int RowPitch = 17;
constexpr int TextDx = 126;
// Lines of a wrapped text, and where the item's description must stop so
// the shop's notice below it stays readable.
constexpr int WrapPitch = 15;
constexpr int NoteTop = 210;
constexpr int NoticeTop = 350;

QPoint CellOrigin(int c) { return {15 + 279 * (c % 2), 68 + 159 * (c / 2)}; }

// The catalogue cell under a window point, or -1.
int CellAt(int x, int y)
{
    if (x < 15 || x > 573 || y < 68 || y > 386)
        return -1;
    return (x > 294 ? 1 : 0) + (y > 227 ? 2 : 0);
}

// Lines of about 20 half-width characters: a character beyond Latin-1
// counts two, a line takes characters while it is narrower than 20.
QStringList WrapLines(const QString& text)
{
    QStringList lines;
    QString line;
    int width = 0;
    for (const QChar c : text) {
        if (width >= 20) {
            lines << line;
            line.clear();
            width = 0;
        }
        line += c;
        width += c.unicode() > 255 ? 2 : 1;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

frmDaoJuMaket::frmDaoJuMaket(ClientState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), state_(state), back_(FormWidth, FormHeight, qRgb(234, 238, 246))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("道具商城"));
    setFixedSize(FormWidth, FormHeight);
    setMouseTracking(true);
    state_.shop.MaketOpen = true;

    for (int i = 0; i < 2; ++i) {
        picSysBut_[i] = makeButton(689 + 21 * i, 2, 17, 17);
        picSysBut_[i]->setToolTip(i == 0 ? QStringLiteral("最小化") : QStringLiteral("关闭"));
        picSysBut_[i]->onClick = [this, i] { picSysBut_Click(i); };
        imgMeBut_[i] = makeButton(i == 0 ? 6 : 688, 447, 38, 94);
        imgMeBut_[i]->onClick = [this, i] { imgMeBut_Click(i); };
    }
    for (int c = 0; c < CatalogueCells; ++c) {
        const QPoint o = CellOrigin(c);
        imgBuyBut_[c] = makeButton(o.x() + 212, o.y() + 122, 55, 23);
        imgBuyBut_[c]->onClick = [this, c] { imgBuyBut_Click(c); };
    }
    const int pageX[] = {11, 370, 420, 470, 520};
    const char16_t* pageText[] = {u"共8个", u"首页", u"上页", u"下页", u"末页"};
    for (int i = 0; i < 5; ++i) {
        labPage_[i] = makeButton(pageX[i], 385, i == 0 ? 120 : 26, 14);
        labPage_[i]->setCaption(QString::fromUtf16(pageText[i]));
        labPage_[i]->setCursor(Qt::PointingHandCursor);
        labPage_[i]->onClick = [this, i] { labPage_Click(i); };
    }
    for (int s = 0; s < MyDaoJuSlots; ++s)
        imgMyDaoJu_[s] = makeButton(56 + 90 * s, 454, 81, 79);
    picTypeBut_.push_back(makeButton(-1000, -1000, TabPitch, 20));
    picMeTypeBut_.push_back(makeButton(-1000, -1000, TabPitch, 20));
    picTypeBut_[0]->hide();
    picMeTypeBut_[0]->hide();
    RepaintMaket();
}

frmDaoJuMaket::~frmDaoJuMaket()
{
    state_.shop.MaketOpen = false;
}

ShopButton* frmDaoJuMaket::makeButton(int x, int y, int w, int h)
{
    auto* b = new ShopButton(this);
    b->setGeometry(x, y, w, h);
    b->onMouseMove = [this, b] { hover(b); };
    b->onMouseLeave = [this, b] { unhover(b); };
    return b;
}

ShopButton* frmDaoJuMaket::picTypeBut(int i) const
{
    return i >= 0 && i < static_cast<int>(picTypeBut_.size()) ? picTypeBut_[static_cast<std::size_t>(i)] : nullptr;
}

ShopButton* frmDaoJuMaket::picMeTypeBut(int i) const
{
    return i >= 0 && i < static_cast<int>(picMeTypeBut_.size()) ? picMeTypeBut_[static_cast<std::size_t>(i)]
                                                                 : nullptr;
}

QImage frmDaoJuMaket::parentImage(const QString& name)
{
    return images_.load(ResolvePath(state_.globals.ParentPath, QStringLiteral("DaoJuMaket\\") + name));
}

QImage frmDaoJuMaket::appImage(const QString& name)
{
    return images_.load(ResolvePath(state_.globals.AppPath, name));
}

// ---- painting --------------------------------------------------------------

void frmDaoJuMaket::RepaintMaket()
{
    if (repainting_)
        return;
    repainting_ = true;
    ImageFileCache::Batch batch(images_);
    const QImage main = parentImage(QStringLiteral("DaoJuMain.bmp"));
    if (!main.isNull()) {
        back_.drawImage(0, 0, main);
        // A region from a bitmap holds its colour-1 pixels, which the key
        // colour's "in" mask leaves at 0.
        const QRegion shape(QBitmap::fromImage(main.createMaskFromColor(KeyColour, Qt::MaskInColor)));
        if (shape != mask())
            setMask(shape);
    }
    back_.font = FontState{QStringLiteral("黑体"), 10, true, Black};
    back_.print(40, 10, state_.globals.GameName + QStringLiteral(" 的道具商城"));
    LayoutTabs();
    PaintTabs();
    PaintDaoJuPage();
    PaintMyDaoJu();
    PaintDaoJuNote();
    for (ShopButton* b : picSysBut_)
        PaintButton(b);
    for (ShopButton* b : imgBuyBut_)
        PaintButton(b);
    for (ShopButton* b : imgMeBut_)
        PaintButton(b);
    update();
    repainting_ = false;
}

void frmDaoJuMaket::LayoutTabs()
{
    const int n = std::min(state_.shop.typeCount(), MaxTabs);
    for (auto* tabs : {&picTypeBut_, &picMeTypeBut_}) {
        const int top = tabs == &picTypeBut_ ? 38 : 427;
        for (ShopButton* tab : *tabs)
            tab->hide();
        while (static_cast<int>(tabs->size()) <= n) {
            const int i = static_cast<int>(tabs->size());
            ShopButton* tab = makeButton(-1000, -1000, TabPitch, 20);
            tab->hide();
            tab->onClick = [this, i, mine = tabs == &picMeTypeBut_] {
                mine ? picMeTypeBut_Click(i) : picTypeBut_Click(i);
            };
            tabs->push_back(tab);
        }
        // One type needs no tabs.
        if (n < 2)
            continue;
        for (int i = 1; i <= n; ++i) {
            ShopButton* tab = (*tabs)[static_cast<std::size_t>(i)];
            tab->move(10 + (i - 1) * TabPitch, top);
            tab->show();
        }
    }
}

void frmDaoJuMaket::PaintTabs()
{
    const ShopState& shop = state_.shop;
    const int n = std::min(shop.typeCount(), MaxTabs);
    for (int i = 1; i <= n; ++i) {
        const QString& name = shop.DaoJuTypeNames[static_cast<std::size_t>(i)];
        for (ShopButton* tab : {picTypeBut_[static_cast<std::size_t>(i)], picMeTypeBut_[static_cast<std::size_t>(i)]}) {
            const int current = tab == picTypeBut_[static_cast<std::size_t>(i)] ? shop.CurTypeIdx : shop.CurMyTypeIdx;
            tab->setFace(parentImage(i == current ? QStringLiteral("TabBut.bmp") : QStringLiteral("TabButM.bmp")));
            tab->setCaption(name, 10, 5);
        }
    }
}

void frmDaoJuMaket::PaintDaoJuPage()
{
    const QImage ground = parentImage(QStringLiteral("DaoJuInfoBk.bmp"));
    if (!ground.isNull())
        back_.drawImage(10, 63, ground);
    const DaoJuType* g = state_.shop.curType();
    if (!g)
        return;
    const int n = g->count();
    labPage_[PageCount]->setCaption(QStringLiteral("共 ") + QString::number(n) + QStringLiteral(" 个"));
    back_.font = FontState{QStringLiteral("宋体"), 9, false, Black};
    for (int c = 0; c < CatalogueCells; ++c) {
        const DaoJuInfo* item = g->item(std::int64_t{g->lngFirstIdx} + c);
        if (!item)
            break;
        const QPoint o = CellOrigin(c);
        QImage picture = appImage(QStringLiteral("Res\\DaoJu\\DaoJuInfo_%1.bmp").arg(item->lngID));
        if (picture.isNull())
            picture = parentImage(QStringLiteral("DaoJuNo.bmp"));
        if (!picture.isNull())
            back_.drawImage(o.x(), o.y(), picture);
        const int x = o.x() + TextDx;
        const struct {
            QString text;
            QRgb colour;
            bool struck;
        } rows[] = {
            {NameText(*item), Black, false},
            {QStringLiteral("有效期限：") + ValidityText(item->lngValidHours), Black, false},
            {QStringLiteral("普通原价：") + QString::number(item->lngPrice), Black, true},
            {QStringLiteral("普通现价：") + QString::number(item->lngNowPrice), Red, false},
            {QStringLiteral("会员原价：") + QString::number(item->lngMemberPrice), Black, true},
            {QStringLiteral("会员现价：") + QString::number(item->lngMemberNowPrice), Red, false},
            {item->bteUseSelf > 0 ? QStringLiteral("使用对象：自己") : QStringLiteral("使用对象：别人"), Black, false},
        };
        int y = o.y() + 2;
        for (const auto& row : rows) {
            back_.font.foreColor = row.colour;
            back_.print(x, y, row.text);
            if (row.struck)
                back_.line(x, y + 7, x + back_.textWidth(row.text) - 1, y + 7, row.colour);
            y += RowPitch;
        }
    }
}

void frmDaoJuMaket::PaintMyDaoJu()
{
    const QImage empty = parentImage(QStringLiteral("MyDaoJuBk.bmp"));
    for (ShopButton* slot : imgMyDaoJu_) {
        slot->setFace(empty);
        slot->setToolTip(QString());
    }
    const MyDaoJuType* g = state_.shop.curMyType();
    if (!g)
        return;
    for (int s = 0; s < MyDaoJuSlots; ++s) {
        const MyDaoJu* item = g->item(std::int64_t{g->lngFirstIdx} + s);
        if (!item)
            break;
        QImage picture = appImage(QStringLiteral("Res\\DaoJu\\MyDaoJu_%1.bmp").arg(item->lngID));
        if (picture.isNull())
            picture = parentImage(QStringLiteral("MeNo.bmp"));
        if (!picture.isNull())
            imgMyDaoJu_[static_cast<std::size_t>(s)]->setFace(picture);
        imgMyDaoJu_[static_cast<std::size_t>(s)]->setToolTip(MyDaoJuTooltip(*item));
    }
}

void frmDaoJuMaket::PaintDaoJuNote()
{
    back_.fillRect(NotePane.x(), NotePane.y(), NotePane.width(), NotePane.height(), qRgb(214, 215, 214));
    back_.rectangle(592, 76, 707, 194, qRgb(250, 250, 255));
    back_.rectangle(593, 77, 708, 195, qRgb(150, 150, 160));
    back_.font = FontState{QStringLiteral("宋体"), 9, false, Black};
    PrintWrapped(589, NoticeTop,
                 QStringLiteral("注意：本商城里陈列的所有道具都是") + state_.globals.GameName + QStringLiteral("道具。"));
    const DaoJuType* g = state_.shop.curType();
    const DaoJuInfo* item = g && HoverCell >= 0 ? g->item(std::int64_t{g->lngFirstIdx} + HoverCell) : nullptr;
    if (item) {
        QImage picture = appImage(QStringLiteral("Res\\DaoJu\\DaoJuInfo_%1.bmp").arg(item->lngID));
        if (picture.isNull())
            picture = parentImage(QStringLiteral("DaoJuNo.bmp"));
        if (!picture.isNull())
            back_.drawImage(594, 78, picture);
        PrintWrapped(589, NoteTop,
                     QStringLiteral("说明：") + (item->strNote.isEmpty() ? QStringLiteral("暂无说明。") : item->strNote));
    }
    update(NotePane);
}

void frmDaoJuMaket::PrintWrapped(int x, int y, const QString& text)
{
    const QStringList lines = WrapLines(text);
    for (int j = 0; j < lines.size(); ++j) {
        const int top = y + WrapPitch * j;
        const int limit = y < NoticeTop ? NoticeTop : NotePane.bottom() + 1;
        if (top + WrapPitch > limit)
            break;
        back_.print(x, top, lines[j]);
    }
}

void frmDaoJuMaket::PaintButton(ShopButton* b)
{
    const bool on = b->hoverTag == QLatin1String("1");
    for (int i = 0; i < 2; ++i) {
        if (b == picSysBut_[static_cast<std::size_t>(i)]) {
            const QImage strip = parentImage(QStringLiteral("SysBut.bmp"));
            if (!strip.isNull())
                b->setFace(strip.copy(34 * (on ? 1 : 0) + 17 * i, 0, 17, 17));
            return;
        }
        if (b == imgMeBut_[static_cast<std::size_t>(i)]) {
            const QImage face = parentImage(on ? QStringLiteral("move%1M.bmp").arg(i) : QStringLiteral("Move%1.bmp").arg(i));
            if (!face.isNull())
                b->setFace(face);
            return;
        }
    }
    for (ShopButton* buy : imgBuyBut_) {
        if (b == buy) {
            const QImage face = parentImage(on ? QStringLiteral("BuyButM.bmp") : QStringLiteral("BuyBut.bmp"));
            if (!face.isNull())
                b->setFace(face);
            return;
        }
    }
}

void frmDaoJuMaket::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.drawImage(e->rect(), back_.image(), e->rect());
}

// ---- mouse -----------------------------------------------------------------

namespace {

bool IsHoverButton(const ShopButton* b, const std::array<ShopButton*, 2>& sys, const std::array<ShopButton*, 4>& buy,
                   const std::array<ShopButton*, 2>& me)
{
    return std::find(sys.begin(), sys.end(), b) != sys.end() || std::find(buy.begin(), buy.end(), b) != buy.end()
           || std::find(me.begin(), me.end(), b) != me.end();
}

} // namespace

void frmDaoJuMaket::hover(ShopButton* b)
{
    if (b->hoverTag != QLatin1String("0") || !IsHoverButton(b, picSysBut_, imgBuyBut_, imgMeBut_))
        return;
    b->hoverTag = QStringLiteral("1");
    PaintButton(b);
}

void frmDaoJuMaket::unhover(ShopButton* b)
{
    if (b->hoverTag != QLatin1String("1"))
        return;
    b->hoverTag = QStringLiteral("0");
    PaintButton(b);
}

void frmDaoJuMaket::Form_MouseMove(int x, int y)
{
    for (ShopButton* b : picSysBut_)
        unhover(b);
    for (ShopButton* b : imgMeBut_)
        unhover(b);
    for (ShopButton* b : imgBuyBut_)
        unhover(b);
    const int cell = CellAt(x, y);
    if (cell != HoverCell) {
        HoverCell = cell;
        PaintDaoJuNote();
    }
}

void frmDaoJuMaket::mousePressEvent(QMouseEvent* e)
{
    // The strip along the top is the caption: it moves the window.
    if (e->position().y() <= 32) {
        dragging_ = true;
        dragOffset_ = e->globalPosition().toPoint() - pos();
    }
}

void frmDaoJuMaket::mouseMoveEvent(QMouseEvent* e)
{
    if (dragging_ && e->buttons() != Qt::NoButton) {
        move(e->globalPosition().toPoint() - dragOffset_);
        return;
    }
    Form_MouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void frmDaoJuMaket::mouseReleaseEvent(QMouseEvent*)
{
    dragging_ = false;
}

void frmDaoJuMaket::closeEvent(QCloseEvent* e)
{
    state_.shop.MaketOpen = false;
    e->accept();
}

void frmDaoJuMaket::picSysBut_Click(int index)
{
    if (index == 0)
        showMinimized();
    else if (index == 1)
        close();
}

void frmDaoJuMaket::imgBuyBut_Click(int index)
{
    const QByteArray packet = BuyDaoJu(state_.shop, index);
    if (!packet.isEmpty() && sendPacket)
        sendPacket(packet);
}

void frmDaoJuMaket::imgMeBut_Click(int index)
{
    MyDaoJuType* g = state_.shop.curMyType();
    if (g && ScrollMyDaoJu(*g, index))
        PaintMyDaoJu();
}

void frmDaoJuMaket::picTypeBut_Click(int index)
{
    ShopState& shop = state_.shop;
    if (index < 1 || index > shop.typeCount() || index == shop.CurTypeIdx)
        return;
    shop.CurTypeIdx = static_cast<std::uint8_t>(index);
    PaintTabs();
    PaintDaoJuPage();
    PaintDaoJuNote();
    update();
}

void frmDaoJuMaket::picMeTypeBut_Click(int index)
{
    ShopState& shop = state_.shop;
    if (index < 1 || index > shop.typeCount() || index == shop.CurMyTypeIdx)
        return;
    shop.CurMyTypeIdx = static_cast<std::uint8_t>(index);
    PaintTabs();
    PaintMyDaoJu();
}

void frmDaoJuMaket::labPage_Click(int index)
{
    DaoJuType* g = state_.shop.curType();
    if (!g || !TurnPage(*g, index))
        return;
    PaintDaoJuPage();
    PaintDaoJuNote();
    update();
}

} // namespace kelpo
