#pragma once
// The last hand, step by step: who played what, who passed, when each seat
// finished, the tribute given and returned, and the results.

#include "game/HandReview.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace kelpo {

class frmHandReview : public QWidget {
    Q_OBJECT
public:
    explicit frmHandReview(QWidget* parent = nullptr);

    // Shows `review` from its first step; an empty one says there is none.
    void ShowReview(const std::optional<HandReview>& review);
    // The step shown, 0-based; -1 when there are none.
    int currentStep() const;
    void StepBy(int delta);

    QListWidget* stepList() const { return steps_; }
    QLabel* resultLabel() const { return results_; }

private:
    void showPosition();

    QLabel* heading_;
    QListWidget* steps_;
    QLabel* position_;
    QLabel* results_;
    QPushButton* previous_;
    QPushButton* next_;
};

} // namespace kelpo
