#include "room/frmHandReview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelpo {

frmHandReview::frmHandReview(QWidget* parent)
    : QWidget(parent, Qt::Window), heading_(new QLabel(this)), steps_(new QListWidget(this)),
      position_(new QLabel(this)), results_(new QLabel(this)),
      previous_(new QPushButton(QStringLiteral("上一步"), this)), next_(new QPushButton(QStringLiteral("下一步"), this))
{
    setWindowTitle(QStringLiteral("上局回顾"));
    resize(420, 520);
    // The results carry the players' names, which may hold anything that
    // looks like markup.
    heading_->setTextFormat(Qt::PlainText);
    results_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);
    results_->setWordWrap(true);
    results_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    steps_->setAccessibleName(QStringLiteral("出牌过程"));
    results_->setAccessibleName(QStringLiteral("本局结果"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(steps_, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(previous_);
    row->addWidget(position_, 1, Qt::AlignCenter);
    row->addWidget(next_);
    layout->addLayout(row);
    layout->addWidget(results_);
    connect(previous_, &QPushButton::clicked, this, [this] { StepBy(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { StepBy(1); });
    connect(steps_, &QListWidget::currentRowChanged, this, [this] { showPosition(); });
    ShowReview(std::nullopt);
}

void frmHandReview::ShowReview(const std::optional<HandReview>& review)
{
    steps_->clear();
    if (!review) {
        heading_->setText(QStringLiteral("还没有打完的一局。"));
        results_->clear();
        showPosition();
        return;
    }
    QString heading = review->started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!review->myHand.isEmpty())
        heading += QStringLiteral("\n我的牌：") + review->myHand;
    heading_->setText(heading);
    for (const ReviewStep& s : review->steps)
        steps_->addItem(s.text);
    results_->setText(review->results.join(QLatin1Char('\n')));
    steps_->setCurrentRow(steps_->count() > 0 ? 0 : -1);
    showPosition();
}

int frmHandReview::currentStep() const
{
    return steps_->currentRow();
}

void frmHandReview::StepBy(int delta)
{
    const int n = steps_->count();
    if (n == 0)
        return;
    steps_->setCurrentRow(qBound(0, steps_->currentRow() + delta, n - 1));
}

void frmHandReview::showPosition()
{
    const int n = steps_->count();
    const int at = steps_->currentRow();
    position_->setText(n == 0 ? QString() : QStringLiteral("第 %1 / %2 步").arg(at + 1).arg(n));
    previous_->setEnabled(at > 0);
    next_->setEnabled(at >= 0 && at < n - 1);
}

} // namespace kelpo
