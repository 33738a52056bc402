// The value archive's rules that need no window: item kinds, stop flag range, dates, bar codes,
// value documents and delete keys.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

#include "archive/ValueKeys.h"
#include "archive/ValuePersistence.h"
#include "archive/ValueRules.h"
#include "tests/support/TestSession.h"

namespace {

using testsupport::SessionTest;

TEST(ValueRules, StopFlagBelongsToItems20To35) {
    EXPECT_FALSE(archive::hasStopFlag("19"));
    EXPECT_TRUE(archive::hasStopFlag("20"));
    EXPECT_TRUE(archive::hasStopFlag("35"));
    EXPECT_FALSE(archive::hasStopFlag("36"));
    EXPECT_FALSE(archive::hasStopFlag(""));
    EXPECT_FALSE(archive::hasStopFlag("2x"));
}

TEST(ValueRules, DatesAreCalendarDates) {
    for (const char* good : {"2024-02-29", "2024/2/9", "2024.12.31", "20240101"})
        EXPECT_TRUE(archive::isDateText(QString::fromLatin1(good))) << good;
    for (const char* bad : {"2023-02-29", "2024-13-01", "abc", "", "2024-1-1x", "2024/01-01", "2024011"})
        EXPECT_FALSE(archive::isDateText(QString::fromLatin1(bad))) << bad;
}

TEST(ValueRules, BarCodesTakeLettersDigitsAndHyphens) {
    EXPECT_TRUE(archive::BarCodeFilter::accepts("AZaz09-"));
    EXPECT_TRUE(archive::BarCodeFilter::accepts("\b"));  // backspace passes
    for (const char* bad : {" ", "_", "'", "é", ";", "<"})
        EXPECT_FALSE(archive::BarCodeFilter::accepts(QString::fromUtf8(bad))) << bad;
    QLineEdit box;
    archive::BarCodeFilter::install(&box);
    box.insert(QStringLiteral("AB 12"));  // a paste with a blank is refused whole
    EXPECT_EQ(box.text(), QString());
    box.insert(QStringLiteral("AB-12"));
    EXPECT_EQ(box.text(), QStringLiteral("AB-12"));
}

TEST(ValueRules, DeleteKeyQuotesTheValueOnly) {
    EXPECT_EQ(archive::UserDefineDeleteKey("20", "x' or '1'='1"),
              QStringLiteral("20' and cValue='x'' or ''1''=''1"));
}

class ValueDocument : public SessionTest {};

TEST_F(ValueDocument, SaveInAnotherModeCallsNothingAndARefusalIsShown) {
    QWidget window;
    auto* value = new QLineEdit(QStringLiteral("红色"), &window);  // item 20 has it already
    const archive::ValueBoxes boxes{value, nullptr, nullptr, nullptr, nullptr};
    EXPECT_FALSE(archive::SaveUserDefineRs(session.srv.get(), "20", {}, archive::kBrowse, boxes));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_FALSE(archive::SaveUserDefineRs(session.srv.get(), "20", {}, archive::kAdding, boxes));
    ASSERT_NE(session.prompter->last(), nullptr);
    EXPECT_TRUE(session.prompter->last()->text.contains(QStringLiteral("红色")));
}

}  // namespace
