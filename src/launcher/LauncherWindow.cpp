#include "launcher/LauncherWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kelpo::launcher {

namespace {

QSpinBox* Spin(int lo, int hi, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    return s;
}

QSettings UserSettings()
{
    // ~/.config/kelpo/kelpo-launcher.ini on Linux.
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("kelpo"),
                     QStringLiteral("kelpo-launcher"));
}

QStringList SplitNames(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,，、;；]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

} // namespace

LauncherWindow::LauncherWindow(const QString& programDir, QWidget* parent)
    : QWidget(parent), programDir_(programDir)
{
    setWindowTitle(QStringLiteral("升级 - 开桌"));
    auto* top = new QVBoxLayout(this);

    auto* nameRow = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setMaxLength(32);
    name_->setAccessibleName(QStringLiteral("我的名字"));
    nameRow->addRow(QStringLiteral("我的名字："), name_);
    top->addLayout(nameRow);

    modes_ = new QButtonGroup(this);
    auto* modeRow = new QHBoxLayout;
    const QString captions[] = {QStringLiteral("和电脑玩"), QStringLiteral("在局域网开桌"), QStringLiteral("加入牌桌")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(captions[i], this);
        modes_->addButton(b, i);
        modeRow->addWidget(b);
    }
    top->addLayout(modeRow);

    pages_ = new QStackedWidget(this);
    // Bots: nothing beyond the table options.
    auto* botsPage = new QLabel(QStringLiteral("你是桌主，其余五个座位由电脑玩家坐。"), pages_);
    botsPage->setWordWrap(true);
    pages_->addWidget(botsPage);

    auto* hostPage = new QWidget(pages_);
    auto* hostForm = new QFormLayout(hostPage);
    guests_ = new QLineEdit(hostPage);
    guests_->setPlaceholderText(QStringLiteral("用空格分开，最多五名；空座由电脑坐"));
    hostForm->addRow(QStringLiteral("其他玩家："), guests_);
    listenHost_ = new QLineEdit(hostPage);
    hostForm->addRow(QStringLiteral("监听地址："), listenHost_);
    listenPort_ = Spin(0, 65535, hostPage);
    listenPort_->setSpecialValueText(QStringLiteral("0（自动）"));
    hostForm->addRow(QStringLiteral("端口："), listenPort_);
    pages_->addWidget(hostPage);

    auto* joinPage = new QWidget(pages_);
    auto* joinForm = new QFormLayout(joinPage);
    joinHost_ = new QLineEdit(joinPage);
    joinForm->addRow(QStringLiteral("主机："), joinHost_);
    joinPort_ = Spin(1, 65535, joinPage);
    joinForm->addRow(QStringLiteral("端口："), joinPort_);
    pages_->addWidget(joinPage);
    top->addWidget(pages_);

    auto* optionsBox = new QGroupBox(QStringLiteral("牌桌设置"), this);
    tableOptions_ = optionsBox;
    auto* optionsForm = new QFormLayout(optionsBox);
    auto rangeRow = [&](const QString& caption, QSpinBox*& lo, QSpinBox*& hi) {
        auto* row = new QHBoxLayout;
        lo = Spin(0, 9999999, optionsBox);
        hi = Spin(0, 9999999, optionsBox);
        row->addWidget(lo);
        row->addWidget(new QLabel(QStringLiteral("到"), optionsBox));
        row->addWidget(hi);
        optionsForm->addRow(caption, row);
    };
    rangeRow(QStringLiteral("底注范围："), stakeMin_, stakeMax_);
    rangeRow(QStringLiteral("逃跑罚分范围："), escapeMin_, escapeMax_);
    turnSeconds_ = Spin(1, 255, optionsBox);
    turnSeconds_->setSuffix(QStringLiteral(" 秒"));
    optionsForm->addRow(QStringLiteral("出牌时间："), turnSeconds_);
    top->addWidget(optionsBox);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(status_);

    startButton_ = new QPushButton(QStringLiteral("开始"), this);
    startButton_->setDefault(true);
    top->addWidget(startButton_);

    connect(modes_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on)
            return;
        pages_->setCurrentIndex(id);
        tableOptions_->setEnabled(id != static_cast<int>(LaunchMode::Join));
    });
    connect(startButton_, &QPushButton::clicked, this, &LauncherWindow::start);
    setChoices(LauncherChoices{});
}

