#pragma once
// The real program (main window, socket control) connected over loopback to
// a scripted room server inside the test, with the table's generated
// bitmaps. What the user sees is read back from the window system, so a
// drawing that never reaches the window fails the test.

#include "app/Main.h"
#include "game/Client.h"
#include "net/FrameCodec.h"
#include "room/frmGameMain.h"
#include "support/Pump.h"

#include <QImage>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace kelpo::test {

class ScriptedServer {
public:
    ScriptedServer();
    quint16 port() const { return server_.serverPort(); }
    bool connected() const { return peer_ && peer_->state() == QAbstractSocket::ConnectedState; }
    // The messages are framed and written in one piece.
    void send(const std::vector<QByteArray>& messages);
    // Waits for the client to send a message starting with these bytes.
    bool waitForSent(const QByteArray& prefix, int ms = 5000);
    std::vector<QByteArray> received;

private:
    QTcpServer server_;
    QPointer<QTcpSocket> peer_;
    FrameDecoder decoder_;
};

class WindowTest : public ::testing::Test {
protected:
    // Six players, the local one, "甲", at seat 0, identified and listed.
    WindowTest();
    ~WindowTest() override;

    ClientState& state() { return program->client->state; }
    frmGameMain& window() { return *program->window; }
    TablePainter& painter();
    // The main window as the window system holds it now, after pending
    // events (paints among them) have run.
    QImage screen();
    // The same rectangle of the screen and of the table picture: true when
    // the table picture there has reached the window.
    bool tableShown(const QRect& tableRect);
    // The screen's pixel at a table picture point.
    QRgb shownAt(QPoint tablePoint);
    // Runs events until the client has handled what was sent.
    void settle(int ms = 50);

    QTemporaryDir dir;
    ScriptedServer server;
    std::unique_ptr<Program> program;
};

// Messages of the scripted server.
QByteArray HandStart(int actingSeat, int phase);
QByteArray Deal(const std::vector<int>& hand);
QByteArray Play(int seat, const std::vector<int>& cards, int nextSeat, int phase);
QByteArray Pass(int seat, int nextSeat);
QByteArray HandOverWithResults(const std::array<int, SeatCount>& results,
                               const std::array<std::vector<int>, SeatCount>& remaining);
QByteArray HandOverScores(int first, int second); // kind 2: the score counters

} // namespace kelpo::test
