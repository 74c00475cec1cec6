#pragma once
// The advert pane's page view. The client has no network: only a page on
// the local disk is shown, and nothing it refers to is fetched from afar.

#include <QTextBrowser>
#include <QUrl>

namespace kelpo {

class QelAdvWeb : public QTextBrowser {
    Q_OBJECT
public:
    explicit QelAdvWeb(QWidget* parent = nullptr);

    void setMode(int mode) { mode_ = mode; }
    int mode() const { return mode_; }

    // Shows the page when it is a readable local file, else a blank pane.
    void Navigate(const QUrl& url);
    QUrl address() const { return address_; }
    bool hasPage() const { return hasPage_; }

    // Largest page or picture read from disk.
    static constexpr qint64 MaxResourceBytes = 4 * 1024 * 1024;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    int mode_ = 0;
    QUrl address_;
    bool hasPage_ = false;
};

} // namespace kelpo
