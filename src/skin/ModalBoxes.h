#pragma once
// The one way a modal box is run: the client's own message boxes and the
// system message box both go through here. A box runs in a nested event loop
// so timers and network messages go on while it waits.
//
// Tests install an observer that is called once a box is up and its loop is
// running; it may read the box, call its handlers or close it. Without an
// observer a box waits for the user (or its own timer) on every platform.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace kelpo {

class ModalBoxes {
public:
    using Observer = std::function<void(QWidget* box)>;

    static ModalBoxes& instance();

    void setObserver(Observer observer) { observer_ = std::move(observer); }
    void clearObserver() { observer_ = nullptr; }

    // Shows box and returns once it is hidden, closed or destroyed.
    void RunModal(QWidget* box);

    // The system message box with one OK button.
    void SystemMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                       const QString& text);

    // Boxes whose loop is running now, innermost last.
    std::vector<QPointer<QWidget>> running() const { return running_; }

    struct Shown {
        QString caption;
        QString text;
    };
    // The boxes run since the last clearHistory(), the latest MaxHistory.
    static constexpr std::size_t MaxHistory = 64;
    const std::vector<Shown>& history() const { return history_; }
    void clearHistory() { history_.clear(); }

private:
    ModalBoxes() = default;
    Observer observer_;
    std::vector<QPointer<QWidget>> running_;
    std::vector<Shown> history_;
};

} // namespace kelpo
