-- Fills a database that holds db/sql/enterprise.sql and nothing else with a
-- factory of a chosen size, to measure the program's lists and reports against
-- a database the size of a big plant. Everything is generated inside the server
-- in a few set-based statements. Run it through bench/generate-data, or:
--
--   psql -v ON_ERROR_STOP=1 [-v persons=N] [-v products=N] [-v types=N]
--        [-v operations=N] [-v records=N] [-v years=N] -f bench/generate-data.sql
--
-- Production records are spread evenly over the given number of years up to
-- today; the hours ledger is built from them at the end, as the month rebuild
-- would build it. Values that look random come from hashes of the row number,
-- so a scale always gives the same data relative to the day of loading.

\set ON_ERROR_STOP 1
\if :{?persons}
\else
  \set persons 10000
\endif
\if :{?products}
\else
  \set products 500
\endif
\if :{?types}
\else
  \set types 40
\endif
\if :{?operations}
\else
  \set operations 5000
\endif
\if :{?records}
\else
  \set records 5000000
\endif
\if :{?years}
\else
  \set years 5
\endif

\echo Generating :persons persons, :products products, :types operation types, :operations operations, :records records over :years years
BEGIN;
SET LOCAL work_mem = '256MB';
SET LOCAL maintenance_work_mem = '512MB';
SET LOCAL synchronous_commit = off;

-- Records refer to the generated persons and operations only, and the ledger
-- is built from the generated records alone; on a database that already has
-- records, that ledger would not be the whole truth.
DO $$
BEGIN
  IF EXISTS (SELECT 1 FROM accounts_dep.smena) OR EXISTS (SELECT 1 FROM accounts_dep.h_tabel) THEN
    RAISE EXCEPTION 'accounts_dep.smena or accounts_dep.h_tabel already has rows: load the bench into a database holding only enterprise.sql';
  END IF;
END
$$;

SELECT :persons > 0 AND :products > 0 AND :types > 0 AND :operations > 0 AND :records >= 0 AND :years > 0
       AND :operations <= :products::bigint * :types * 2 AS scale_ok,
       current_date - (current_date - make_interval(years => :years))::date AS days,
       greatest(1, least(:persons, (:persons * 3 + 19) / 20)) AS active \gset
\if :scale_ok
\else
  \echo 'persons, products, types, operations and years must be positive, records not negative,'
  \echo 'and operations at most products * types * 2 (no two operations share type, product kind and product)'
  DO $$ BEGIN RAISE EXCEPTION 'scale out of range'; END $$;
\endif

-- Shops and product classes, unless the enterprise already has them.
INSERT INTO cmn_department.department (id_branch, s_code, s_caption, s_description)
SELECT 1, code, caption, ''
  FROM (VALUES ('10', 'Литейный цех'), ('20', 'Механический цех'), ('30', 'Участок покраски'),
               ('40', 'Сборочный цех'), ('50', 'Участок упаковки')) AS d(code, caption)
 WHERE NOT EXISTS (SELECT 1 FROM cmn_department.department);

INSERT INTO cmn_classifier.item (id_classifier, id_level, s_code, s_caption, s_description, b_excluded)
SELECT 1, 2, code, caption, '', 'false'
  FROM (VALUES ('01.01', 'Радиаторы отопления'), ('01.02', 'Конвекторы'), ('01.03', 'Полотенцесушители'),
               ('01.04', 'Кронштейны и крепёж'), ('01.05', 'Комплектующие и заготовки')) AS c(code, caption)
 WHERE NOT EXISTS (SELECT 1 FROM cmn_classifier.item WHERE id_level = 2);

