#include "platform/package/PackageModel.h"

#include <algorithm>

namespace platform::package {

namespace {

// Sorted without regard to letter case (as the account matches), ties broken exactly, so that
// the order never depends on the order rows were read in.
bool before(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

const QStringList& itemFields() {
    static const QStringList list = {
        QStringLiteral("cClass"),          QStringLiteral("cItem"),
        QStringLiteral("cId"),             QStringLiteral("cItemName"),
        QStringLiteral("cItemName_zh_TW"), QStringLiteral("cItemName_en_US"),
        QStringLiteral("cType"),           QStringLiteral("IMaxLen"),
        QStringLiteral("iLength"),         QStringLiteral("iDecimalDigits"),
        QStringLiteral("cDefaultVal"),     QStringLiteral("iDataSource"),
        QStringLiteral("cParent"),         QStringLiteral("cRelArchive"),
        QStringLiteral("cRefID"),          QStringLiteral("cRelField"),
        QStringLiteral("bFixLength"),      QStringLiteral("bCheckVal"),
        QStringLiteral("bInput"),          QStringLiteral("bArchive"),
        QStringLiteral("bMultiSel"),       QStringLiteral("bIsUserDefAttachFile"),
        QStringLiteral("bIsUserDefPic"),   QStringLiteral("cTableDesc"),
        QStringLiteral("cDicDbName"),
    };
    return list;
}

const QStringList& valueFields() {
    static const QStringList list = {QStringLiteral("cValue"), QStringLiteral("cAlias"),
                                     QStringLiteral("cBarCode"), QStringLiteral("cParentValue"),
                                     QStringLiteral("bFreeStop")};
    return list;
}

const QStringList& ruleFields() {
    static const QStringList list = {
        QStringLiteral("cMakeVouchID"), QStringLiteral("cTableName"),
        QStringLiteral("cTargetTable"), QStringLiteral("cextendfield"),
        QStringLiteral("ctype"),        QStringLiteral("ctargetfield"),
        QStringLiteral("btrans"),       QStringLiteral("cdesc"),
        QStringLiteral("cSub_id"),
    };
    return list;
}

const QStringList& ruleKeyFields() {
    static const QStringList list = ruleFields().mid(0, 5);
    return list;
}

bool isFlagField(const QString& field) { return field.startsWith(QLatin1Char('b')); }

QString PackageItem::title() const { return cClass() + QStringLiteral(" / ") + label(); }

void Package::sort() {
    for (PackageItem& item : items) {
        std::sort(item.tables.begin(), item.tables.end(), before);
        std::sort(item.values.begin(), item.values.end(), [](const Record& a, const Record& b) {
            return before(a.value(QStringLiteral("cValue")), b.value(QStringLiteral("cValue")));
        });
    }
    std::sort(items.begin(), items.end(), [](const PackageItem& a, const PackageItem& b) {
        if (a.cClass() != b.cClass()) return before(a.cClass(), b.cClass());
        return before(a.label(), b.label());
    });
    std::sort(rules.begin(), rules.end(), [](const Record& a, const Record& b) {
        QStringList ka, kb;
        for (const QString& f : ruleKeyFields()) {
            ka << a.value(f);
            kb << b.value(f);
        }
        return before(ka.join(QLatin1Char('\t')), kb.join(QLatin1Char('\t')));
    });
    std::sort(scope.classes.begin(), scope.classes.end(), before);
}

const PackageItem* Package::find(const QString& cClass, const QString& label) const {
    for (const PackageItem& item : items)
        if (item.cClass().compare(cClass, Qt::CaseInsensitive) == 0 &&
            item.label().compare(label, Qt::CaseInsensitive) == 0)
            return &item;
    return nullptr;
}

bool Package::inScope(const QString& cClass) const {
    switch (scope.kind) {
        case PackageScope::All: return true;
        case PackageScope::Classes: return scope.classes.contains(cClass, Qt::CaseInsensitive);
        case PackageScope::Items: return false;
    }
    return false;
}

QString ruleKey(const Record& rule) {
    QStringList key;
    for (const QString& f : ruleKeyFields()) key << rule.value(f).trimmed().toLower();
    return key.join(QLatin1Char('\t'));
}

QString ruleTitle(const Record& rule) {
    const auto f = [&rule](const char* name) { return rule.value(QLatin1String(name)); };
    return QStringLiteral("%1: %2 → %3, %4 (%5)")
        .arg(f("cMakeVouchID"), f("cTableName"), f("cTargetTable"), f("cextendfield"), f("ctype"));
}

bool sameValue(const QString& field, const QString& a, const QString& b) {
    static const QStringList blind = {
        QStringLiteral("cClass"),      QStringLiteral("cItem"),       QStringLiteral("cType"),
        QStringLiteral("cDicDbName"),  QStringLiteral("cParent"),     QStringLiteral("cRelArchive"),
        QStringLiteral("cRelField"),   QStringLiteral("cRefID"),      QStringLiteral("cValue"),
        QStringLiteral("cMakeVouchID"), QStringLiteral("cTableName"), QStringLiteral("cTargetTable"),
        QStringLiteral("cextendfield"), QStringLiteral("ctargetfield"), QStringLiteral("ctype"),
        QStringLiteral("cSub_id"),
    };
    if (isFlagField(field)) return (a.trimmed() == QLatin1String("1")) == (b.trimmed() == QLatin1String("1"));
    if (blind.contains(field)) return a.compare(b, Qt::CaseInsensitive) == 0;
    return a == b;
}

}  // namespace platform::package
