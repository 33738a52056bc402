// Statements other than queries: INSERT, UPDATE, DELETE, TRUNCATE, CREATE, DROP, ALTER.
#include "platform/db/PgConnection.h"
#include "platform/sql/Emitter.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql::detail {

namespace {

// A column type for SQLite DDL: "(max)" has no SQLite spelling, so the long kinds stand in.
QString ddlType(const QString& written) {
    const QString lower = written.toLower().remove(QLatin1Char(' '));
    if (!lower.endsWith(QLatin1String("(max)"))) return written;
    const QString base = lower.left(lower.size() - 5);
    if (base == QLatin1String("nvarchar")) return QStringLiteral("ntext");
    if (base == QLatin1String("varchar")) return QStringLiteral("text");
    if (base == QLatin1String("varbinary")) return QStringLiteral("image");
    return written;
}

}  // namespace

std::optional<QString> Emitter::statement(Span s, Translation* t) {
    const Node& first = s[0];
    if (first.group() || first.word("SELECT")) {
        t->returnsRows = true;
        const QString q = query(s);
        if (!ok()) return std::nullopt;
        return q;
    }
    const QString u = first.tok->upper;
    Out out;
    if (u == QLatin1String("INSERT")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("INTO")) ++i;
        const Name n = readName(s, i);
        if (n.rest.isEmpty()) return fail(QStringLiteral("INSERT needs a table")), std::nullopt;
        out.add(QStringLiteral("INSERT INTO"));
        out.add(emitName(n));
        i += n.length;
        // The declared types of the columns filled, for the server's conversions.
        QStringList types;
        const QString table = n.rest.last();
        const QString schema = pg() && m_schema ? m_schema->findTable(n.schema, table) : QString();
        if (!schema.isEmpty()) types = m_schema->columnTypes(schema, table);
        if (i < s.size() && s[i].group() && !(s[i].kids.size() && s[i].kids.front().word("SELECT"))) {
            out.add(QLatin1Char('(') + expr(spanOf(s[i].kids)) + QLatin1Char(')'));
            types.clear();
            for (const Span& c : splitTop(spanOf(s[i].kids), ",")) {
                const Name column = readName(c, 0);
                types << (schema.isEmpty() || column.rest.isEmpty()
                              ? QString()
                              : m_schema->columnType(schema, table, column.rest.last()));
            }
            ++i;
        }
        if (i >= s.size()) return fail(QStringLiteral("INSERT needs VALUES or a SELECT")), std::nullopt;
        if (pg() && s[i].word("VALUES")) {
            QStringList rows;
            for (const Span& row : splitTop(s.from(i + 1), ",")) {
                if (row.size() != 1 || !row[0].group())
                    return fail(QStringLiteral("VALUES needs rows in parentheses")), std::nullopt;
                QStringList values;
                for (const Span& v : splitTop(spanOf(row[0].kids), ","))
                    values << assigned(expr(v), v, types.value(values.size()));
                rows << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            out.add(QStringLiteral("VALUES ") + rows.join(QStringLiteral(", ")));
        } else if (s[i].word("VALUES") || s[i].word("DEFAULT")) {
            out.add(expr(s.from(i)));
        } else if (s[i].word("SELECT") || s[i].group()) {
            m_targetTypes = types;
            out.add(query(s.from(i)));
        } else {
            return unsupported(QStringLiteral("INSERT … %1").arg(s[i].tok ? s[i].tok->upper : QStringLiteral("("))),
                   std::nullopt;
        }
    } else if (u == QLatin1String("UPDATE")) {
        for (size_t i = 1; i < s.size(); ++i) {
            if (s[i].word("FROM")) return unsupported(QStringLiteral("UPDATE … FROM")), std::nullopt;
            if (s[i].word("TOP")) return unsupported(QStringLiteral("UPDATE TOP")), std::nullopt;
        }
        if (pg()) return pgUpdate(s);
        out.add(expr(s));
    } else if (u == QLatin1String("DELETE")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("TOP")) return unsupported(QStringLiteral("DELETE TOP")), std::nullopt;
        if (i < s.size() && s[i].word("FROM")) ++i;
        for (size_t k = i; k < s.size(); ++k)
            if (s[k].word("FROM") || s[k].word("JOIN"))
                return unsupported(QStringLiteral("DELETE … FROM … JOIN")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(i)));
    } else if (u == QLatin1String("TRUNCATE")) {
        if (s.size() < 3 || !s[1].word("TABLE")) return unsupported(QStringLiteral("TRUNCATE")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(2)));
    } else if (u == QLatin1String("CREATE")) {
        t->changesSchema = true;
        size_t i = 1;
        m_ddl = !(i < s.size() && s[i].word("VIEW"));
        if (i < s.size() && s[i].word("TABLE")) {
            const Name n = readName(s, i + 1);
            if (n.rest.size() != 1) return fail(QStringLiteral("CREATE TABLE needs a table name")), std::nullopt;
            i += 1 + n.length;
            if (i >= s.size() || !s[i].group() || i + 1 != s.size())
                return unsupported(QStringLiteral("CREATE TABLE without a column list")), std::nullopt;
            out.add(n.schema == QLatin1String("temp") ? QStringLiteral("CREATE TEMP TABLE")
                                                       : QStringLiteral("CREATE TABLE"));
            Name plain = n;
            if (plain.schema == QLatin1String("temp")) plain.schema.clear();
            out.add(emitName(plain));
            QStringList defs;
            for (const Span& d : splitTop(spanOf(s[i].kids), ",")) {
                if (d.empty()) return fail(QStringLiteral("an empty column in CREATE TABLE")), std::nullopt;
                if (isKeyword(d[0])) {
                    defs << expr(d);
                    continue;
                }
                if (pg()) {
                    defs << columnDefinition(d);
                    continue;
                }
                if (!(d[0].kind(TokenKind::Word) || d[0].kind(TokenKind::Ident)) || d.size() < 2 ||
                    !d[1].kind(TokenKind::Word))
                    return fail(QStringLiteral("a column needs a name and a type")), std::nullopt;
                if (unsupportedWords().contains(d[1].tok->upper))
                    return unsupported(d[1].tok->upper), std::nullopt;
                size_t k = 2;
                QString type = d[1].tok->text;
                if (k < d.size() && d[k].group()) {
                    QStringList args;
                    for (const Node& a : d[k].kids) args << (a.tok ? a.tok->text : QString());
                    type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                    ++k;
                }
                if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
                QString def = sqliteIdent(d[0].tok->text) + QLatin1Char(' ') + ddlType(type);
                bool collate = false;
                for (size_t x = k; x < d.size(); ++x)
                    if (d[x].word("COLLATE")) collate = true;
                if (TypeInfo::of(type).text && !collate) def += QStringLiteral(" COLLATE NOCASE");
                if (k < d.size()) def += QLatin1Char(' ') + expr(d.from(k));
                defs << def;
            }
            out.addGlued(QLatin1Char('(') + defs.join(QStringLiteral(", ")) + QLatin1Char(')'));
        } else if (i < s.size() && s[i].word("VIEW")) {
            const Name n = readName(s, i + 1);
            i += 1 + n.length;
            if (n.rest.size() != 1 || i >= s.size() || !s[i].word("AS"))
                return unsupported(QStringLiteral("CREATE VIEW")), std::nullopt;
            out.add(QStringLiteral("CREATE VIEW"));
            out.add(emitName(n));
            out.add(QStringLiteral("AS"));
            out.add(query(s.from(i + 1)));
        } else {
            bool index = false;
            for (size_t k = 1; k < s.size() && k < 4; ++k)
                if (s[k].word("INDEX")) index = true;
            if (!index)
                return unsupported(QStringLiteral("CREATE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                       std::nullopt;
            out.add(QStringLiteral("CREATE"));
            for (size_t k = 1; k < s.size(); ++k) {
                if (s[k].word("CLUSTERED") || s[k].word("NONCLUSTERED")) continue;
                out.add(expr(s.from(k)));
                break;
            }
        }
    } else if (u == QLatin1String("DROP")) {
        t->changesSchema = true;
        if (s.size() < 3 || !(s[1].word("TABLE") || s[1].word("VIEW") || s[1].word("INDEX")))
            return unsupported(QStringLiteral("DROP %1").arg(s.size() > 1 && s[1].tok ? s[1].tok->upper : QString())),
                   std::nullopt;
        out.add(QStringLiteral("DROP"));
        out.add(s[1].tok->upper);
        size_t i = 2;
        if (i + 1 < s.size() && s[i].word("IF") && s[i + 1].word("EXISTS")) {
            out.add(QStringLiteral("IF EXISTS"));
            i += 2;
        }
        const Name n = readName(s, i);
        if (n.rest.size() != 1 || i + n.length != s.size())
            return unsupported(QStringLiteral("DROP of several objects or of %1").arg(n.parts.join('.'))),
                   std::nullopt;
        out.add(emitName(n));
    } else if (u == QLatin1String("ALTER")) {
        t->changesSchema = true;
        m_ddl = true;
        if (s.size() < 5 || !s[1].word("TABLE")) return unsupported(QStringLiteral("ALTER")), std::nullopt;
        const Name n = readName(s, 2);
        size_t i = 2 + n.length;
        out.add(QStringLiteral("ALTER TABLE"));
        out.add(emitName(n));
        if (i < s.size() && s[i].word("ADD")) {
            ++i;
            if (i < s.size() && s[i].word("COLUMN")) ++i;
            if (i + 1 >= s.size()) return fail(QStringLiteral("ALTER TABLE ADD needs a column")), std::nullopt;
            for (size_t k = i; k < s.size(); ++k)
                if (s[k].symbol(",")) return unsupported(QStringLiteral("ALTER TABLE ADD of several columns")), std::nullopt;
            if (pg()) {
                out.add(QStringLiteral("ADD COLUMN ") + columnDefinition(s.from(i)));
                if (!ok()) return std::nullopt;
                return out.text();
            }
            QString type = s[i + 1].tok ? s[i + 1].tok->text : QString();
            size_t k = i + 2;
            if (k < s.size() && s[k].group()) {
                QStringList args;
                for (const Node& a : s[k].kids) args << (a.tok ? a.tok->text : QString());
                type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                ++k;
            }
            if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
            QString def = QStringLiteral("ADD COLUMN ") + sqliteIdent(s[i].tok->text) + QLatin1Char(' ') + ddlType(type);
            if (TypeInfo::of(type).text) def += QStringLiteral(" COLLATE NOCASE");
            out.add(def);
            if (k < s.size()) out.add(expr(s.from(k)));
        } else if (i + 1 < s.size() && s[i].word("DROP") && s[i + 1].word("COLUMN")) {
            out.add(QStringLiteral("DROP COLUMN"));
            out.add(expr(s.from(i + 2)));
        } else if (pg() && i + 1 < s.size() && s[i].word("ALTER") && s[i + 1].word("COLUMN")) {
            return pgAlterColumn(n, s.from(i + 2));
        } else {
            return unsupported(QStringLiteral("ALTER TABLE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                   std::nullopt;
        }
    } else {
        return unsupported(u), std::nullopt;
    }
    if (!ok()) return std::nullopt;
    return out.text();
}

namespace {

// The declared type written at d[1] (with its arguments) and the index after it.
QString declaredAt(Span d, size_t* after) {
    size_t k = 2;
    QString type = d[1].tok ? d[1].tok->text : QString();
    if (k < d.size() && d[k].group()) {
        QStringList args;
        for (const Node& a : d[k].kids) args << (a.tok ? a.tok->text : QString());
        type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
        ++k;
    }
    *after = k;
    return type;
}

}  // namespace

// A column of CREATE TABLE or ALTER TABLE ADD on the server: its type as pgColumnType maps
// it, text compared without case unless a collation is given, a bit default as a boolean.
QString Emitter::columnDefinition(Span d) {
    if (d.size() < 2 || !(d[0].kind(TokenKind::Word) || d[0].kind(TokenKind::Ident)) ||
        !d[1].kind(TokenKind::Word))
        return fail(QStringLiteral("a column needs a name and a type"));
    if (unsupportedWords().contains(d[1].tok->upper)) return unsupported(d[1].tok->upper);
    size_t k = 0;
    const QString type = declaredAt(d, &k);
    const TypeInfo info = TypeInfo::of(type);
    const QString server = db::pgColumnType(type);
    if (!info.known || server.isEmpty()) return unsupported(QStringLiteral("type %1").arg(type));
    Out out;
    out.add(ident(d[0].tok->text) + QLatin1Char(' ') + server);
    bool collate = false;
    for (size_t x = k; x < d.size(); ++x)
        if (d[x].word("COLLATE")) collate = true;
    if (info.text && !collate && server != QLatin1String("uuid"))
        out.add(QStringLiteral("COLLATE zxsystem.zx_nocase"));
    size_t x = k;
    while (x < d.size() && !d[x].word("DEFAULT")) ++x;
    out.add(expr(d.sub(k, x)));
    if (x < d.size()) {
        const size_t b = x + 1 < d.size() && (d[x + 1].symbol("-") || d[x + 1].symbol("+")) ? x + 2 : x + 1;
        const size_t e = primaryEnd(d, b);
        if (e == b) return fail(QStringLiteral("DEFAULT needs a value"));
        const QString value = expr(d.sub(x + 1, e));
        out.add(QStringLiteral("DEFAULT"));
        out.add(info.base == QLatin1String("bit") ? QStringLiteral("CAST(%1 AS boolean)").arg(value) : value);
        out.add(expr(d.from(e)));
    }
    return out.text();
}

std::optional<QString> Emitter::pgUpdate(Span s) {
    const Name n = readName(s, 1);
    if (n.rest.isEmpty()) return fail(QStringLiteral("UPDATE needs a table")), std::nullopt;
    size_t i = 1 + n.length;
    if (i + 1 < s.size() && s[i].word("WITH") && isHintGroup(s[i + 1])) i += 2;
    if (i < s.size() && isHintGroup(s[i])) ++i;
    if (i >= s.size() || !s[i].word("SET")) return unsupported(QStringLiteral("UPDATE without SET")), std::nullopt;
    size_t where = i + 1;
    while (where < s.size() && !s[where].word("WHERE")) ++where;
    const QString table = n.rest.last();
    const QString schema = m_schema ? m_schema->findTable(n.schema, table) : QString();
    QStringList sets;
    for (const Span& a : splitTop(s.sub(i + 1, where), ",")) {
        const Name column = readName(a, 0);
        if (column.rest.isEmpty() || column.length + 1 >= a.size() || !a[column.length].symbol("="))
            return fail(QStringLiteral("UPDATE … SET needs column = value")), std::nullopt;
        const Span value = a.from(column.length + 1);
        const QString name = column.rest.last();
        // The server takes the column without its table.
        const QString stored = schema.isEmpty() ? name : m_schema->storedColumn(schema, table, name);
        const QString type = schema.isEmpty() ? QString() : m_schema->columnType(schema, table, name);
        sets << ident(stored) + QStringLiteral(" = ") + assigned(expr(value), value, type);
    }
    Out out;
    out.add(QStringLiteral("UPDATE"));
    out.add(emitName(n));
    out.add(QStringLiteral("SET"));
    out.add(sets.join(QStringLiteral(", ")));
    if (where < s.size()) out.add(expr(s.from(where)));
    if (!ok()) return std::nullopt;
    return out.text();
}

// ALTER TABLE t ALTER COLUMN c type [NULL | NOT NULL]: the server converts the values and
// refuses the change when one does not fit.
std::optional<QString> Emitter::pgAlterColumn(const Name& table, Span s) {
    if (s.size() < 2) return fail(QStringLiteral("ALTER COLUMN needs a column and a type")), std::nullopt;
    size_t k = 0;
    const QString type = declaredAt(s, &k);
    const TypeInfo info = TypeInfo::of(type);
    const QString server = db::pgColumnType(type);
    if (!info.known || server.isEmpty()) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
    const QString written = s[0].tok ? s[0].tok->text : QString();
    const QString schema = m_schema ? m_schema->findTable(table.schema, table.rest.value(0)) : QString();
    const QString old = schema.isEmpty() ? QString() : m_schema->columnType(schema, table.rest.value(0), written);
    const QString column =
        ident(schema.isEmpty() ? written : m_schema->storedColumn(schema, table.rest.value(0), written));
    QString sql = QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3").arg(emitName(table), column, server);
    if (info.text && server != QLatin1String("uuid")) sql += QStringLiteral(" COLLATE zxsystem.zx_nocase");
    // Values change kind (text, number, bit) only through an explicit conversion.
    const TypeInfo before = TypeInfo::of(old);
    if (!old.isNull() && (before.text != info.text || before.numeric != info.numeric ||
                          (before.base == QLatin1String("bit")) != (info.base == QLatin1String("bit"))))
        sql += QStringLiteral(" USING CAST(%1 AS %2)").arg(column, server);
    if (k + 1 < s.size() && s[k].word("NOT") && s[k + 1].word("NULL"))
        sql += QStringLiteral(", ALTER COLUMN %1 SET NOT NULL").arg(column);
    else if (k < s.size() && s[k].word("NULL"))
        sql += QStringLiteral(", ALTER COLUMN %1 DROP NOT NULL").arg(column);
    else if (k < s.size())
        return unsupported(QStringLiteral("ALTER COLUMN … %1").arg(s[k].tok ? s[k].tok->upper : QStringLiteral("("))), std::nullopt;
    if (!ok()) return std::nullopt;
    return sql;
}

}  // namespace platform::sql::detail
