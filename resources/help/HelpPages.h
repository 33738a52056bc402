#pragma once
// Help pages by topic and language: ":/help/<topic>.<lang>.html".
#include <QString>
#include <QStringList>

namespace resources::help {

QString folder();
// The page of a topic in a language ("zh-CN", "zh-TW", "en-US"); empty when there is none.
QString pagePath(const QString& topic, const QString& language);
// Every topic with a page in at least one language.
QStringList topics();

}  // namespace resources::help