\timing on
\echo persons
-- Persons: names combined from lists of surnames, first names and patronymics;
-- the database numbers them and gives each its id as code.
CREATE TEMPORARY TABLE bench_person (n integer PRIMARY KEY, id integer) ON COMMIT DROP;
WITH department AS (
  SELECT array_agg(s_caption ORDER BY id) AS captions FROM cmn_department.department
), inserted AS (
  INSERT INTO cmn_contractor.person (s_caption, s_staffpos_hl)
  SELECT (ARRAY['Иванов','Смирнов','Кузнецов','Попов','Васильев','Петров','Соколов','Михайлов',
                'Новиков','Фёдоров','Морозов','Волков','Алексеев','Лебедев','Семёнов','Егоров',
                'Павлов','Козлов','Степанов','Николаев','Орлов','Андреев','Макаров','Никитин',
                'Захаров','Зайцев','Соловьёв','Борисов','Яковлев','Григорьев','Романов','Воробьёв',
                'Сергеев','Кузьмин','Фролов','Александров','Дмитриев','Королёв','Гусев','Киселёв',
                'Ильин','Максимов','Поляков','Сорокин','Виноградов','Ковалёв','Белов','Медведев',
                'Антонов','Тарасов','Жуков','Баранов','Филиппов','Комаров','Давыдов','Беляев',
                'Герасимов','Богданов','Осипов','Ёлкин'])[1 + n % 60]
         || ' ' ||
         (ARRAY['Александр','Алексей','Андрей','Антон','Аркадий','Артём','Борис','Вадим',
                'Валентин','Валерий','Василий','Виктор','Виталий','Владимир','Геннадий','Георгий',
                'Григорий','Денис','Дмитрий','Евгений','Егор','Иван','Игорь','Илья',
                'Кирилл','Константин','Леонид','Максим','Михаил','Никита','Николай','Олег',
                'Павел','Пётр','Роман','Семён','Сергей','Станислав','Степан','Юрий'])[1 + (n / 60) % 40]
         || ' ' ||
         (ARRAY['Александрович','Алексеевич','Андреевич','Борисович','Васильевич','Викторович',
                'Владимирович','Геннадьевич','Григорьевич','Дмитриевич','Евгеньевич','Иванович',
                'Игоревич','Ильич','Константинович','Леонидович','Максимович','Михайлович',
                'Николаевич','Олегович','Павлович','Петрович','Романович','Семёнович',
                'Сергеевич','Станиславович','Степанович','Фёдорович','Юрьевич','Ярославович'])[1 + (n / 2400) % 30],
         department.captions[1 + n % cardinality(department.captions)]
    FROM generate_series(1, :persons) AS n, department
   ORDER BY n
  RETURNING id
)
INSERT INTO bench_person SELECT row_number() OVER (ORDER BY id), id FROM inserted;

\echo products
-- Products of the existing classes, with a full name and a rate.
CREATE TEMPORARY TABLE bench_product (n integer PRIMARY KEY, id numeric(15,0), factor numeric) ON COMMIT DROP;
WITH class AS (
  SELECT array_agg(id ORDER BY id) AS ids FROM cmn_classifier.item WHERE id_level = 2
), inserted AS (
  INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_name, s_description, id_msm_bs, massa, id_class_item)
  SELECT 'ИЗД-' || lpad(n::text, 5, '0'),
         (ARRAY['Радиатор','Конвектор','Полотенцесушитель','Кронштейн','Секция','Панель','Коллектор','Пробка'])[1 + n % 8]
           || ' исполнение ' || n,
         '', 6, (1 + n % 20) * 0.05, class.ids[1 + n % cardinality(class.ids)]
    FROM generate_series(1, :products) AS n, class
   ORDER BY n
  RETURNING id
)
INSERT INTO bench_product
SELECT row_number() OVER (ORDER BY id), id, 0.4 + ((hashint8extended(id::bigint, 7) & 9223372036854775807) % 16) * 0.1
  FROM inserted;

\echo operation types
-- Operation types: the factory's kinds of work, numbered once the list runs out;
-- three of every fourteen are paint work.
CREATE TEMPORARY TABLE bench_type (n integer PRIMARY KEY, id integer, paint boolean, rate numeric, norma integer) ON COMMIT DROP;
WITH kind(k, vid, rate, norma) AS (
  VALUES (1, 'Литьё под давлением', 4.50, 120), (2, 'Обрубка и зачистка', 1.20, 200),
         (3, 'Токарная обработка', 2.35, 80), (4, 'Фрезерование', 3.10, 60),
         (5, 'Сверловка', 0.85, 300), (6, 'Сварка', 5.40, 40),
         (7, 'Покраска', 6.75, 100), (8, 'КРАСКА порошковая', 8.20, 90),
         (9, 'Подкраска сколов', 1.50, 150), (10, 'Сборка', 12.00, 30),
         (11, 'Опрессовка', 2.80, 120), (12, 'Упаковка', 0.95, 250),
         (13, 'Контроль ОТК', 0.60, 400), (14, 'Шлифовка', 1.75, 150)
), wanted AS (
  SELECT n, CASE WHEN n <= 14 THEN kind.vid ELSE kind.vid || ' ' || (1 + (n - 1) / 14) END AS vid,
         kind.rate, kind.norma
    FROM generate_series(1, :types) AS n JOIN kind ON kind.k = 1 + (n - 1) % 14
), inserted AS (
  INSERT INTO accounts_dep.vid_oper (vid) SELECT vid FROM wanted ORDER BY n RETURNING id, vid
)
INSERT INTO bench_type
SELECT w.n, i.id, upper(i.vid) LIKE '%КРАСКА%', w.rate, w.norma
  FROM inserted i JOIN wanted w ON w.vid = i.vid;

