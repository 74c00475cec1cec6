#include "controls/QelList.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

using kelpo::QelList;

namespace {

QStringList Record(const QString& name, int level = 0, int chair = 0)
{
    QStringList f(16);
    f[0] = name;
    f[1] = QStringLiteral("id-") + name;
    f[3] = QString::number(level);
    f[13] = QString::number(chair);
    return f;
}

QString Join(const QStringList& f) { return f.join(QLatin1Char('`')); }

} // namespace

TEST(QelList, BulkLoadTakesWholeRecordsAndDropsATrailingPart)
{
    QelList list;
    QSignalSpy added(&list, &QelList::usersAdded);
    QStringList body = Record(QStringLiteral("甲")) + Record(QStringLiteral("乙"));
    body += Record(QStringLiteral("丙")).mid(0, 9); // cut short
    list.BulkLoad(Join(body));
    EXPECT_EQ(list.names(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added.at(0).at(0).toString(), QStringLiteral("甲`乙"));
    EXPECT_EQ(list.Find(QStringLiteral("乙")), Join(Record(QStringLiteral("乙"))));

    list.BulkLoad(Join(Record(QStringLiteral("丁")).mid(0, 15)));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(added.count(), 1);
}

TEST(QelList, AddRemoveFindKeyedByName)
{
    QelList list;
    EXPECT_FALSE(list.Add(QStringLiteral("only`three`fields")));
    EXPECT_FALSE(list.Add(Join(Record(QString()))));
    EXPECT_TRUE(list.Add(Join(Record(QStringLiteral("甲"), 0, 1))));
    EXPECT_TRUE(list.Add(Join(Record(QStringLiteral("甲"), 0, 4)))); // replaces
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.cellText(QStringLiteral("甲"), 13), QStringLiteral("4"));
    EXPECT_TRUE(list.Find(QStringLiteral("乙")).isEmpty());
    list.Remove(QStringLiteral("乙"));
    list.Remove(QStringLiteral("甲"));
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.Find(QStringLiteral("甲")).isEmpty());
}

TEST(QelList, SetUpShowsTitlesWidthsAndLevelNames)
{
    QelList list;
    QStringList titles;
    for (int i = 0; i < 16; ++i)
        titles << QStringLiteral("t%1").arg(i);
    list.setColumns(Join(titles), 11);
    list.setColumnWidths(QStringLiteral("100`90`70`80`80`60`50`50`50`50`50"));
    list.setLevelTable(QStringLiteral("新手_0`高手_100"));
    list.Add(Join(Record(QStringLiteral("甲"), 150)));
    list.Add(Join(Record(QStringLiteral("乙"), 3)));
    EXPECT_EQ(list.cellText(QStringLiteral("甲"), 3), QStringLiteral("高手"));
    EXPECT_EQ(list.cellText(QStringLiteral("乙"), 3), QStringLiteral("新手"));
    // The stored record keeps the raw level value.
    EXPECT_EQ(list.Find(QStringLiteral("甲")).split(QLatin1Char('`'))[3], QStringLiteral("150"));
    EXPECT_EQ(list.view()->columnWidth(0), 100);
    EXPECT_EQ(list.view()->columnWidth(5), 60);
    EXPECT_FALSE(list.view()->isColumnHidden(10));
    EXPECT_TRUE(list.view()->isColumnHidden(11));
    EXPECT_EQ(list.view()->headerItem()->text(2), QStringLiteral("t2"));
}

TEST(QelList, HeaderIsAsTallAsTheStandardOneAndKeepsItsSettings)
{
    QelList list;
    list.setColumns(QStringLiteral("用户名`用户ID`经验"), 3);
    QHeaderView standard(Qt::Horizontal);
    standard.setModel(list.view()->model());
    const QHeaderView* header = list.view()->header();
    EXPECT_EQ(header->sizeHint().height(), standard.sizeHint().height());
    EXPECT_TRUE(header->sectionsMovable());
    EXPECT_TRUE(header->stretchLastSection());
    EXPECT_EQ(header->defaultAlignment(), Qt::AlignLeft | Qt::AlignVCenter);
}
