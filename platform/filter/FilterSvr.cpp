#include "platform/filter/FilterSvr.h"

#include <QLoggingCategory>

#include "host/ILogin.h"
#include "host/IWindowHost.h"
#include "platform/filter/FilterDialog.h"
#include "platform/pub/ResourceTexts.h"

Q_LOGGING_CATEGORY(lcFilter, "userdef.filter", QtCriticalMsg)

namespace platform::filter {

FilterSvr::FilterSvr(host::IWindowHost* windowHost) : m_windowHost(windowHost) {}

bool FilterSvr::ShowFilter(host::ILogin* login, const QString& filterName, const QString& title,
                           const QString& moduleKey, QString& condition) {
    if (!m_windowHost) {
        qCWarning(lcFilter) << "no window host for the filter of" << filterName;
        return false;
    }
    const pub::ResourceTexts texts(
        pub::normalizeLanguage(login ? login->LanguageRegion() : QString()));
    const QList<FilterColumn> columns = FilterColumns(filterName);
    if (columns.isEmpty()) {
        m_windowHost->message(
            pub::formatText(texts.text(QStringLiteral("Pub.Filter.NoDefinition")), {filterName}),
            title);
        return false;
    }
    qCDebug(lcFilter) << "filter" << filterName << "of" << moduleKey;
    FilterDialog dialog(columns, [&texts](const QString& key) { return texts.text(key); });
    dialog.setWindowTitle(title);
    if (m_windowHost->showModal(&dialog) != QDialog::Accepted) return false;
    condition = dialog.condition();
    return true;
}

}  // namespace platform::filter
