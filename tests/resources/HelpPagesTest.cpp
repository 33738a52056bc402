// A help page for every topic the windows open, in every language.
#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include "controls/ToolbarDefinition.h"
#include "platform/pub/ResourceTexts.h"
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

// Each toolbar table of a page (data-toolbar) lists exactly the buttons its window shows, each
// row (data-keys) under the buttons' captions in the page's language.
TEST(HelpPages, ListTheButtonsTheirWindowsShowUnderTheirCaptions) {
    // Buttons a window never shows: the catalogue hides "Define", and in the portal, which
    // closes its tabs itself, help (F1) and exit.
    const QMap<QString, QStringList> hidden = {{"Archives_UserDef_List", {"Define", "Help", "Exit"}}};
    const QMap<QString, QStringList> toolbars = {
        {"UserDef", {"Archives_UserDef_List", "Archives_UserDef_Edit"}},
        {"UserDefExtend", {"Archives_UserDef_Edit"}},
        {"UserDefine", {"Archives_UserDef_Archive"}},
        {"MakeVouchSet",
         {"Archives_UserDef_MakeVouch_Main", "Archives_UserDef_MakeVouch_List",
          "Archives_UserDef_MakeVouch_Edit"}}};
    static const QRegularExpression table("<table data-toolbar='([^']+)'(.*?)</table>",
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression row("<tr data-keys='([^']+)'><td[^>]*><b>([^<]+)</b>");
    for (const char* language : {"zh-CN", "zh-TW", "en-US"}) {
        const platform::pub::ResourceTexts texts(language);
        for (auto page = toolbars.begin(); page != toolbars.end(); ++page) {
            SCOPED_TRACE(page.key().toStdString() + " " + language);
            QFile file(resources::help::pagePath(page.key(), language));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            QStringList pageToolbars;
            for (const auto& t : table.globalMatch(html)) {
                const QString id = t.captured(1);
                pageToolbars << id;
                QStringList shown;
                for (const controls::ToolbarButtonDef& b : controls::toolbarDefinition(id))
                    if (!b.separator && !hidden.value(id).contains(b.key)) shown << b.key;
                QStringList listed;
                for (const auto& r : row.globalMatch(t.captured(2))) {
                    for (const QString& key : r.captured(1).split(' ')) {
                        listed << key;
                        const QString caption = texts.text("Q9.AA.TOOLBAR." + key);
                        EXPECT_TRUE(r.captured(2).contains(caption))
                            << id.toStdString() << ": " << r.captured(2).toStdString()
                            << " lacks " << caption.toStdString();
                    }
                }
                EXPECT_EQ(listed, shown) << id.toStdString();
            }
            EXPECT_EQ(pageToolbars, page.value());
        }
    }
}
