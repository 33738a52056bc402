#include "app/DeskOptions.h"

#include "platform/pub/ResourceTexts.h"

namespace app {

std::optional<DeskOptions> parseDeskOptions(const QStringList& arguments, QString* error) {
    DeskOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments.at(i);
        if (i + 1 >= arguments.size()) {
            if (error) *error = QStringLiteral("%1: a value is missing").arg(name);
            return std::nullopt;
        }
        const QString value = arguments.at(++i);
        if (name == QLatin1String("--account")) {
            options.account = value;
        } else if (name == QLatin1String("--user")) {
            options.user = value;
        } else if (name == QLatin1String("--password")) {
            options.password = value;
        } else if (name == QLatin1String("--lang")) {
            const QString normal = platform::pub::normalizeLanguage(value);
            if (normal.compare(value, Qt::CaseInsensitive) != 0) {
                if (error)
                    *error = QStringLiteral("--lang: zh-CN, zh-TW or en-US, not %1").arg(value);
                return std::nullopt;
            }
            options.language = normal;
        } else if (name == QLatin1String("--open")) {
            options.open = value;
        } else if (name == QLatin1String("--screenshot")) {
            options.screenshot = value;
        } else {
            if (error) *error = QStringLiteral("unknown option %1").arg(name);
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace app
