#include "platform/sql/ServerFunctions.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QUuid>
#include <cmath>
#include <vector>

#include "platform/db/Database.h"
#include "platform/sql/SqlTypes.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql {

namespace {

QString argText(sqlite3_value* v) {
    const auto* data = static_cast<const char16_t*>(sqlite3_value_text16(v));
    const int bytes = sqlite3_value_bytes16(v);
    return data ? QString::fromUtf16(data, bytes / 2) : QString();
}

void resultText(sqlite3_context* ctx, const QString& text) {
    sqlite3_result_text16(ctx, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

ServerFunctions* self(sqlite3_context* ctx) {
    return static_cast<ServerFunctions*>(sqlite3_user_data(ctx));
}

// Splits a name of the dialect into its parts: brackets and quotes removed, ".." kept empty.
QStringList nameParts(const QString& name) {
    QStringList parts;
    QString part;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            for (++i; i < name.size(); ++i) {
                if (name[i] == close) {
                    if (i + 1 < name.size() && name[i + 1] == close) {
                        part += close;
                        ++i;
                        continue;
                    }
                    break;
                }
                part += name[i];
            }
        } else if (c == QLatin1Char('.')) {
            parts << part;
            part.clear();
        } else {
            part += c;
        }
    }
    parts << part;
    for (QString& p : parts) p = p.trimmed();
    return parts;
}

// --- money ------------------------------------------------------------------------------------

bool moneyValue(sqlite3_value* v, double* out, QString* error) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            *out = double(sqlite3_value_int64(v));
            return true;
        case SQLITE_FLOAT:
            *out = std::round(sqlite3_value_double(v) * 10000.0) / 10000.0;
            return true;
        case SQLITE_BLOB: {
            // A row version as the server converts it: the bytes as a count of 1/10000.
            const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(v));
            const int n = sqlite3_value_bytes(v);
            if (n > 8) {
                *error = QStringLiteral("a binary value longer than 8 bytes is not money");
                return false;
            }
            qint64 raw = 0;
            for (int i = 0; i < n; ++i) raw = (raw << 8) | bytes[i];
            *out = double(raw) / 10000.0;
            return true;
        }
        default: {
            const QString text = argText(v).trimmed();
            bool ok = false;
            const double d = QString(text).remove(QLatin1Char(',')).toDouble(&ok);
            if (!ok) {
                *error = QStringLiteral("cannot convert '%1' to money").arg(text);
                return false;
            }
            *out = std::round(d * 10000.0) / 10000.0;
            return true;
        }
    }
}

QString groupThousands(const QString& digits) {
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

void fnMoney(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double d = 0;
    QString error;
    if (!moneyValue(argv[0], &d, &error)) return resultError(ctx, error);
    sqlite3_result_double(ctx, d);
}

// Money as text in the server's styles: 0 "1234.50", 1 "1,234.50", 2 "1234.5000".
void fnMoneyText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double d = 0;
    QString error;
    if (!moneyValue(argv[0], &d, &error)) return resultError(ctx, error);
    const int style = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    if (style < 0 || style > 2) return resultError(ctx, QStringLiteral("money style %1 is not known").arg(style));
    QString text = QString::number(std::fabs(d), 'f', style == 2 ? 4 : 2);
    if (style == 1) {
        const int dot = int(text.indexOf(QLatin1Char('.')));
        text = groupThousands(text.left(dot)) + text.mid(dot);
    }
    if (d < 0 && text.contains(QRegularExpression(QStringLiteral("[1-9]")))) text.prepend(QLatin1Char('-'));
    resultText(ctx, text);
}

// --- text -------------------------------------------------------------------------------------

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QString t = argText(argv[0]);
    int n = int(t.size());
    while (n > 0 && t[n - 1] == QLatin1Char(' ')) --n;
    sqlite3_result_int(ctx, n);
}

void fnDataLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL: return sqlite3_result_null(ctx);
        case SQLITE_BLOB: return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
        case SQLITE_INTEGER: return sqlite3_result_int(ctx, 4);
        case SQLITE_FLOAT: return sqlite3_result_int(ctx, 8);
        default: return sqlite3_result_int(ctx, int(argText(argv[0]).size() * 2));
    }
}

void fnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString find = argText(argv[0]);
    const QString in = argText(argv[1]);
    int start = argc > 2 ? std::max(1, sqlite3_value_int(argv[2])) : 1;
    if (find.isEmpty()) return sqlite3_result_int(ctx, 0);
    const qsizetype at = in.indexOf(find, start - 1, Qt::CaseInsensitive);
    sqlite3_result_int(ctx, at < 0 ? 0 : int(at) + 1);
}

void fnLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[1]);
    if (n < 0) return resultError(ctx, QStringLiteral("LEFT with a negative length"));
    resultText(ctx, argText(argv[0]).left(n));
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int n = sqlite3_value_int(argv[1]);
    if (n < 0) return resultError(ctx, QStringLiteral("RIGHT with a negative length"));
    resultText(ctx, argText(argv[0]).right(n));
}

void fnNewId(sqlite3_context* ctx, int, sqlite3_value**) {
    resultText(ctx, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

void fnIsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
    if (type != SQLITE_TEXT) return sqlite3_result_int(ctx, 0);
    bool ok = false;
    argText(argv[0]).trimmed().toDouble(&ok);
    sqlite3_result_int(ctx, ok ? 1 : 0);
}

// --- LIKE as the server matches it: % _ [set] [^set] [a-z], letters without regard to case --

struct PatternItem {
    enum Kind { Any, One, Char, Set } kind = Char;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

char32_t fold(char32_t c) { return QChar::toCaseFolded(c); }

std::vector<PatternItem> parsePattern(const std::u32string& p, char32_t escape) {
    std::vector<PatternItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        PatternItem it;
        const char32_t c = p[i];
        if (escape && c == escape && i + 1 < p.size()) {
            it.ch = fold(p[++i]);
        } else if (c == U'%') {
            if (!items.empty() && items.back().kind == PatternItem::Any) continue;
            it.kind = PatternItem::Any;
        } else if (c == U'_') {
            it.kind = PatternItem::One;
        } else if (c == U'[') {
            const size_t close = p.find(U']', i + 2 <= p.size() ? i + 2 : p.size());
            if (close == std::u32string::npos) {
                it.ch = fold(c);  // an unmatched [ stands for itself
            } else {
                it.kind = PatternItem::Set;
                size_t j = i + 1;
                if (p[j] == U'^') {
                    it.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == U'-') {
                        it.ranges.push_back({fold(p[j]), fold(p[j + 2])});
                        j += 2;
                    } else {
                        it.ranges.push_back({fold(p[j]), fold(p[j])});
                    }
                }
                i = close;
            }
        } else {
            it.ch = fold(c);
        }
        items.push_back(std::move(it));
    }
    return items;
}

bool matchOne(const PatternItem& it, char32_t c) {
    switch (it.kind) {
        case PatternItem::One: return true;
        case PatternItem::Char: return it.ch == c;
        case PatternItem::Set: {
            bool in = false;
            for (const auto& [lo, hi] : it.ranges)
                if (c >= lo && c <= hi) in = true;
            return in != it.negated;
        }
        default: return false;
    }
}

bool likeMatch(const std::vector<PatternItem>& p, const std::u32string& s) {
    size_t pi = 0, si = 0, starP = std::u32string::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi].kind == PatternItem::Any) {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && matchOne(p[pi], fold(s[si]))) {
            ++pi;
            ++si;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi].kind == PatternItem::Any) ++pi;
    return pi == p.size();
}

struct CachedPattern {
    char32_t escape;
    std::vector<PatternItem> items;
};

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    // like(pattern, value [, escape]) as SQLite calls it for "value LIKE pattern".
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    char32_t escape = 0;
    if (argc > 2) {
        if (sqlite3_value_type(argv[2]) == SQLITE_NULL) return sqlite3_result_null(ctx);
        const std::u32string e = argText(argv[2]).toStdU32String();
        if (e.size() != 1) return resultError(ctx, QStringLiteral("ESCAPE takes one character"));
        escape = e[0];
    }
    const auto* cached = static_cast<const CachedPattern*>(sqlite3_get_auxdata(ctx, 0));
    if (cached && cached->escape == escape)
        return sqlite3_result_int(ctx, likeMatch(cached->items, argText(argv[1]).toStdU32String()));
    auto parsed = std::make_unique<CachedPattern>(
        CachedPattern{escape, parsePattern(argText(argv[0]).toStdU32String(), escape)});
    sqlite3_result_int(ctx, likeMatch(parsed->items, argText(argv[1]).toStdU32String()));
    sqlite3_set_auxdata(ctx, 0, parsed.release(),
                        [](void* p) { delete static_cast<CachedPattern*>(p); });
}

