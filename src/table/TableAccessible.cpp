#include "table/TableAccessible.h"

#include "table/TableDescription.h"
#include "table/TableWidget.h"

#include <QPointer>

namespace kelpo {

namespace {

// One thing on the table, by its index in the description; it reads the
// description afresh each time, so it is never stale, and is no longer
// valid once the table holds fewer things.
class TableItemAccessible : public QAccessibleInterface {
public:
    TableItemAccessible(TableWidget* table, int index) : table_(table), index_(index) {}

    bool isValid() const override { return table_ && index_ <= itemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return table_ ? table_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(table_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (isStatus())
            return t == QAccessible::Name ? table_->lastAnnouncement() : QString();
        const auto item = this->item();
        if (!item)
            return {};
        if (t == QAccessible::Name)
            return item->name;
        if (t == QAccessible::Description)
            return item->description;
        return {};
    }

    QAccessible::Role role() const override
    {
        if (isStatus())
            return QAccessible::StatusBar;
        const auto item = this->item();
        if (!item)
            return QAccessible::NoRole;
        switch (item->kind) {
        case TableItem::Kind::Card: return QAccessible::ListItem;
        case TableItem::Kind::Button: return QAccessible::Button;
        case TableItem::Kind::Seat: return QAccessible::StaticText;
        case TableItem::Kind::Clock: return QAccessible::Clock;
        }
        return QAccessible::NoRole;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        const auto item = this->item();
        if (!item) {
            s.invisible = !isStatus();
            return s;
        }
        if (item->kind == TableItem::Kind::Card) {
            s.selectable = true;
            s.focusable = true;
            s.selected = item->raised;
            s.focused = item->focused && table_->hasFocus();
        }
        return s;
    }

    QRect rect() const override
    {
        const auto item = this->item();
        if (!item || item->rect.isEmpty())
            return {};
        return QRect(table_->mapToGlobal(item->rect.topLeft()), item->rect.size());
    }

private:
    int itemCount() const { return table_ ? static_cast<int>(DescribeTable(table_->tableState()).size()) : 0; }
    bool isStatus() const { return table_ && index_ == itemCount(); }
    std::optional<TableItem> item() const
    {
        if (!table_)
            return std::nullopt;
        const std::vector<TableItem> items = DescribeTable(table_->tableState());
        if (index_ < 0 || index_ >= static_cast<int>(items.size()))
            return std::nullopt;
        return items[static_cast<std::size_t>(index_)];
    }

    QPointer<TableWidget> table_;
    int index_;
};

QAccessibleInterface* TableFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String("kelpo::TableWidget"))
        if (auto* table = qobject_cast<TableWidget*>(object))
            return new TableAccessible(table);
    return nullptr;
}

} // namespace

TableAccessible::TableAccessible(TableWidget* table) : QAccessibleWidget(table, QAccessible::Pane, QStringLiteral("牌桌"))
{
}

TableAccessible::~TableAccessible()
{
    for (QAccessible::Id id : children_)
        QAccessible::deleteAccessibleInterface(id);
}

TableWidget* TableAccessible::table() const
{
    return static_cast<TableWidget*>(widget());
}

QString TableAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return QStringLiteral("牌桌");
    if (t == QAccessible::Description)
        return table()->lastAnnouncement();
    return QAccessibleWidget::text(t);
}

int TableAccessible::childCount() const
{
    return static_cast<int>(DescribeTable(table()->tableState()).size()) + 1;
}

QAccessibleInterface* TableAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (static_cast<int>(children_.size()) <= index) {
        auto* item = new TableItemAccessible(table(), static_cast<int>(children_.size()));
        children_.push_back(QAccessible::registerAccessibleInterface(item));
    }
    return QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)]);
}

int TableAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (std::size_t i = 0; i < children_.size(); ++i)
        if (QAccessible::accessibleInterface(children_[i]) == child)
            return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
    return -1;
}

QAccessibleInterface* TableAccessible::childAt(int x, int y) const
{
    const QPoint p = table()->mapFromGlobal(QPoint(x, y));
    const std::vector<TableItem> items = DescribeTable(table()->tableState());
    // The last drawn is on top.
    for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i)
        if (items[static_cast<std::size_t>(i)].rect.contains(p))
            return child(i);
    return nullptr;
}

void InstallTableAccessibility()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(TableFactory);
        installed = true;
    }
}

} // namespace kelpo