\echo operations
-- Operations: each product in turn gets the next type (starting at a type of
-- its own), first as finished products, then as blanks, so no two operations
-- share type, kind and product.
CREATE TEMPORARY TABLE bench_oper (n integer PRIMARY KEY, id integer, i_id integer,
                                   paint boolean, base numeric, norma integer) ON COMMIT DROP;
WITH wanted AS (
  SELECT k AS n, p.id AS i_id, p.factor, t.id AS vid, t.paint, t.rate, t.norma,
         ((k - 1) / (:products::bigint * :types)) % 2 AS naimen
    FROM generate_series(1, :operations) AS k
    JOIN bench_product p ON p.n = 1 + (k - 1) % :products
    JOIN bench_type t ON t.n = 1 + ((k - 1) / :products + p.n) % :types
), inserted AS (
  INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
  SELECT vid, naimen, i_id, 0 FROM wanted ORDER BY n
  RETURNING id, vid, naimen, i_id
)
INSERT INTO bench_oper
SELECT w.n, i.id, i.i_id, w.paint, round(w.rate * w.factor, 2), w.norma
  FROM inserted i JOIN wanted w ON w.vid = i.vid AND w.naimen = i.naimen AND w.i_id = i.i_id;

\echo norms
-- One to three norm entries each; the first holds the base price.
INSERT INTO accounts_dep.norm (o_id, norma, price, prize)
SELECT o.id, round(o.norma * (1 + 0.2 * (k - 1)))::integer,
       (o.base + 0.125 * (k - 1))::double precision, 5 * (k - 1)
  FROM bench_oper o
 CROSS JOIN LATERAL generate_series(1, 1 + ((hashint8extended(o.id::bigint, 3) & 9223372036854775807) % 3)::integer) AS k
 ORDER BY o.id, k;

