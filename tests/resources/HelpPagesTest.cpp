// A help page for every topic the windows open, in every language.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "resources/help/HelpPages.h"

TEST(HelpPages, EveryTopicHasAPageInEveryLanguage) {
    for (const char* topic : {"UserDef", "UserDefExtend", "MakeVouchSet", "UserDefine"}) {
        for (const char* language : {"zh-CN", "zh-TW", "en-US"}) {
            const QString path = resources::help::pagePath(topic, language);
            ASSERT_FALSE(path.isEmpty()) << topic << " " << language;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            const auto title =
                QRegularExpression("<title>([^<]+)</title>").match(html).captured(1);
            EXPECT_FALSE(title.trimmed().isEmpty()) << topic << " " << language;
            // A page explains the commands: it has a table of them and real content.
            EXPECT_TRUE(html.contains("<table")) << topic << " " << language;
            EXPECT_GT(html.size(), 600) << topic << " " << language;
        }
    }
    EXPECT_TRUE(resources::help::pagePath("NoSuchTopic", "zh-CN").isEmpty());
}
