#pragma once
// The chat pane: a read-only line view, an input line and the addressee
// choice. Every line is shown as plain text, whatever a user or the server
// puts into it.

#include <QStringList>
#include <QTextCharFormat>
#include <QTime>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelpo {

class QelChat : public QWidget {
    Q_OBJECT
public:
    explicit QelChat(QWidget* parent = nullptr);

    static const QString Everyone; // "所有人"
    static constexpr int FieldCount = 10; // texts of one sent line
    static constexpr int MaxInputLength = 200;

    // Set-up, then Initialise().
    void setFaceFolder(const QString& dir) { faceFolder_ = dir; }
    void setProgramFolder(const QString& dir) { programFolder_ = dir; }
    void setPageFile(const QString& file) { pageFile_ = file; }
    void setLocalUserName(const QString& name) { localUser_ = name; }
    void setTitle(const QString& title);
    // Keep the newest line in view (on by default).
    void setAutoScroll(bool on) { autoScroll_ = on; }
    // Prefix notices and server texts with the time as well.
    void setStampNotices(bool on) { stampNotices_ = on; }
    void Initialise();

    QString faceFolder() const { return faceFolder_; }
    QString programFolder() const { return programFolder_; }
    QString pageFile() const { return pageFile_; }
    QString localUserName() const { return localUser_; }
    QString title() const;

    void AppendNotice(const QString& text);
    void ShowServerText(const QString& text);
    // The eight texts: shown name, addressee, time, font family, font size,
    // colour "#RRGGBB", bold "0"/"1", text. Fewer than eight shows nothing;
    // a time that is not H:MM:SS is left out.
    void ShowChatLine(const QStringList& fields);

    // action "ADD" offers the name as an addressee, "DEL" withdraws it.
    void ChangeAddressee(const QString& name, const QString& action);
    void ClearAddressees();
    void SetCurrentAddressee(const QString& name);
    QString currentAddressee() const;
    QStringList addressees() const;

    // The view's whole text, one line per shown line.
    QString transcript() const;
    QLineEdit* input() const { return input_; }

    // Sends what the input line holds, as the send button does.
    void SendInput();

    void setTimeSource(std::function<QTime()> now) { now_ = std::move(now); }

signals:
    // CHAT, user name, shown name, addressee, HH:MM:SS, font family, font
    // size, colour, bold, text.
    void sendRequested(const QStringList& fields);

private:
    void appendLine(const QString& text, const QTextCharFormat& format);
    int indexOfAddressee(const QString& name) const;

    QLabel* title_;
    QPlainTextEdit* view_;
    QComboBox* to_;
    QLineEdit* input_;
    QPushButton* send_;
    QString faceFolder_;
    QString programFolder_;
    QString pageFile_;
    QString localUser_;
    bool autoScroll_ = true;
    bool stampNotices_ = false;
    std::function<QTime()> now_;
};

} // namespace kelpo
