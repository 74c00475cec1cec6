#pragma once
// The room's user list: one row per user, keyed by user name, each row
// keeping the user's whole record (16 back-quote separated fields).

#include "state/ClientState.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelpo {

class QelList : public QWidget {
    Q_OBJECT
public:
    explicit QelList(QWidget* parent = nullptr);

    static constexpr int RecordFields = 16;

    // Set-up.
    void setLocalUserName(const QString& name);
    // The local user's row is drawn in the first colour on the second.
    void setColours(const QColor& localText, const QColor& background);
    // Vertical padding of a row in pixels.
    void setRowPadding(int pixels);
    void setTitle(const QString& title);
    void setScoreWord(const QString& word) { scoreWord_ = word; }
    // Titles of all record fields joined by back-quotes; only the first
    // `visible` columns are shown.
    void setColumns(const QString& titles, int visible);
    // Widths of the visible columns joined by back-quotes.
    void setColumnWidths(const QString& widths);
    // "name_threshold" items joined by back-quotes; the level column shows
    // the level name of each user's level value.
    void setLevelTable(const QString& text);

    QString title() const;
    QString scoreWord() const { return scoreWord_; }
    QString localUserName() const { return localUser_; }

    // The stored record, or empty when no such user.
    QString Find(const QString& name) const;
    bool Contains(const QString& name) const { return itemOf(name) != nullptr; }
    // A record of exactly 16 fields with a name; one for a listed name
    // replaces it. False when refused.
    bool Add(const QString& record);
    void Remove(const QString& name);
    void Clear();
    // Records joined by back-quotes, 16 fields each; a trailing incomplete
    // record is dropped. Raises usersAdded with the names loaded.
    void BulkLoad(const QString& body);
    // Brings that user's row into view and selects it.
    void Highlight(const QString& name);

    int count() const;
    QStringList names() const; // in row order
    // The text a row shows in a column, for checks.
    QString cellText(const QString& name, int column) const;
    QTreeWidget* view() const { return tree_; }

signals:
    void usersAdded(const QString& names);
    // menuRequest: the user asked for the user's card rather than selecting.
    void userClicked(bool menuRequest, const QString& name, const QString& record);

private:
    QTreeWidgetItem* itemOf(const QString& name) const;
    void fillRow(QTreeWidgetItem* item, const QStringList& fields);
    void styleRow(QTreeWidgetItem* item);
    bool addFields(const QStringList& fields);

    QLabel* title_;
    QTreeWidget* tree_;
    QString localUser_;
    QString scoreWord_;
    QColor localText_{0, 138, 140};
    QColor background_{255, 255, 255};
    std::vector<LevelEntry> levels_;
};

} // namespace kelpo
