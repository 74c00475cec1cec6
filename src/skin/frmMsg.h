#pragma once
// The client's own message box: a captionless notice, or a box with one or
// two buttons of which one counts down and answers by itself.

#include <QDialog>
#include <QImage>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace kelpo {

class frmMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmMsg(QWidget* owner = nullptr);

    static constexpr int TwipsPerPixel = 15;
    static constexpr int ButtonWidth = 89;
    static constexpr int ButtonHeight = 23;

    void SetMsgInfo(std::uint8_t bteMsgType, const QString& strNote, const QString& strCaption,
                    std::int32_t lngMaxDelayTime, const QString& strYesCmdCaption,
                    const QString& strNoCmdCaption, bool blnYesDefault);

    std::int32_t lngRoomObjectIdx() const { return roomObjectIdx_; }
    void setLngRoomObjectIdx(std::int32_t v) { roomObjectIdx_ = v; }
    std::int32_t lngMsgObjectIdx() const { return msgObjectIdx_; }
    void setLngMsgObjectIdx(std::int32_t v) { msgObjectIdx_ = v; }

    // Folder of Msg0.ico .. Msg2.ico; a missing file leaves the icon out.
    void setIconFolder(const QString& dir) { iconFolder_ = dir; }

    // Builds and places the controls for the box's type.
    void Load();
    // Closes the box without an answer; safe to call more than once.
    void Unload();
    bool isUnloaded() const { return unloaded_; }

    void tmrDelay_Timer();
    void cmdUser_Click(int index);

    std::uint8_t bteMsgType() const { return type_; }
    std::int32_t lngMaxDelayTime() const { return delay_; }
    QLabel* labNote() const { return labNote_; }
    QPushButton* cmdUser(int index) const;
    QTimer& tmrDelay() { return tmrDelay_; }
    // The button that the countdown clicks, 0 or 1.
    int countingButton() const;

    // Background, icon and etched line as the box paints them under its
    // controls.
    QImage Picture() const;

signals:
    // -1 for the first button, 0 for the second.
    void answered(int result);
    void unloaded();

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void reject() override;

private:
    QString iconPath() const;

    std::uint8_t type_ = 0;
    QString note_;
    QString caption_;
    std::int32_t delay_ = 0;
    QString yesCaption_;
    QString noCaption_;
    bool yesDefault_ = false;
    std::int32_t roomObjectIdx_ = 0;
    std::int32_t msgObjectIdx_ = 0;
    QString iconFolder_;
    bool unloaded_ = false;

    QLabel* labNote_;
    std::array<QPushButton*, 2> cmdUser_{};
    QTimer tmrDelay_;
};

} // namespace kelpo
