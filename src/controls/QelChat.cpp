#include "controls/QelChat.h"

#include "net/UserName.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kelpo {

const QString QelChat::Everyone = EveryoneAddressee();

namespace {

// The server relays whatever a peer sent; only a well-formed colour, a sane
// size and a short family name are honoured, the rest falls back.
QTextCharFormat LineFormat(const QString& family, const QString& size, const QString& colour,
                           const QString& bold)
{
    QTextCharFormat f;
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (hex.match(colour).hasMatch())
        f.setForeground(QColor(colour));
    bool ok = false;
    const int pt = size.toInt(&ok);
    if (ok && pt >= 6 && pt <= 36)
        f.setFontPointSize(pt);
    if (!family.isEmpty() && family.size() <= 64)
        f.setFontFamilies({family});
    f.setFontWeight(bold == QLatin1String("1") ? QFont::Bold : QFont::Normal);
    return f;
}

// The line view, opening the geometry look-up it answers a changed line with.
class LineView final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    using QPlainTextEdit::blockBoundingGeometry;
};

} // namespace

QelChat::QelChat(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), view_(new LineView(this)),
      to_(new QComboBox(this)), input_(new QLineEdit(this)),
      send_(new QPushButton(QStringLiteral("发送"), this)),
      now_([] { return QTime::currentTime(); })
{
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setMaximumBlockCount(2000);
    view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    input_->setMaxLength(MaxInputLength);
    to_->addItem(Everyone);
    to_->setMinimumContentsLength(6);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("对"), this));
    row->addWidget(to_, 1);
    row->addWidget(send_);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(2, 2, 2, 2);
    col->setSpacing(2);
    col->addWidget(title_);
    col->addWidget(view_, 1);
    col->addWidget(input_);
    col->addLayout(row);

    connect(send_, &QPushButton::clicked, this, &QelChat::SendInput);
    connect(input_, &QLineEdit::returnPressed, this, &QelChat::SendInput);
}

void QelChat::setTitle(const QString& title)
{
    title_->setText(title); // QLabel would guess rich text from the content
    title_->setTextFormat(Qt::PlainText);
}

QString QelChat::title() const { return title_->text(); }

void QelChat::Initialise()
{
    view_->clear();
    ClearAddressees();
    SetCurrentAddressee(Everyone);
}

void QelChat::appendLine(const QString& text, const QTextCharFormat& format)
{
    QScrollBar* bar = view_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextDocument* doc = view_->document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    {
        // The view answers a change at once: it repaints the rectangles of
        // the lines touched (the new one and the one before it), laying
        // them out to find them, and resizes its scroll range; a move to the
        // end lays out the last line to find the cursor's x. With the
        // layout's signals held until the line is in, the range and a
        // repaint of the whole view follow once, and of the rest only the
        // look-ups that lay out lines are made, in the view's order: which
        // lines are laid out decides the scroll range, which counts the
        // lines of a wrapped line only once it is laid out.
        const QSignalBlocker quiet(layout);
        auto* view = static_cast<LineView*>(view_);
        const int oldCount = doc->isEmpty() ? 0 : doc->blockCount();
        QTextCursor c(doc);
        c.beginEditBlock();
        c.setPosition(doc->characterCount() - 1);
        if (oldCount > 0)
            c.insertBlock();
        // Control characters other than tab would garble the line view.
        QString clean = text;
        for (QChar& ch : clean)
            if (ch.category() == QChar::Other_Control && ch != QLatin1Char('\t'))
                ch = QLatin1Char(' ');
        c.insertText(clean, format);
        c.endEditBlock();
        const QTextBlock last = doc->lastBlock();
        if (oldCount > 0)
            view->blockBoundingGeometry(last.previous());
        view->blockBoundingGeometry(last);
        // Past the line limit the oldest line went, and the one now first
        // was changed too.
        if (doc->blockCount() <= oldCount)
            view->blockBoundingGeometry(doc->firstBlock());
    }
    emit layout->documentSizeChanged(layout->documentSize());
    view_->viewport()->update();
    if (autoScroll_ || atEnd)
        bar->setValue(bar->maximum());
}

