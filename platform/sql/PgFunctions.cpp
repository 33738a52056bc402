#include "platform/sql/PgFunctions.h"

#include <QCryptographicHash>

#include "host/Quote.h"
#include "platform/db/Connection.h"

namespace platform::sql {

namespace {

// Bodies are not checked when created: getAllSubName_ExtendDefine reads system tables that an
// account copy creates later.
const char kInstall[] = R"SQL(
SET LOCAL check_function_bodies = off;
CREATE SCHEMA IF NOT EXISTS zxsystem;
CREATE COLLATION IF NOT EXISTS zxsystem.zx_nocase
  (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
CREATE COLLATION IF NOT EXISTS zxsystem.zx_pinyin
  (provider = icu, locale = 'zh-u-co-pinyin-ks-level2', deterministic = true);

CREATE OR REPLACE FUNCTION zxsystem.zx_raise(message text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$ BEGIN RAISE EXCEPTION '%', message; END $$;

-- The session's language: SET zx.language = 'en-US'.
CREATE OR REPLACE FUNCTION zxsystem."UDF_GetLocaleID"() RETURNS text LANGUAGE sql STABLE
AS $$ SELECT COALESCE(NULLIF(current_setting('zx.language', true), ''), 'zh-CN') $$;

-- Subsystem codes "SA,ST" as their names in the session's language, else as stored.
CREATE OR REPLACE FUNCTION zxsystem."getAllSubName_ExtendDefine"(codes text) RETURNS text
LANGUAGE sql STABLE AS $$
SELECT string_agg(COALESCE(
    (SELECT COALESCE((SELECT NULLIF(l."Caption", '') FROM zxsystem."zxmenu_business_lang" l
                      WHERE l."MenuID" = p.code COLLATE zxsystem.zx_nocase
                        AND l."localeid" = zxsystem."UDF_GetLocaleID"() LIMIT 1),
                     s."csub_name")
     FROM zxsystem."ua_subsys" s WHERE s."csub_id" = p.code COLLATE zxsystem.zx_nocase LIMIT 1),
    p.code), ',' ORDER BY p.n)
FROM unnest(string_to_array(codes COLLATE "C", ',')) WITH ORDINALITY AS u(code, n),
     LATERAL (SELECT btrim(u.code) AS code, u.n) p $$;

-- A column type as the component declares it and as the host's catalogue describes it.
CREATE OR REPLACE FUNCTION zxsystem.zx_coltype(typid oid, typmod integer, OUT declared text,
  OUT xtype integer, OUT length integer, OUT prec integer, OUT scale integer)
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE m integer := typmod - 4;
BEGIN
  prec := 0; scale := 0;
  CASE typid
    WHEN 1043 THEN
      IF m > 0 THEN declared := 'nvarchar(' || m || ')'; xtype := 231; length := 2 * m;
      ELSE declared := 'text'; xtype := 35; length := 16; END IF;
    WHEN 1042 THEN
      m := greatest(m, 1); declared := 'nchar(' || m || ')'; xtype := 239; length := 2 * m;
    WHEN 25 THEN declared := 'ntext'; xtype := 99; length := 16;
    WHEN 21 THEN declared := 'smallint'; xtype := 52; length := 2; prec := 5;
    WHEN 23 THEN declared := 'int'; xtype := 56; length := 4; prec := 10;
    WHEN 20 THEN declared := 'bigint'; xtype := 127; length := 8; prec := 19;
    WHEN 16 THEN declared := 'bit'; xtype := 104; length := 1; prec := 1;
    WHEN 1700 THEN
      IF typmod >= 4 THEN prec := (m >> 16) & 65535; scale := m & 65535; ELSE prec := 18; END IF;
      IF prec = 19 AND scale = 4 THEN declared := 'money'; xtype := 60; length := 8;
      ELSE
        declared := 'decimal(' || prec || ',' || scale || ')'; xtype := 106;
        length := CASE WHEN prec <= 9 THEN 5 WHEN prec <= 19 THEN 9 WHEN prec <= 28 THEN 13 ELSE 17 END;
      END IF;
    WHEN 701 THEN declared := 'float'; xtype := 62; length := 8; prec := 53;
    WHEN 700 THEN declared := 'real'; xtype := 59; length := 4; prec := 24;
    WHEN 1114, 1184 THEN declared := 'datetime'; xtype := 61; length := 8; prec := 23;
    WHEN 1082 THEN declared := 'date'; xtype := 40; length := 3; prec := 10;
    WHEN 17 THEN declared := 'image'; xtype := 34; length := 16;
    WHEN 2950 THEN declared := 'uniqueidentifier'; xtype := 36; length := 16;
    ELSE declared := format_type(typid, typmod); xtype := 98; length := 0;
  END CASE;
END $$;

-- syscolumns of one schema ('pg_temp': the session's temporary tables).
CREATE OR REPLACE FUNCTION zxsystem.zx_syscolumns(schema_name text)
RETURNS TABLE(id bigint, name text, xtype integer, length integer, colid integer,
              colorder integer, xusertype integer, prec integer, scale integer,
              isnullable integer)
LANGUAGE sql STABLE AS $$
SELECT c.oid::bigint, a.attname::text, t.xtype, t.length,
       (row_number() OVER w)::integer, (row_number() OVER w)::integer, t.xtype, t.prec, t.scale,
       CASE WHEN a.attnotnull THEN 0 ELSE 1 END
FROM pg_catalog.pg_class c
JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped
CROSS JOIN LATERAL zxsystem.zx_coltype(a.atttypid, a.atttypmod) t
WHERE c.relkind IN ('r', 'v', 'p', 'm', 'f')
  AND c.relnamespace = CASE WHEN schema_name = 'pg_temp' THEN pg_catalog.pg_my_temp_schema()
      ELSE (SELECT n.oid FROM pg_catalog.pg_namespace n WHERE n.nspname = schema_name) END
WINDOW w AS (PARTITION BY c.oid ORDER BY a.attnum) $$;

-- sysobjects of one schema: its tables (xtype 'U') and views ('V').
CREATE OR REPLACE FUNCTION zxsystem.zx_sysobjects(schema_name text)
RETURNS TABLE(id bigint, name text, xtype text, type text, uid integer)
LANGUAGE sql STABLE AS $$
SELECT c.oid::bigint, c.relname::text, CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END,
       CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END, 1
FROM pg_catalog.pg_class c
WHERE c.relkind IN ('r', 'v', 'p', 'm', 'f')
  AND c.relnamespace = CASE WHEN schema_name = 'pg_temp' THEN pg_catalog.pg_my_temp_schema()
      ELSE (SELECT n.oid FROM pg_catalog.pg_namespace n WHERE n.nspname = schema_name) END $$;

-- OBJECT_ID('t' | 'dbo.t' | 'db..t' | 'db.dbo.t' | '#t' | 'tempdb..#t'): a database stands
-- for the schema of its name in lower case, none for the session's own schema.
CREATE OR REPLACE FUNCTION zxsystem.zx_object_id(object_name text, object_type text DEFAULT NULL)
RETURNS bigint LANGUAGE plpgsql STABLE AS $$
DECLARE
  parts text[] := '{}'; part text := ''; ch text; closing text;
  i integer := 1; n integer := length(object_name); db text; obj text; ns oid; found bigint;
BEGIN
  IF object_name IS NULL THEN RETURN NULL; END IF;
  WHILE i <= n LOOP
    ch := substr(object_name, i, 1);
    IF ch = '[' OR ch = '"' THEN
      closing := CASE ch WHEN '[' THEN ']' ELSE '"' END;
      i := i + 1;
      WHILE i <= n LOOP
        ch := substr(object_name, i, 1);
        IF ch = closing THEN
          EXIT WHEN substr(object_name, i + 1, 1) IS DISTINCT FROM closing;
          i := i + 1;
        END IF;
        part := part || ch; i := i + 1;
      END LOOP;
    ELSIF ch = '.' THEN
      parts := parts || btrim(part); part := '';
    ELSE
      part := part || ch;
    END IF;
    i := i + 1;
  END LOOP;
  parts := parts || btrim(part);
  IF cardinality(parts) > 3 THEN RETURN NULL; END IF;
  IF cardinality(parts) = 3 THEN db := parts[1]; parts := parts[2:3]; END IF;
  IF cardinality(parts) = 2 THEN
    IF parts[1] <> '' AND lower(parts[1]) <> 'dbo' THEN RETURN NULL; END IF;
    parts := parts[2:2];
  END IF;
  obj := parts[1];
  IF obj IS NULL OR obj = '' THEN RETURN NULL; END IF;
  IF left(obj, 1) = '#' OR lower(db) = 'tempdb' THEN
    IF db IS NOT NULL AND lower(db) <> 'tempdb' THEN RETURN NULL; END IF;
    ns := pg_catalog.pg_my_temp_schema();
  ELSE
    SELECT s.oid INTO ns FROM pg_catalog.pg_namespace s
     WHERE s.nspname = COALESCE(lower(db), (pg_catalog.current_schemas(false))[1]) COLLATE "C";
  END IF;
  SELECT c.oid::bigint INTO found FROM pg_catalog.pg_class c
   WHERE c.relnamespace = ns AND lower(c.relname::text) = lower(obj) COLLATE "C"
     AND c.relkind IN ('r', 'v', 'p', 'm', 'f')
   ORDER BY c.relname::text = obj COLLATE "C" DESC LIMIT 1;
  RETURN found;
END $$;

CREATE OR REPLACE FUNCTION zxsystem.zx_object_name(object_id bigint, database_id integer DEFAULT NULL)
RETURNS text LANGUAGE sql STABLE AS $$
SELECT c.relname::text FROM pg_catalog.pg_class c
WHERE object_id BETWEEN 0 AND 4294967295 AND c.oid = object_id::oid
  AND c.relkind IN ('r', 'v', 'p', 'm', 'f') $$;

-- Money: 4 decimals; as text in the styles 0 "1234.50", 1 "1,234.50", 2 "1234.5000".
CREATE OR REPLACE FUNCTION zxsystem.zx_money(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT round(v, 4) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_money(v double precision) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT round(v::numeric, 4) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_money(v text) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $$ SELECT round(replace(btrim(v), ',', '')::numeric, 4) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_money_text(v numeric, style integer) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN v IS NULL THEN NULL
  WHEN style = 0 THEN to_char(round(v, 2), 'FM999999999999999990.00')
  WHEN style = 1 THEN to_char(round(v, 2), 'FM999,999,999,999,999,990.00')
  WHEN style = 2 THEN to_char(round(v, 4), 'FM999999999999999990.0000')
  ELSE zxsystem.zx_raise('money style ' || style || ' is not known') END $$;

-- Text functions as the dialect has them.
CREATE OR REPLACE FUNCTION zxsystem.zx_len(v text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT length(rtrim(v, ' ')) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_len(v double precision) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT length(CAST(v AS text)) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_datalength(v text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT length(v) * 2 $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_datalength(v bytea) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT octet_length(v) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_datalength(v integer) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN NULL ELSE 4 END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_datalength(v double precision) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN NULL ELSE 8 END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_charindex(find text, within text, start integer DEFAULT 1)
RETURNS integer LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN find IS NULL OR within IS NULL THEN NULL WHEN find = '' THEN 0
  ELSE COALESCE(NULLIF(strpos(lower(substr(within, greatest(start, 1)) COLLATE "und-x-icu"),
                              lower(find COLLATE "und-x-icu")), 0)
                + greatest(start, 1) - 1, 0) END $$;
-- Searches in text of any collation, as SQLite's replace(): letter case counts.
CREATE OR REPLACE FUNCTION zxsystem.zx_replace(v text, find text, replacement text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT replace(v COLLATE "C", find COLLATE "C", replacement COLLATE "C") $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_left(v text, n integer) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN n < 0 THEN zxsystem.zx_raise('LEFT with a negative length') ELSE left(v, n) END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_right(v text, n integer) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN n < 0 THEN zxsystem.zx_raise('RIGHT with a negative length') ELSE right(v, n) END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_isnumeric(v text) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN v COLLATE "C" ~ '^\s*[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?\s*$'
  THEN 1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_isnumeric(v double precision) RETURNS integer
LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN 0 ELSE 1 END $$;

-- LIKE with the dialect's patterns (% _ [set] [^set] [a-z]), letters without regard to case.
CREATE OR REPLACE FUNCTION zxsystem.zx_regex_char(c text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN ascii(c) < 128 AND c COLLATE "C" !~ '[A-Za-z0-9]' THEN '\' || c ELSE c END $$;
-- With an escape character (NULL: none), the character after it outside a set stands for itself.
CREATE OR REPLACE FUNCTION zxsystem.zx_like_regex(pattern text, escape text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  result text := '^'; i integer := 1; n integer := length(pattern); ch text; closing integer;
  j integer;
BEGIN
  IF pattern IS NULL THEN RETURN NULL; END IF;
  IF length(escape) <> 1 THEN RAISE EXCEPTION 'ESCAPE takes one character'; END IF;
  WHILE i <= n LOOP
    ch := substr(pattern, i, 1);
    IF ch = escape AND i < n THEN
      i := i + 1;
      result := result || zxsystem.zx_regex_char(substr(pattern, i, 1));
    ELSIF ch = '%' THEN
      IF right(result, 2) <> '.*' THEN result := result || '.*'; END IF;
    ELSIF ch = '_' THEN
      result := result || '.';
    ELSIF ch = '[' AND strpos(substr(pattern, i + 2), ']') > 0 THEN
      closing := i + 1 + strpos(substr(pattern, i + 2), ']');
      result := result || '[';
      j := i + 1;
      IF substr(pattern, j, 1) = '^' THEN result := result || '^'; j := j + 1; END IF;
      WHILE j < closing LOOP
        IF j + 2 < closing AND substr(pattern, j + 1, 1) = '-' THEN
          result := result || zxsystem.zx_regex_char(substr(pattern, j, 1)) || '-'
                           || zxsystem.zx_regex_char(substr(pattern, j + 2, 1));
          j := j + 3;
        ELSE
          result := result || zxsystem.zx_regex_char(substr(pattern, j, 1));
          j := j + 1;
        END IF;
      END LOOP;
      result := result || ']';
      i := closing;
    ELSE
      result := result || zxsystem.zx_regex_char(ch);
    END IF;
    i := i + 1;
  END LOOP;
  RETURN result || '$';
END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_like_regex(pattern text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT AS $$ SELECT zxsystem.zx_like_regex(pattern, NULL::text) $$;
-- Text in any collation matches in a deterministic one; a number matches as its text.
CREATE OR REPLACE FUNCTION zxsystem.zx_like(v text, pattern text) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$
SELECT v COLLATE "und-x-icu" ~* (zxsystem.zx_like_regex(pattern COLLATE "C") COLLATE "und-x-icu") $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_like(v double precision, pattern text) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT zxsystem.zx_like(CAST(v AS text), pattern) $$;
-- "v LIKE pattern ESCAPE e" as v ~~~ ARRAY[pattern, e]; NULL when either is.
CREATE OR REPLACE FUNCTION zxsystem.zx_like(v text, pattern_escape text[]) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE WHEN pattern_escape[2] IS NOT NULL THEN v COLLATE "und-x-icu" ~*
  (zxsystem.zx_like_regex(pattern_escape[1] COLLATE "C", pattern_escape[2]) COLLATE "und-x-icu") END $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_like(v double precision, pattern_escape text[]) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT zxsystem.zx_like(CAST(v AS text), pattern_escape) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_not_like(v text, pattern_escape text[]) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT NOT zxsystem.zx_like(v, pattern_escape) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_not_like(v double precision, pattern_escape text[]) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT NOT zxsystem.zx_like(CAST(v AS text), pattern_escape) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_not_like(v text, pattern text) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT NOT zxsystem.zx_like(v, pattern) $$;
CREATE OR REPLACE FUNCTION zxsystem.zx_not_like(v double precision, pattern text) RETURNS boolean
LANGUAGE sql IMMUTABLE AS $$ SELECT NOT zxsystem.zx_like(CAST(v AS text), pattern) $$;
DO $$
DECLARE
  op record;
BEGIN
  FOR op IN SELECT o.name, o.arg, r.arg AS rarg, o.fn
             FROM (VALUES ('~~~', 'text', 'zx_like'), ('~~~', 'double precision', 'zx_like'),
                          ('!~~~', 'text', 'zx_not_like'),
                          ('!~~~', 'double precision', 'zx_not_like')) AS o(name, arg, fn)
             CROSS JOIN (VALUES ('text'), ('text[]')) AS r(arg)
  LOOP
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_operator o
                   WHERE o.oprnamespace = 'zxsystem'::regnamespace AND o.oprname = op.name
                     AND o.oprleft = op.arg::regtype AND o.oprright = op.rarg::regtype) THEN
      EXECUTE format('CREATE OPERATOR zxsystem.%s (LEFTARG = %s, RIGHTARG = %s, FUNCTION = zxsystem.%I)',
                     op.name, op.arg, op.rarg, op.fn);
    END IF;
  END LOOP;
END $$;
)SQL";

}  // namespace

QString pgFunctionsStamp() {
    static const QString stamp =
        QStringLiteral("zx functions ") +
        QString::fromLatin1(QCryptographicHash::hash(kInstall, QCryptographicHash::Sha256).toHex());
    return stamp;
}

bool installPgFunctions(db::Connection& db, QString* error) {
    db::Transaction transaction(db, error);
    if (!transaction.ok()) return false;
    // Clients installing at once would meet each other's half-replaced functions.
    if (!db.exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('zxsystem functions'))"), error) ||
        !db.exec(QString::fromUtf8(kInstall), error) ||
        !db.exec(QStringLiteral("COMMENT ON SCHEMA zxsystem IS '%1'")
                     .arg(host::sqlValue(pgFunctionsStamp())),
                 error))
        return false;
    return transaction.commit(error);
}

}  // namespace platform::sql
