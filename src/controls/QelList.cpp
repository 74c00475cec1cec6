#include "controls/QelList.h"

#include "state/Levels.h"

#include "platform/NumericValue.h"

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStyleOptionHeaderV2>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kelpo {

namespace {
constexpr int LevelColumn = 3;
constexpr int RecordRole = Qt::UserRole + 1;
const QChar Sep = QLatin1Char('`');

// Rows taller by the padding. A delegate rather than a style sheet: a style
// sheet puts the whole list under the style-sheet style, whose set-up and
// polish cost more at start than the rest of the list together.
class PaddedRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int padding = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, padding);
    }
};

// The header's height from its labels in the font it draws them in. The
// standard header measures each label in bold, room kept for a highlighted
// section, which this list never shows: only its height is asked for at
// start, and that measure alone loaded the bold faces (Latin and the CJK
// fallback). A column fitted to its contents still measures in bold.
class PlainHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        ensurePolished();
        QSize hint(0, 0);
        for (int i = 0; i < count(); ++i)
            if (!isSectionHidden(i))
                hint = hint.expandedTo(plainSectionSize(i));
        return hint;
    }

private:
    QSize plainSectionSize(int logicalIndex) const
    {
        const QVariant size = model()->headerData(logicalIndex, orientation(), Qt::SizeHintRole);
        if (size.isValid())
            return size.toSize();
        QStyleOptionHeaderV2 opt;
        initStyleOption(&opt);
        opt.section = logicalIndex;
        const QVariant font = model()->headerData(logicalIndex, orientation(), Qt::FontRole);
        opt.fontMetrics = font.canConvert<QFont>() ? QFontMetrics(font.value<QFont>()) : fontMetrics();
        opt.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        const QVariant icon = model()->headerData(logicalIndex, orientation(), Qt::DecorationRole);
        opt.icon = icon.value<QIcon>();
        if (opt.icon.isNull())
            opt.icon = icon.value<QPixmap>();
        if (isSortIndicatorShown())
            opt.sortIndicator = QStyleOptionHeader::SortDown;
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
    }
};

// The tree's own header, measuring plainly, with the standard one's settings.
void UsePlainHeader(QTreeView* tree)
{
    QHeaderView* standard = tree->header();
    auto* plain = new PlainHeader(Qt::Horizontal, tree);
    plain->setSectionsMovable(standard->sectionsMovable());
    plain->setFirstSectionMovable(standard->isFirstSectionMovable());
    plain->setStretchLastSection(standard->stretchLastSection());
    plain->setDefaultAlignment(standard->defaultAlignment());
    plain->setHighlightSections(standard->highlightSections());
    tree->setHeader(plain);
}
} // namespace

QelList::QelList(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), tree_(new QTreeWidget(this))
{
    title_->setTextFormat(Qt::PlainText);
    UsePlainHeader(tree_);
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setColumnCount(RecordFields);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(1);
    col->addWidget(title_);
    col->addWidget(tree_, 1);

    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item)
            emit userClicked(false, item->text(0), item->data(0, RecordRole).toString());
    });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = tree_->itemAt(at))
            emit userClicked(true, item->text(0), item->data(0, RecordRole).toString());
    });
}

void QelList::setLocalUserName(const QString& name)
{
    localUser_ = name;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        styleRow(tree_->topLevelItem(i));
}

void QelList::setColours(const QColor& localText, const QColor& background)
{
    localText_ = localText;
    background_ = background;
    QPalette pal = tree_->palette();
    pal.setColor(QPalette::Base, background_);
    tree_->setPalette(pal);
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        styleRow(tree_->topLevelItem(i));
}

void QelList::setRowPadding(int pixels)
{
    // A new delegate lays the rows out again, later, with the new height.
    auto* rows = new PaddedRows(tree_);
    rows->padding = std::clamp(pixels, 0, 40) / 2 * 2;
    QAbstractItemDelegate* old = tree_->itemDelegate();
    tree_->setItemDelegate(rows);
    if (old && old->parent() == tree_)
        old->deleteLater();
}

