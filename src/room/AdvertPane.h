#pragma once
// The advert pane of the room pane: three outlines round the advert view,
// which it keeps inset as the pane is resized.

#include <QPointer>
#include <QWidget>

namespace kelpo {

class AdvertPane : public QWidget {
    Q_OBJECT
public:
    explicit AdvertPane(QWidget* parent);
    // The view inside the outlines; a pane under 10 px either way leaves it
    // where it is.
    void setView(QWidget* view);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QPointer<QWidget> view_;
};

} // namespace kelpo
