#include "skin/ModalBoxes.h"

#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

namespace kelpo {

namespace {

// Ends the loop when the box goes away by any road.
class BoxWatch : public QObject {
public:
    BoxWatch(QWidget* box, QEventLoop& loop) : loop_(loop)
    {
        box->installEventFilter(this);
        connect(box, &QObject::destroyed, &loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Close)
            loop_.quit();
        return false;
    }

private:
    QEventLoop& loop_;
};

QString TextOf(QWidget* box)
{
    if (auto* m = qobject_cast<QMessageBox*>(box))
        return m->text();
    if (auto* label = box->findChild<QLabel*>())
        return label->text();
    return {};
}

} // namespace

ModalBoxes& ModalBoxes::instance()
{
    static ModalBoxes boxes;
    return boxes;
}

void ModalBoxes::RunModal(QWidget* box)
{
    if (!box)
        return;
    QPointer<QWidget> guard(box);
    QEventLoop loop;
    BoxWatch watch(box, loop);
    box->show();
    if (!guard || !guard->isVisible())
        return;
    // A long session shows many boxes; only the recent ones are of interest.
    if (history_.size() >= MaxHistory)
        history_.erase(history_.begin());
    history_.push_back({box->windowTitle(), TextOf(box)});
    running_.push_back(guard);

    QTimer::singleShot(0, &loop, [this, guard] {
        if (!guard)
            return;
        if (observer_)
            observer_(guard.data());
    });
    if (guard && guard->isVisible())
        loop.exec();

    std::erase_if(running_, [&](const QPointer<QWidget>& p) { return !p || p == guard; });
    if (guard)
        guard->removeEventFilter(&watch);
}

void ModalBoxes::SystemMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                               const QString& text)
{
    // On the heap: while the box waits, a message may delete its owner, and
    // the owner then deletes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(icon, caption, text, QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    RunModal(box);
    delete box.data();
}

} // namespace kelpo
