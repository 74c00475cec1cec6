#pragma once
// The launcher's window: three ways to a table, the last choices remembered,
// and the room server and client started and stopped for the user.

#include "launcher/LaunchPlan.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QWidget;

namespace kelpo::launcher {

class LauncherWindow : public QWidget {
    Q_OBJECT
public:
    // programDir holds kelpo and kelpo-room.
    explicit LauncherWindow(const QString& programDir, QWidget* parent = nullptr);
    ~LauncherWindow() override;

    LauncherChoices choices() const;
    void setChoices(const LauncherChoices& c);

    // The last choices from the user's settings, and storing them.
    void loadSettings();
    void saveSettings() const;

    QString statusText() const;
    // The latest of what the room server wrote to its error output.
    const QByteArray& serverErrors() const { return serverErr_; }

public slots:
    void start();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showStatus(const QString& text, bool error);
    void onServerOutput();
    void keepServerErrors(const QByteArray& more);
    void onServerFinished(int exitCode, QProcess::ExitStatus status);
    void startClient(const QString& host, int port, const QString& name);
    void onClientFinished(QProcess* p);
    bool running() const;
    void stopServer();
    void quitIfDone();

    QString programDir_;
    QButtonGroup* modes_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* guests_ = nullptr;
    QLineEdit* listenHost_ = nullptr;
    QSpinBox* listenPort_ = nullptr;
    QSpinBox* stakeMin_ = nullptr;
    QSpinBox* stakeMax_ = nullptr;
    QSpinBox* escapeMin_ = nullptr;
    QSpinBox* escapeMax_ = nullptr;
    QSpinBox* turnSeconds_ = nullptr;
    QWidget* tableOptions_ = nullptr;
    QLineEdit* joinHost_ = nullptr;
    QSpinBox* joinPort_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QLabel* status_ = nullptr;

    QPointer<QProcess> server_;
    QByteArray serverOut_;
    QByteArray serverErr_;
    bool serverPortSeen_ = false;
    QList<QPointer<QProcess>> clients_;
    LauncherChoices running_;
    bool closed_ = false;
    bool errorShown_ = false;
};

} // namespace kelpo::launcher