LauncherWindow::~LauncherWindow()
{
    for (const QPointer<QProcess>& c : clients_)
        if (c)
            c->disconnect(this);
    if (server_)
        server_->disconnect(this);
    stopServer();
}

LauncherChoices LauncherWindow::choices() const
{
    LauncherChoices c;
    c.mode = static_cast<LaunchMode>(qMax(0, modes_->checkedId()));
    c.name = name_->text().trimmed();
    c.guests = SplitNames(guests_->text());
    c.host = listenHost_->text().trimmed();
    c.port = listenPort_->value();
    c.stakeMin = stakeMin_->value();
    c.stakeMax = stakeMax_->value();
    c.escapeMin = escapeMin_->value();
    c.escapeMax = escapeMax_->value();
    c.turnSeconds = turnSeconds_->value();
    c.joinHost = joinHost_->text().trimmed();
    c.joinPort = joinPort_->value();
    return c;
}

void LauncherWindow::setChoices(const LauncherChoices& c)
{
    modes_->button(static_cast<int>(c.mode))->setChecked(true);
    name_->setText(c.name);
    guests_->setText(c.guests.join(QLatin1Char(' ')));
    listenHost_->setText(c.host);
    listenPort_->setValue(c.port);
    stakeMin_->setValue(c.stakeMin);
    stakeMax_->setValue(c.stakeMax);
    escapeMin_->setValue(c.escapeMin);
    escapeMax_->setValue(c.escapeMax);
    turnSeconds_->setValue(c.turnSeconds);
    joinHost_->setText(c.joinHost);
    joinPort_->setValue(qMax(1, c.joinPort));
}

void LauncherWindow::loadSettings()
{
    QSettings s = UserSettings();
    LauncherChoices d;
    LauncherChoices c;
    c.mode = static_cast<LaunchMode>(qBound(0, s.value("mode", 0).toInt(), 2));
    c.name = s.value("name", d.name).toString();
    c.guests = SplitNames(s.value("guests").toString());
    c.host = s.value("listenHost", d.host).toString();
    c.port = s.value("listenPort", d.port).toInt();
    c.stakeMin = s.value("stakeMin", d.stakeMin).toInt();
    c.stakeMax = s.value("stakeMax", d.stakeMax).toInt();
    c.escapeMin = s.value("escapeMin", d.escapeMin).toInt();
    c.escapeMax = s.value("escapeMax", d.escapeMax).toInt();
    c.turnSeconds = s.value("turnSeconds", d.turnSeconds).toInt();
    c.joinHost = s.value("joinHost", d.joinHost).toString();
    c.joinPort = s.value("joinPort", d.joinPort).toInt();
    // The spin boxes clamp whatever an edited file holds.
    setChoices(c);
}

void LauncherWindow::saveSettings() const
{
    QSettings s = UserSettings();
    const LauncherChoices c = choices();
    s.setValue("mode", static_cast<int>(c.mode));
    s.setValue("name", c.name);
    s.setValue("guests", c.guests.join(QLatin1Char(' ')));
    s.setValue("listenHost", c.host);
    s.setValue("listenPort", c.port);
    s.setValue("stakeMin", c.stakeMin);
    s.setValue("stakeMax", c.stakeMax);
    s.setValue("escapeMin", c.escapeMin);
    s.setValue("escapeMax", c.escapeMax);
    s.setValue("turnSeconds", c.turnSeconds);
    s.setValue("joinHost", c.joinHost);
    s.setValue("joinPort", c.joinPort);
}

QString LauncherWindow::statusText() const
{
    return status_->text();
}

void LauncherWindow::showStatus(const QString& text, bool error)
{
    status_->setStyleSheet(error ? QStringLiteral("color: #b00000") : QString());
    status_->setText(text);
    errorShown_ = error;
}

bool LauncherWindow::running() const
{
    if (server_)
        return true;
    for (const QPointer<QProcess>& c : clients_)
        if (c)
            return true;
    return false;
}

