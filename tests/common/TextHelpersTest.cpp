#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "common/TextHelpers.h"

using namespace userdef;

TEST(TruncateText, CutsLongTextAndReportsItsFullLength) {
    QString out;
    EXPECT_EQ(TruncateText(QStringLiteral("abcdef"), out, 4), 6);
    EXPECT_EQ(out, QStringLiteral("abcd"));
    EXPECT_EQ(TruncateText(QStringLiteral("abcdef"), out, 6), 6);
    EXPECT_EQ(out, QStringLiteral("abcdef"));
    EXPECT_EQ(TruncateText(QStringLiteral("abcdef"), out, 60), 6);
    EXPECT_EQ(out, QStringLiteral("abcdef"));
    EXPECT_EQ(TruncateText(QString(), out, 3), 0);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(TruncateText(QStringLiteral("abc"), out, -1), 3);
    EXPECT_TRUE(out.isEmpty());
}

TEST(TruncateText, NeverSplitsACharacterOutsideTheBasicPlane) {
    const QString text =
        QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("c");
    QString out;
    EXPECT_EQ(TruncateText(text, out, 3), 5);
    EXPECT_EQ(out, QStringLiteral("ab"));  // the pair would not fit: left out whole
    EXPECT_EQ(TruncateText(text, out, 4), 5);
    EXPECT_EQ(out, text.left(4));
    EXPECT_EQ(TruncateText(QStringLiteral("中文名称"), out, 2), 4);
    EXPECT_EQ(out, QStringLiteral("中文"));
}

TEST(TextToFlag, OnlyTrueValuesGiveOne) {
    EXPECT_EQ(TextToFlag(QStringLiteral("true")), 1);
    EXPECT_EQ(TextToFlag(QStringLiteral("True")), 1);
    EXPECT_EQ(TextToFlag(QStringLiteral(" TRUE ")), 1);
    EXPECT_EQ(TextToFlag(QStringLiteral("1")), 1);
    EXPECT_EQ(TextToFlag(QStringLiteral("-1")), 1);
    EXPECT_EQ(TextToFlag(QVariant(true)), 1);
    EXPECT_EQ(TextToFlag(QStringLiteral("false")), 0);
    EXPECT_EQ(TextToFlag(QStringLiteral("0")), 0);
    EXPECT_EQ(TextToFlag(QStringLiteral("yes")), 0);  // does not convert
    EXPECT_EQ(TextToFlag(QString()), 0);
    EXPECT_EQ(TextToFlag(QVariant()), 0);
    EXPECT_EQ(TextToFlag(QVariant(false)), 0);
}

TEST(NewGuidText, RegistryFormWithoutBracesAndRemovedCharacters) {
    const QString plain = NewGuidText();
    EXPECT_TRUE(
        QRegularExpression(
            QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
            .match(plain)
            .hasMatch())
        << plain.toStdString();
    const QString compact = NewGuidText(QStringLiteral("-"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{32}$")).match(compact).hasMatch())
        << compact.toStdString();
    EXPECT_FALSE(NewGuidText(QStringLiteral("-0123456789")).contains(QRegularExpression("[-0-9]")));
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) seen.insert(NewGuidText(QStringLiteral("-")));
    EXPECT_EQ(seen.size(), 200);
}