void QelChat::AppendNotice(const QString& text)
{
    QTextCharFormat f;
    f.setForeground(QColor(0, 0, 160));
    appendLine(stampNotices_ ? now_().toString(QStringLiteral("HH:mm:ss ")) + text : text, f);
}

void QelChat::ShowServerText(const QString& text)
{
    QTextCharFormat f;
    f.setForeground(QColor(180, 0, 0));
    f.setFontWeight(QFont::Bold);
    appendLine(stampNotices_ ? now_().toString(QStringLiteral("HH:mm:ss ")) + text : text, f);
}

void QelChat::ShowChatLine(const QStringList& fields)
{
    if (fields.size() < 8)
        return;
    const QString& who = fields[0];
    const QString& to = fields[1];
    // The time is the sender's own text and stands before the name the
    // server vouches for: anything but a time could pass the line off as
    // another user's.
    const bool timed = QTime::fromString(fields[2], QStringLiteral("H:mm:ss")).isValid();
    const QString line = (timed ? QStringLiteral("[%1] ").arg(fields[2]) : QString())
                         + QStringLiteral("%1 对 %2 说：%3").arg(who, to, fields[7]);
    appendLine(line, LineFormat(fields[3], fields[4], fields[5], fields[6]));
}

int QelChat::indexOfAddressee(const QString& name) const
{
    for (int i = 0; i < to_->count(); ++i)
        if (to_->itemText(i) == name)
            return i;
    return -1;
}

void QelChat::ChangeAddressee(const QString& name, const QString& action)
{
    if (name.isEmpty() || name == Everyone || name == localUser_)
        return;
    const int at = indexOfAddressee(name);
    if (action == QLatin1String("ADD")) {
        if (at < 0)
            to_->addItem(name);
    } else if (action == QLatin1String("DEL")) {
        // A departed current addressee falls back to everyone; left to
        // itself the box would pick whoever stands next in the list and the
        // next line would go to them privately.
        if (at > 0 && at == to_->currentIndex())
            to_->setCurrentIndex(0);
        if (at > 0)
            to_->removeItem(at);
        if (to_->currentIndex() < 0)
            to_->setCurrentIndex(0);
    }
}

void QelChat::ClearAddressees()
{
    to_->clear();
    to_->addItem(Everyone);
    to_->setCurrentIndex(0);
}

void QelChat::SetCurrentAddressee(const QString& name)
{
    int at = indexOfAddressee(name);
    if (at < 0 && !name.isEmpty() && name != localUser_) {
        to_->addItem(name);
        at = to_->count() - 1;
    }
    if (at >= 0)
        to_->setCurrentIndex(at);
}

QString QelChat::currentAddressee() const
{
    const QString t = to_->currentText();
    return t.isEmpty() ? Everyone : t;
}

QStringList QelChat::addressees() const
{
    QStringList out;
    for (int i = 0; i < to_->count(); ++i)
        out << to_->itemText(i);
    return out;
}

QString QelChat::transcript() const { return view_->toPlainText(); }

void QelChat::SendInput()
{
    QString text = input_->text().trimmed();
    if (text.isEmpty())
        return;
    // The fields travel joined by back-quotes, so one typed inside the text
    // would split it and shift every field after it.
    text.replace(QLatin1Char('`'), QLatin1Char('\''));
    const QFont f = input_->font();
    const QStringList fields{QStringLiteral("CHAT"),
                             localUser_,
                             localUser_,
                             currentAddressee(),
                             now_().toString(QStringLiteral("HH:mm:ss")),
                             f.family(),
                             QString::number(f.pointSize() > 0 ? f.pointSize() : 9),
                             QStringLiteral("#000000"),
                             QStringLiteral("0"),
                             text};
    input_->clear();
    emit sendRequested(fields);
}

} // namespace kelpo
