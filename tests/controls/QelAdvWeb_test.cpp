#include "controls/QelAdvWeb.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kelpo::QelAdvWeb;

TEST(QelAdvWeb, ShowsALocalPageAndNothingFromTheNetwork)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile page(dir.filePath(QStringLiteral("ga.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p>Local advert</p><img src=\"http://example.invalid/x.png\"></body></html>");
    page.close();

    QelAdvWeb web;
    web.setMode(1);
    web.Navigate(QUrl::fromLocalFile(page.fileName()));
    EXPECT_TRUE(web.hasPage());
    EXPECT_TRUE(web.toPlainText().contains(QStringLiteral("Local advert")));

    web.Navigate(QUrl(QStringLiteral("http://example.invalid/adv/KELPO/ga.htm")));
    EXPECT_FALSE(web.hasPage());
    EXPECT_TRUE(web.toPlainText().isEmpty());

    web.Navigate(QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.htm"))));
    EXPECT_FALSE(web.hasPage());
}