// --- catalogue ----------------------------------------------------------------------------------

void fnObjectId(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const int id = self(ctx)->resolveObjectId(argText(argv[0]));
    if (id == 0) return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, id);
}

void fnObjectName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QString name = self(ctx)->objectName(sqlite3_value_int(argv[0]));
    if (name.isNull()) return sqlite3_result_null(ctx);
    resultText(ctx, name);
}

void fnInternalObjectId(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_int(ctx, self(ctx)->objectId(argText(argv[0]), argText(argv[1])));
}

template <int TypeInfo::*Field>
void fnTypeField(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const TypeInfo t = TypeInfo::of(argText(argv[0]));
    sqlite3_result_int(ctx, t.*Field);
}

void fnXtype(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const QString declared = argText(argv[0]);
    const TypeInfo t = TypeInfo::of(declared);
    // A column without a type holds anything: the server would call it sql_variant (98).
    sqlite3_result_int(ctx, t.known ? t.xtype : 98);
}

// --- server functions -----------------------------------------------------------------------

void fnLocaleId(sqlite3_context* ctx, int, sqlite3_value**) { resultText(ctx, self(ctx)->language()); }

void fnAllSubName(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    ServerFunctions* f = self(ctx);
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString schema = f->schemaOf(QStringLiteral("zxsystem")).isEmpty()
                               ? QString()
                               : sqliteIdent(f->schemaOf(QStringLiteral("zxsystem"))) +
                                     QStringLiteral(".");
    // The subsystem's caption in the connection's language, else its stored name.
    const QByteArray sql =
        QStringLiteral("SELECT COALESCE((SELECT NULLIF(Caption, '') FROM %1zxmenu_business_lang "
                       "WHERE MenuID = ?1 COLLATE NOCASE AND localeid = ?2 COLLATE NOCASE), "
                       "csub_name) FROM %1ua_subsys WHERE csub_id = ?1 COLLATE NOCASE")
            .arg(schema)
            .toUtf8();
    const QString language = f->language();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        return resultError(ctx, QStringLiteral("getAllSubName_ExtendDefine: %1").arg(why));
    }
    QStringList names;
    for (const QString& raw : argText(argv[0]).split(QLatin1Char(','))) {
        const QString code = raw.trimmed();
        QString name = code;
        if (!code.isEmpty()) {
            sqlite3_bind_text16(st, 1, code.utf16(), int(code.size() * 2), SQLITE_TRANSIENT);
            sqlite3_bind_text16(st, 2, language.utf16(), int(language.size() * 2), SQLITE_TRANSIENT);
            if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
                name = argText(sqlite3_column_value(st, 0));
            sqlite3_reset(st);
        }
        names << name;
    }
    sqlite3_finalize(st);
    resultText(ctx, names.join(QLatin1Char(',')));
}

}  // namespace

ServerFunctions::ServerFunctions(db::Database& db, QString language, QString catalog)
    : m_db(db), m_language(std::move(language)), m_catalog(std::move(catalog)) {}

ServerFunctions::~ServerFunctions() = default;

