#pragma once
// The table-settings dialog: the owner edits the stake and the escape
// penalty, the other players see them read-only and agree or decline. Each
// way ends with exactly one reply to the room server.

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kelpo {

struct ClientState;

class frmGameSet : public QDialog {
    Q_OBJECT
public:
    // Receives each finished reply packet; the main window sends it unchanged.
    using ResultSink = std::function<void(const QByteArray& bteCmd)>;

    frmGameSet(const ClientState& state, ResultSink sendGameSetResult, QWidget* parent = nullptr);
    ~frmGameSet() override;

    // Applies the mode and the six-field settings text and starts the
    // countdown. False when the text does not have exactly six fields; the
    // caller then closes the dialog and declines.
    bool SetInitGameSetInfo(bool blnDeskMaster, const QString& strAllGameSetInfo);

    // 0 = confirm / agree, 1 = cancel / disagree.
    void cmdUser_Click(int index);
    // One tick of the countdown; the timer calls it every second.
    void tmrDelay_Timer();

    // Ends the dialog: hidden at once, deleted later. An unloaded dialog is
    // never reused; the holder creates a fresh one.
    void Unload();
    bool isUnloaded() const { return unloaded_; }

    // Only digits and Backspace may be typed into the boxes.
    static bool AcceptsTypedCharacter(QChar c);

    bool isOwnerMode() const { return blnDeskMaster_; }
    bool isCounting() const;
    int counter() const { return counter_; }
    QString frameCaption() const;
    QString buttonCaption(int index) const;
    QString boxText(int index) const;
    void setBoxText(int index, const QString& text);
    bool boxReadOnly(int index) const;

signals:
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // The settings text the owner sends: box texts as typed, bounds as
    // plain decimals.
    QString settingsText() const;
    // First failing check's message, or empty when the input may be sent.
    QString validationMessage() const;

    const ClientState& state_;
    ResultSink sendGameSetResult_;
    bool blnDeskMaster_ = false;
    bool unloaded_ = false;
    QString confirmText_;
    std::int32_t stakeMax_ = 0;
    std::int32_t stakeMin_ = 0;
    std::int32_t penaltyMax_ = 0;
    std::int32_t penaltyMin_ = 0;
    std::int32_t counter_ = 0;

    QGroupBox* famGameSet_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    std::array<QLineEdit*, 2> txtUser_{};
    std::array<QPushButton*, 2> cmdUser_{};
    QTimer* tmrDelay_ = nullptr;
};

} // namespace kelpo
