#include "app/DeskTexts.h"

#include <QHash>
#include <memory>

#include "platform/pub/ResourceTexts.h"

namespace app {

QString deskText(const QString& language, const QString& key, const QStringList& values) {
    static QHash<QString, std::shared_ptr<platform::pub::ResourceTexts>> cache;
    const QString normal = platform::pub::normalizeLanguage(language);
    auto& texts = cache[normal];
    if (!texts) texts = std::make_shared<platform::pub::ResourceTexts>(normal);
    return platform::pub::formatText(texts->text(key), values);
}

QStringList deskLanguages() {
    return {QStringLiteral("zh-CN"), QStringLiteral("zh-TW"), QStringLiteral("en-US")};
}

}  // namespace app
