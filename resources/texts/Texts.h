#pragma once
// Where the resource texts live once linked: ":/texts/<area>.<lang>.json".
#include <QString>
#include <QStringList>

namespace resources::texts {

QString folder();
// The files of one language ("zh-CN", "zh-TW", "en-US"), sorted by area.
QStringList files(const QString& language);

}  // namespace resources::texts