\echo production records
-- Production records, in date order, spread evenly over the days. At any time
-- about 15 % of the persons are employed (a window that slides through the
-- list of persons over the years), so a working person has a record or two a
-- day, mostly in the shift they belong to (half of them the first, 30 % the
-- second, 20 % the third), with overtime on 8 % of records. Prices follow the
-- record editor's rule (base price doubled on a day off, times 1.2 on shift 3,
-- 1.5 on overtime); colours only on paint work; records of the last three days
-- are mostly still open.
INSERT INTO accounts_dep.smena
       (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, vvod,
        prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
SELECT r.data, r.smena, p.id, o.i_id, o.id,
       round(o.base * CASE WHEN extract(isodow FROM r.data) >= 6 THEN 2 ELSE 1 END
                    * CASE r.smena WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END, 4)::double precision,
       r.kol_vo,
       CASE WHEN r.b % 10 = 0 THEN least(r.kol_vo, 1 + (r.b / 10) % 3) ELSE 0 END,
       CASE WHEN NOT o.paint THEN 0
            WHEN (r.b / 30) % 4 = 0 THEN 1
            ELSE (ARRAY[9016, 9010, 7016, 3005, 5005, 8017, 9005])[1 + ((r.b / 120) % 7)::integer] END,
       CASE WHEN r.smena = 4 THEN 1 + (r.b / 840) % 4 ELSE 1 + (r.b / 840) % 8 END,
       CASE
         WHEN current_date - r.data < 3 THEN CASE WHEN (r.b / 6720) % 4 = 0 THEN 'ok' ELSE 'no' END
         ELSE CASE (r.b / 6720) % 200
                WHEN 0 THEN NULL WHEN 1 THEN 'ta' WHEN 2 THEN 'ta' WHEN 3 THEN 'no'
                ELSE CASE WHEN (r.b / 6720) % 7 = 0 THEN 'да' ELSE 'ok' END
              END
       END,
       r.data::timestamp,
       0, 0, 0, 0, 0, 0
  FROM (
    SELECT current_date - :days + 1 + d.i AS data,
           CASE WHEN x.a % 100 < 88 THEN w.shift
                WHEN x.a % 100 < 96 THEN 4
                ELSE 1 + w.shift % 3 END AS smena,
           w.person,
           1 + (x.b / 1344000) % :operations AS oper,
           (1 + (x.a / 100 / :active) % 200)::integer AS kol_vo,
           x.b
      FROM generate_series(0, :records - 1) AS n
     CROSS JOIN LATERAL (SELECT (hashint8extended(n, 11) & 9223372036854775807) AS a,
                                (hashint8extended(n, 23) & 9223372036854775807) AS b) AS x
     CROSS JOIN LATERAL (SELECT (n::bigint * :days / greatest(:records, 1))::integer AS i) AS d
     CROSS JOIN LATERAL (
       SELECT 1 + (d.i::bigint * (:persons - :active) / greatest(:days - 1, 1))::integer
                + ((x.a / 100) % :active)::integer AS person
     ) AS pw
     CROSS JOIN LATERAL (
       SELECT pw.person, CASE WHEN pw.person % 20 < 10 THEN 1 WHEN pw.person % 20 < 16 THEN 2 ELSE 3 END AS shift
     ) AS w
  ) AS r
  JOIN bench_person p ON p.n = r.person
  JOIN bench_oper o ON o.n = r.oper;

\echo hours ledger
-- The hours ledger: per worker, shift and month, each day's summed hours.
INSERT INTO accounts_dep.h_tabel
       (w_id, smena, month, year,
        d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, d14, d15, d16,
        d17, d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, d29, d30, d31)
SELECT w_id, smena, extract(month FROM data), extract(year FROM data),
       coalesce(sum(hours) FILTER (WHERE day = 1), 0),  coalesce(sum(hours) FILTER (WHERE day = 2), 0),
       coalesce(sum(hours) FILTER (WHERE day = 3), 0),  coalesce(sum(hours) FILTER (WHERE day = 4), 0),
       coalesce(sum(hours) FILTER (WHERE day = 5), 0),  coalesce(sum(hours) FILTER (WHERE day = 6), 0),
       coalesce(sum(hours) FILTER (WHERE day = 7), 0),  coalesce(sum(hours) FILTER (WHERE day = 8), 0),
       coalesce(sum(hours) FILTER (WHERE day = 9), 0),  coalesce(sum(hours) FILTER (WHERE day = 10), 0),
       coalesce(sum(hours) FILTER (WHERE day = 11), 0), coalesce(sum(hours) FILTER (WHERE day = 12), 0),
       coalesce(sum(hours) FILTER (WHERE day = 13), 0), coalesce(sum(hours) FILTER (WHERE day = 14), 0),
       coalesce(sum(hours) FILTER (WHERE day = 15), 0), coalesce(sum(hours) FILTER (WHERE day = 16), 0),
       coalesce(sum(hours) FILTER (WHERE day = 17), 0), coalesce(sum(hours) FILTER (WHERE day = 18), 0),
       coalesce(sum(hours) FILTER (WHERE day = 19), 0), coalesce(sum(hours) FILTER (WHERE day = 20), 0),
       coalesce(sum(hours) FILTER (WHERE day = 21), 0), coalesce(sum(hours) FILTER (WHERE day = 22), 0),
       coalesce(sum(hours) FILTER (WHERE day = 23), 0), coalesce(sum(hours) FILTER (WHERE day = 24), 0),
       coalesce(sum(hours) FILTER (WHERE day = 25), 0), coalesce(sum(hours) FILTER (WHERE day = 26), 0),
       coalesce(sum(hours) FILTER (WHERE day = 27), 0), coalesce(sum(hours) FILTER (WHERE day = 28), 0),
       coalesce(sum(hours) FILTER (WHERE day = 29), 0), coalesce(sum(hours) FILTER (WHERE day = 30), 0),
       coalesce(sum(hours) FILTER (WHERE day = 31), 0)
  FROM (SELECT w_id, smena, data, extract(day FROM data)::integer AS day, sum(time) AS hours
          FROM accounts_dep.smena
         GROUP BY w_id, smena, data) AS per_day
 GROUP BY w_id, smena, extract(year FROM data), extract(month FROM data)
 -- in key order, so that the ledger's key index is filled from left to right
 ORDER BY w_id, smena, extract(year FROM data), extract(month FROM data);

\echo commit
COMMIT;

\echo vacuum and analyze
-- Fresh statistics and visibility map, so that the first lists already get
-- the plans they will get in use.
VACUUM (ANALYZE) accounts_dep.smena, accounts_dep.h_tabel, accounts_dep.oper, accounts_dep.norm,
                 accounts_dep.vid_oper, cmn_contractor.person, cmn_gds_and_srv.gds_and_srv;
