#include "controls/QelAdvWeb.h"

#include "platform/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>

namespace kelpo {

QelAdvWeb::QelAdvWeb(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void QelAdvWeb::Navigate(const QUrl& url)
{
    address_ = url;
    hasPage_ = false;
    clear();
    if (!url.isLocalFile())
        return;
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile() || !info.isReadable() || info.size() > MaxResourceBytes)
        return;
    QFile f(info.absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return;
    document()->setBaseUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    setHtml(QString::fromUtf8(ReadAtMost(f, MaxResourceBytes)));
    hasPage_ = true;
}

QVariant QelAdvWeb::loadResource(int type, const QUrl& name)
{
    const QUrl url = document()->baseUrl().resolved(name);
    if (!url.isLocalFile())
        return {};
    const QFileInfo info(url.toLocalFile());
    if (!info.isFile() || info.size() > MaxResourceBytes)
        return {};
    if (type == QTextDocument::ImageResource) {
        QImageReader reader(info.absoluteFilePath());
        reader.setAllocationLimit(64);
        const QImage img = reader.read();
        return img.isNull() ? QVariant() : QVariant(img);
    }
    if (type == QTextDocument::StyleSheetResource) {
        QFile f(info.absoluteFilePath());
        if (f.open(QIODevice::ReadOnly))
            return QString::fromUtf8(ReadAtMost(f, MaxResourceBytes));
    }
    return {};
}

} // namespace kelpo
