#pragma once
// What a screen reader is told about the table picture: one child for each
// thing DescribeTable names, and a status line with the last announcement.

#include <QAccessibleWidget>

#include <vector>

namespace kelpo {

class TableWidget;

class TableAccessible : public QAccessibleWidget {
public:
    explicit TableAccessible(TableWidget* table);
    ~TableAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    TableWidget* table() const;
    // The status child that carries announcements.
    QAccessibleInterface* statusLine() const { return child(childCount() - 1); }

private:
    mutable std::vector<QAccessible::Id> children_;
};

// Makes every TableWidget answer with a TableAccessible; once per program.
void InstallTableAccessibility();

} // namespace kelpo
