#include "platform/FileBytes.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace kelpo;

TEST(ReadAtMost, ReadsWhatIsThereUpToTheCap)
{
    QByteArray data(10000, 'x');
    data[9999] = 'y';
    QBuffer whole(&data);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray all = ReadAtMost(whole, 1 << 20);
    EXPECT_EQ(all, data);
    // Reserved by what was there, not by the cap.
    EXPECT_LT(all.capacity(), 64 * 1024);

    QBuffer capped(&data);
    ASSERT_TRUE(capped.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadAtMost(capped, 4097), data.left(4097));
}
