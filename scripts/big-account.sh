#!/usr/bin/env bash
# Makes a demo account with 100,000 more inventory items for trying the desk on a large
# catalogue: every fifth takes its values from a related archive, the types go round text,
# date, integer and number. The rows go in with one statement through the desk's own `sql`
# command, as the benchmarks make theirs.
#   scripts/big-account.sh <path to userdef> [account, default 001]
# The account is made anew (init-demo --force) in the data folder that binary uses.
set -euo pipefail
desk=${1:?usage: big-account.sh <path to userdef> [account]}
account=${2:-001}
"$desk" init-demo "$account" --force
digits="(SELECT 0 AS d UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4
  UNION ALL SELECT 5 UNION ALL SELECT 6 UNION ALL SELECT 7 UNION ALL SELECT 8 UNION ALL SELECT 9)"
n="(a.d*10000+b.d*1000+c.d*100+e.d*10+f.d+1)"
"$desk" sql "$account" "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,
  bInput,bArchive,iDataSource,cRelArchive,cRelField,cDicDbName)
  SELECT 100000+$n, '存货', '扩展自定义项'+CAST(1000+$n AS varchar(10)),
    CASE $n % 5 WHEN 1 THEN '日期' WHEN 2 THEN '整型' WHEN 3 THEN '数字' ELSE '文本' END,
    60, '批量项目'+CAST($n AS varchar(10)), 60, $n % 2, CASE WHEN $n % 3 = 0 THEN 1 ELSE 0 END,
    CASE WHEN $n % 5 = 0 THEN 1 ELSE 0 END,
    CASE WHEN $n % 5 = 0 THEN CASE $n % 4 WHEN 0 THEN 'Person' WHEN 1 THEN 'Warehouse'
      WHEN 2 THEN 'Customer' ELSE '[UR0001]' END END,
    CASE WHEN $n % 5 = 0 THEN CASE $n % 4 WHEN 0 THEN 'cPersonName' WHEN 1 THEN 'cWhName'
      WHEN 2 THEN 'cCusName' ELSE 'cStageName' END END,
    'cBig'+CAST($n AS varchar(10))
  FROM $digits a, $digits b, $digits c, $digits e, $digits f"
"$desk" sql "$account" "select cClass, count(*) as items from UserDef_Base group by cClass"