void LauncherWindow::start()
{
    if (running()) {
        showStatus(QStringLiteral("牌桌还开着：先关掉游戏窗口。"), true);
        return;
    }
    const LauncherChoices c = choices();
    const QString problem = CheckChoices(c);
    if (!problem.isEmpty()) {
        showStatus(problem, true);
        return;
    }
    saveSettings();
    running_ = c;
    const QStringList serverArgs = RoomServerArguments(c);
    if (serverArgs.isEmpty()) {
        showStatus(QString(), false);
        startClient(ClientHost(c), c.joinPort, c.name);
        return;
    }
    serverOut_.clear();
    serverErr_.clear();
    serverPortSeen_ = false;
    server_ = new QProcess(this);
    connect(server_, &QProcess::readyReadStandardOutput, this, &LauncherWindow::onServerOutput);
    connect(server_, &QProcess::readyReadStandardError, this,
            [this] { keepServerErrors(server_->readAllStandardError()); });
    connect(server_, &QProcess::finished, this, &LauncherWindow::onServerFinished);
    connect(server_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            onServerFinished(-1, QProcess::CrashExit);
    });
    showStatus(QStringLiteral("正在开桌……"), false);
    server_->start(QDir(programDir_).filePath(QStringLiteral("kelpo-room")), serverArgs);
}

void LauncherWindow::onServerOutput()
{
    if (!server_)
        return;
    serverOut_ += server_->readAllStandardOutput();
    if (serverOut_.size() > 65536)
        serverOut_ = serverOut_.right(4096);
    if (serverPortSeen_)
        return;
    const int eol = serverOut_.indexOf('\n');
    if (eol < 0)
        return;
    bool ok = false;
    const int port = serverOut_.left(eol).trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return;
    serverPortSeen_ = true;
    if (running_.mode == LaunchMode::Host)
        showStatus(QStringLiteral("牌桌已开在端口 %1，其他玩家请加入本机的这个端口。").arg(port), false);
    else
        showStatus(QString(), false);
    startClient(ClientHost(running_), port, running_.name);
}

void LauncherWindow::keepServerErrors(const QByteArray& more)
{
    // A server up for days may warn at every hand; what explains a stop is
    // at the end, and a failed start says all it has to say well within this.
    constexpr qsizetype Kept = 4096;
    serverErr_ += more.right(Kept);
    if (serverErr_.size() > Kept)
        serverErr_ = serverErr_.right(Kept);
}

void LauncherWindow::onServerFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!server_)
        return;
    QProcess* p = server_;
    server_ = nullptr;
    keepServerErrors(p->readAllStandardError());
    const bool expected = p->property("stopping").toBool();
    p->deleteLater();
    if (!expected)
        showStatus(ServerErrorText(QString::fromLocal8Bit(serverErr_),
                                   status == QProcess::CrashExit && exitCode != -1 ? 1 : exitCode, serverPortSeen_),
                   true);
    quitIfDone();
}

void LauncherWindow::startClient(const QString& host, int port, const QString& name)
{
    auto* p = new QProcess(this);
    // The client's own windows speak for it while it runs; its output is of
    // no use here.
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    clients_ << p;
    connect(p, &QProcess::finished, this, [this, p, host, port](int exitCode, QProcess::ExitStatus status) {
        // A server that stopped first has said why; the client's lost
        // connection only follows from it.
        const QString why = ClientEndText(exitCode, status == QProcess::CrashExit, host, port);
        if (!why.isEmpty() && !errorShown_)
            showStatus(why, true);
        onClientFinished(p);
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        showStatus(QStringLiteral("找不到或无法运行游戏程序（kelpo）。"), true);
        clients_.removeAll(p);
        p->deleteLater();
        stopServer();
        quitIfDone();
    });
    p->start(QDir(programDir_).filePath(QStringLiteral("kelpo")), ClientArguments(host, port, name));
}

void LauncherWindow::onClientFinished(QProcess* p)
{
    clients_.removeAll(p);
    if (p)
        p->deleteLater();
    for (const QPointer<QProcess>& c : clients_)
        if (c)
            return;
    // The table lives as long as any of its windows, and the notice that it
    // is open for others must not outlive it.
    const bool hosted = server_;
    stopServer();
    if (hosted && !errorShown_)
        showStatus(QStringLiteral("牌桌已关闭。"), false);
    quitIfDone();
}

void LauncherWindow::stopServer()
{
    if (!server_)
        return;
    QProcess* p = server_;
    p->setProperty("stopping", true);
    p->terminate();
    if (!p->waitForFinished(3000))
        p->kill();
}

void LauncherWindow::quitIfDone()
{
    if (closed_ && !running())
        QTimer::singleShot(0, qApp, &QApplication::quit);
}

void LauncherWindow::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    event->accept();
    // A table still open keeps the launcher running, hidden, until its
    // last window closes.
    quitIfDone();
}

} // namespace kelpo::launcher
