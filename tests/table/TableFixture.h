#pragma once
// A table client on an 800 x 600 picture with its own resource folder of
// small generated bitmaps whose pixels tell the tests what was drawn where.

#include "state/ClientState.h"
#include "table/TablePainter.h"

#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace kelpo::test {

// Colours of the generated bitmaps.
QRgb CardPixel(int imageIndex, int x, int y); // full-size faces (and 100)
inline constexpr QRgb CardBackColour = 0xFF808081u;
inline constexpr QRgb SmallBackColour = 0xFF606061u;
QRgb SmallCardColour(int imageIndex);
inline constexpr QRgb PassMarkColour = 0xFF10E010u;
QRgb RankMarkColour(int rank);
inline constexpr QRgb WarnFlagColour = 0xFFE01010u;
inline constexpr QRgb ReadyColour = 0xFF1010E0u;
QRgb ClockFrameColour(int frame);
inline constexpr QRgb BackgroundColour = 0xFF29497Bu; // the table colour
inline constexpr QRgb EndPanelColour = 0xFFF0F0D0u;
inline constexpr QRgb ScorePanelColour = 0xFFD0F0F0u;

// Writes those bitmaps below a program folder and its parent (both ending
// in '/').
void WriteTableResources(const QString& appPath, const QString& parentPath);

class TableFixture {
public:
    TableFixture(int width = 800, int height = 600);

    QString appFile(const QString& relative) const; // with '/'
    QString parentFile(const QString& relative) const;
    void remove(const QString& relative) const; // below AppPath
    // A state with six players, the local one at seat 1.
    void seatPlayers();

    ClientState state;
    std::unique_ptr<TablePainter> painter;
    QImage& pic() { return painter->picGameBack.image(); }
    const TableLayout& layout() const { return state.view.Layout; }

private:
    QTemporaryDir dir_;
};

// Pixels of a that differ from b inside r (both the same size).
int DifferingPixels(const QImage& a, const QImage& b, const QRect& r);
// Pixels inside r that differ from colour.
int PixelsNotOf(const QImage& image, const QRect& r, QRgb colour);
// The bounding box of pixels in r that differ from the same pixels of ref.
QRect ChangedBox(const QImage& image, const QImage& ref, const QRect& r);

} // namespace kelpo::test
