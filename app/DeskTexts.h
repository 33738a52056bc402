#pragma once
// The desk's own texts (area "desk") in a language, before any session exists.
#include <QString>
#include <QStringList>

namespace app {

// language: "zh-CN", "zh-TW" or "en-US" (any case). %1, %2 … are filled from values.
QString deskText(const QString& language, const QString& key, const QStringList& values = {});

// The languages the desk offers, in menu order.
QStringList deskLanguages();

}  // namespace app