void QelList::setTitle(const QString& title) { title_->setText(title); }

QString QelList::title() const { return title_->text(); }

void QelList::setColumns(const QString& titles, int visible)
{
    QStringList t = titles.split(Sep);
    while (t.size() < RecordFields)
        t << QString();
    t = t.mid(0, RecordFields);
    tree_->setHeaderLabels(t);
    visible = std::clamp(visible, 1, RecordFields);
    for (int c = 0; c < RecordFields; ++c)
        tree_->setColumnHidden(c, c >= visible);
}

void QelList::setColumnWidths(const QString& widths)
{
    const QStringList w = widths.split(Sep);
    for (int c = 0; c < w.size() && c < RecordFields; ++c) {
        bool ok = false;
        const int px = w[c].trimmed().toInt(&ok);
        if (ok && px >= 0 && px <= 2000)
            tree_->setColumnWidth(c, px);
    }
}

void QelList::setLevelTable(const QString& text)
{
    levels_ = ParseLevelTable(text);
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        fillRow(item, item->data(0, RecordRole).toString().split(Sep));
    }
}

QTreeWidgetItem* QelList::itemOf(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        if (tree_->topLevelItem(i)->text(0) == name)
            return tree_->topLevelItem(i);
    return nullptr;
}

void QelList::fillRow(QTreeWidgetItem* item, const QStringList& fields)
{
    for (int c = 0; c < RecordFields && c < fields.size(); ++c)
        item->setText(c, fields[c]);
    if (fields.size() > LevelColumn)
        item->setText(LevelColumn, LevelName(levels_, NumericInt32(fields[LevelColumn])));
    item->setData(0, RecordRole, fields.join(Sep));
    styleRow(item);
}

void QelList::styleRow(QTreeWidgetItem* item)
{
    const bool local = !localUser_.isEmpty() && item->text(0) == localUser_;
    for (int c = 0; c < RecordFields; ++c) {
        item->setForeground(c, local ? QBrush(localText_) : QBrush());
        item->setBackground(c, QBrush(background_));
    }
}

bool QelList::addFields(const QStringList& fields)
{
    if (fields.size() != RecordFields || fields[0].isEmpty())
        return false;
    QTreeWidgetItem* item = itemOf(fields[0]);
    if (!item)
        item = new QTreeWidgetItem(tree_);
    fillRow(item, fields);
    return true;
}

QString QelList::Find(const QString& name) const
{
    const QTreeWidgetItem* item = itemOf(name);
    return item ? item->data(0, RecordRole).toString() : QString();
}

bool QelList::Add(const QString& record) { return addFields(record.split(Sep)); }

void QelList::Remove(const QString& name) { delete itemOf(name); }

void QelList::Clear() { tree_->clear(); }

void QelList::BulkLoad(const QString& body)
{
    const QStringList all = body.split(Sep);
    QStringList added;
    for (qsizetype at = 0; at + RecordFields <= all.size(); at += RecordFields) {
        const QStringList fields = all.mid(at, RecordFields);
        if (addFields(fields) && !added.contains(fields[0]))
            added << fields[0];
    }
    if (!added.isEmpty())
        emit usersAdded(added.join(Sep));
}

void QelList::Highlight(const QString& name)
{
    if (QTreeWidgetItem* item = itemOf(name)) {
        tree_->setCurrentItem(item);
        tree_->scrollToItem(item);
    }
}

int QelList::count() const { return tree_->topLevelItemCount(); }

QStringList QelList::names() const
{
    QStringList out;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        out << tree_->topLevelItem(i)->text(0);
    return out;
}

QString QelList::cellText(const QString& name, int column) const
{
    const QTreeWidgetItem* item = itemOf(name);
    return item && column >= 0 && column < RecordFields ? item->text(column) : QString();
}

} // namespace kelpo