std::unique_ptr<ServerFunctions> ServerFunctions::install(db::Database& db, const QString& language,
                                                          const QString& catalog, QString* error) {
    std::unique_ptr<ServerFunctions> f(new ServerFunctions(db, language, catalog));
    f->refreshSchemas();
    sqlite3* h = db.handle();
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    const int vol = SQLITE_UTF8;
    struct Def {
        const char* name;
        int args;
        int flags;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    const Def defs[] = {
        {"UDF_GetLocaleID", 0, det, fnLocaleId},
        {"getAllSubName_ExtendDefine", 1, vol, fnAllSubName},
        {"OBJECT_ID", 1, vol, fnObjectId},
        {"OBJECT_ID", 2, vol, fnObjectId},
        {"OBJECT_NAME", 1, vol, fnObjectName},
        {"OBJECT_NAME", 2, vol, fnObjectName},
        {"zx_object_id", 2, vol, fnInternalObjectId},
        {"zx_xtype", 1, det, fnXtype},
        {"zx_collength", 1, det, fnTypeField<&TypeInfo::byteLength>},
        {"zx_precision", 1, det, fnTypeField<&TypeInfo::precision>},
        {"zx_scale", 1, det, fnTypeField<&TypeInfo::scaleDigits>},
        {"zx_money", 1, det, fnMoney},
        {"zx_money_text", 2, det, fnMoneyText},
        {"zx_len", 1, det, fnLen},
        {"zx_datalength", 1, det, fnDataLength},
        {"zx_charindex", 2, det, fnCharIndex},
        {"zx_charindex", 3, det, fnCharIndex},
        {"zx_left", 2, det, fnLeft},
        {"zx_right", 2, det, fnRight},
        {"zx_newid", 0, vol, fnNewId},
        {"zx_isnumeric", 1, det, fnIsNumeric},
        {"like", 2, det, fnLike},
        {"like", 3, det, fnLike},
    };
    for (const Def& d : defs) {
        if (sqlite3_create_function_v2(h, d.name, d.args, d.flags, f.get(), d.fn, nullptr, nullptr,
                                       nullptr) != SQLITE_OK) {
            if (error)
                *error = QStringLiteral("cannot register %1: %2")
                             .arg(QString::fromLatin1(d.name), QString::fromUtf8(sqlite3_errmsg(h)));
            return nullptr;
        }
    }
    return f;
}

void ServerFunctions::refreshSchemas() { m_schemas = m_db.schemas(); }

QString ServerFunctions::schemaOf(const QString& database) const {
    if (database.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) == 0) return QStringLiteral("temp");
    if (database.compare(m_catalog, Qt::CaseInsensitive) == 0) return QStringLiteral("main");
    for (const QString& s : m_schemas)
        if (s.compare(database, Qt::CaseInsensitive) == 0) return s;
    return {};
}

int ServerFunctions::objectId(const QString& schema, const QString& name) {
    const QString key = schema.toLower() + QLatin1Char('\x1f') + name.toLower();
    const auto it = m_ids.constFind(key);
    if (it != m_ids.constEnd()) return *it;
    const int id = m_nextId++;
    m_ids.insert(key, id);
    m_names.insert(id, {schema, name});
    return id;
}

bool ServerFunctions::exists(const QString& schema, const QString& name, QString* storedName) {
    sqlite3* h = m_db.handle();
    const QByteArray sql = QStringLiteral(
                               "SELECT name FROM %1.sqlite_master WHERE type IN ('table', 'view') "
                               "AND name = ?1 COLLATE NOCASE")
                               .arg(sqliteIdent(schema))
                               .toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return false;
    }
    sqlite3_bind_text16(st, 1, name.utf16(), int(name.size() * 2), SQLITE_TRANSIENT);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    if (found && storedName) *storedName = argText(sqlite3_column_value(st, 0));
    sqlite3_finalize(st);
    return found;
}

int ServerFunctions::resolveObjectId(const QString& dialectName) {
    QStringList parts = nameParts(dialectName);
    if (parts.isEmpty() || parts.size() > 3) return 0;
    QString schema;
    if (parts.size() == 3) {
        schema = schemaOf(parts[0]);
        if (schema.isEmpty()) return 0;
        parts = parts.mid(1);
    }
    if (parts.size() == 2) {
        if (!parts[0].isEmpty() && parts[0].compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0)
            return 0;
        parts = parts.mid(1);
    }
    const QString name = parts.value(0);
    if (name.isEmpty()) return 0;
    if (name.startsWith(QLatin1Char('#'))) {
        if (!schema.isEmpty() && schema != QLatin1String("temp")) return 0;
        schema = QStringLiteral("temp");
    } else if (schema.isEmpty()) {
        schema = QStringLiteral("main");
    }
    QString stored;
    if (!exists(schema, name, &stored)) return 0;
    return objectId(schema, stored);
}

QString ServerFunctions::objectName(int id) {
    const auto it = m_names.constFind(id);
    if (it == m_names.constEnd()) return {};
    QString stored;
    if (!exists(it->first, it->second, &stored)) return {};
    return stored;
}

}  // namespace platform::sql
