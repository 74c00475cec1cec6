#pragma once
// The item shop window: the catalogue one type at a time, four items to a
// page with a buy button each, the description of the item under the
// pointer, and a strip of the user's owned items. Frameless, with its look
// from bitmaps; magenta pixels of the background are see-through.

#include "platform/ImageFiles.h"
#include "platform/Picture.h"
#include "shop/ShopButton.h"
#include "state/ClientState.h"

#include <QByteArray>
#include <QPoint>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

namespace kelpo {

class frmDaoJuMaket : public QWidget {
    Q_OBJECT
public:
    static constexpr int FormWidth = 727;
    static constexpr int FormHeight = 541;
    static constexpr QRgb KeyColour = 0xFFFF00FFu; // magenta
    static constexpr int TabPitch = 85;
    // Tabs that fit across the window; types beyond them have no tab.
    static constexpr int MaxTabs = 8;

    // Form_Load; the shop state's MaketOpen is set until the window closes.
    // The state must outlive the window.
    explicit frmDaoJuMaket(ClientState& state, QWidget* parent = nullptr);
    ~frmDaoJuMaket() override;

    // Where a purchase request goes.
    std::function<void(const QByteArray&)> sendPacket;

    // Background, title, catalogue page, owned items and description pane;
    // ignored while a repaint runs.
    void RepaintMaket();

    // What the window shows under its controls.
    const QImage& image() const { return back_.image(); }

    std::int32_t HoverCell = -1;

    // Mouse handlers, in window pixels; public so tests can drive them.
    void Form_MouseMove(int x, int y);
    void picSysBut_Click(int index);
    void imgBuyBut_Click(int index);
    void imgMeBut_Click(int index);
    void picTypeBut_Click(int index);
    void picMeTypeBut_Click(int index);
    void labPage_Click(int index);

    ShopButton* picSysBut(int i) const { return picSysBut_[static_cast<std::size_t>(i)]; }
    ShopButton* imgBuyBut(int i) const { return imgBuyBut_[static_cast<std::size_t>(i)]; }
    ShopButton* imgMeBut(int i) const { return imgMeBut_[static_cast<std::size_t>(i)]; }
    ShopButton* labPage(int i) const { return labPage_[static_cast<std::size_t>(i)]; }
    ShopButton* imgMyDaoJu(int i) const { return imgMyDaoJu_[static_cast<std::size_t>(i)]; }
    // Tab i of 1..N; index 0 is the hidden template.
    ShopButton* picTypeBut(int i) const;
    ShopButton* picMeTypeBut(int i) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QImage parentImage(const QString& name);
    QImage appImage(const QString& name);
    void LayoutTabs();
    void PaintTabs();
    void PaintDaoJuPage();
    void PaintMyDaoJu();
    void PaintDaoJuNote();
    void PrintWrapped(int x, int y, const QString& text);
    void PaintButton(ShopButton* b);
    ShopButton* makeButton(int x, int y, int w, int h);
    void hover(ShopButton* b);
    void unhover(ShopButton* b);

    ClientState& state_;
    Picture back_;
    ImageFileCache images_;
    bool repainting_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;

    std::array<ShopButton*, 2> picSysBut_{};
    std::array<ShopButton*, 4> imgBuyBut_{};
    std::array<ShopButton*, 2> imgMeBut_{};
    std::array<ShopButton*, 5> labPage_{};
    std::array<ShopButton*, 7> imgMyDaoJu_{};
    std::vector<ShopButton*> picTypeBut_;
    std::vector<ShopButton*> picMeTypeBut_;
};

} // namespace kelpo
