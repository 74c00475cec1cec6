// The option, play/pass and tribute buttons drawn on the table.

#include "table/TablePainter.h"

namespace kelpo {

namespace {

// States 1 and 2 show frames 0 and 1; 0 hides the button and 3 or more is
// not drawn.
int FrameOf(std::uint8_t buttonState)
{
    return buttonState == 1 || buttonState == 2 ? buttonState - 1 : -1;
}

constexpr QPoint ActionMaskCell{366, 0};

} // namespace

void TablePainter::PaintOptionButton(int i)
{
    if (i < 0 || i > 1)
        return;
    const int frame = FrameOf(state.view.OptionButtonState[static_cast<std::size_t>(i)]);
    if (frame < 0)
        return;
    const QRect r = OptionButtonRect(state.view.Layout, i);
    DrawOpaqueCell(AppImage(QStringLiteral("Res\\UserOptBut.bmp")), r.x(), r.y(), r.width(), r.height(),
                   {(frame * 2 + i) * OptionButtonWidth, 0});
}

void TablePainter::PaintPlayButton(int i)
{
    const std::uint8_t phase = state.table.TurnPhase;
    if (i < 0 || i >= PlayButtonCount(phase))
        return;
    const int frame = FrameOf(state.view.PlayButtonState[static_cast<std::size_t>(i)]);
    if (frame < 0)
        return;
    const QRect r = PlayButtonRect(state.view.Layout, phase, i);
    DrawMaskedCell(AppImage(QStringLiteral("Res\\UserOutBut.bmp")), r.x(), r.y(), r.width(), r.height(),
                   {(frame * 3 + i) * ActionButtonWidth, 0}, ActionMaskCell);
}

void TablePainter::ShowPlayButtons(bool show)
{
    auto& st = state.view.PlayButtonState;
    st = {0, 0};
    if (!show) {
        const QPoint a = state.view.Layout.PlayAnchor[2];
        RestoreBack(a.x() - 65, a.y() + 38, 130, 28);
        return;
    }
    const int k = PlayButtonCount(state.table.TurnPhase);
    for (int i = 0; i < k; ++i) {
        st[static_cast<std::size_t>(i)] = 1;
        PaintPlayButton(i);
    }
}

void TablePainter::PaintTributeButton(int i)
{
    const std::uint8_t phase = state.table.TurnPhase;
    if (i != 0 || (phase != PhaseTribute && phase != PhaseReturnTribute))
        return;
    const int frame = FrameOf(state.view.TributeButtonState[0]);
    if (frame < 0)
        return;
    const int variant = phase == PhaseTribute ? 0 : 1;
    const QRect r = TributeButtonRect(state.view.Layout);
    DrawMaskedCell(AppImage(QStringLiteral("Res\\GongBut.bmp")), r.x(), r.y(), r.width(), r.height(),
                   {(frame * 2 + variant) * ActionButtonWidth, 0}, ActionMaskCell);
}

void TablePainter::ShowTributeButton(bool show)
{
    state.view.TributeButtonState[0] = 0;
    if (!show) {
        const QRect r = TributeButtonRect(state.view.Layout);
        RestoreBack(r.x(), r.y(), r.width(), r.height());
        return;
    }
    const std::uint8_t phase = state.table.TurnPhase;
    if (phase == PhaseTribute || phase == PhaseReturnTribute) {
        state.view.TributeButtonState[0] = 1;
        PaintTributeButton(0);
    }
}

} // namespace kelpo
