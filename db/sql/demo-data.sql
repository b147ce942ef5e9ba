-- A small radiator factory for the demo and for trying the program by hand:
-- five shops, 40 workers, 30 products in five classes, operation types with
-- their operations and norms, and production records of last month and of this
-- month up to today, with the hours ledger that those records give.
--
-- Load it after enterprise.sql into the same, otherwise empty, database:
--
--   psql -v ON_ERROR_STOP=1 -f db/sql/enterprise.sql -f db/sql/demo-data.sql
--
-- Dates are counted back from the day of loading, so the program opens on a
-- day with records (today always has records in shift 1). The choices that look
-- random come from hashes of the row's own numbers: the same day of loading
-- gives the same factory.

BEGIN;

-- Workers and operation types below are referred to by the ids a fresh
-- database gives them (1, 2, ... in the order of insertion).
DO $$
BEGIN
  IF EXISTS (SELECT 1 FROM cmn_contractor.person) OR EXISTS (SELECT 1 FROM accounts_dep.vid_oper)
     OR EXISTS (SELECT 1 FROM cmn_gds_and_srv.gds_and_srv) OR EXISTS (SELECT 1 FROM accounts_dep.smena) THEN
    RAISE EXCEPTION 'the demo data goes into a database that holds enterprise.sql and nothing else';
  END IF;
END
$$;

-- A whole number from 0 to 2^32-1 drawn from the text's hash.
CREATE FUNCTION pg_temp.pick(t text) RETURNS bigint
LANGUAGE sql IMMUTABLE AS $$ SELECT hashtext(t)::bigint + 2147483648 $$;

-- ---------------------------------------------------------------------------
-- Enterprise reference data: product classes, shops, positions, roles
-- ---------------------------------------------------------------------------

INSERT INTO cmn_classifier.item
       (id, id_classifier, id_level, s_code, s_caption, s_description, b_excluded, d_excluded_date, id_parent)
VALUES (1, 1, 1, '01',    'Продукция завода',          'Классификатор выпускаемой продукции', 'false', NULL, NULL),
       (2, 1, 2, '01.01', 'Радиаторы отопления',       'Алюминиевые, биметаллические и стальные', 'false', NULL, 1),
       (3, 1, 2, '01.02', 'Конвекторы',                'Внутрипольные и настенные', 'false', NULL, 1),
       (4, 1, 2, '01.03', 'Полотенцесушители',         'Водяные и электрические', 'false', NULL, 1),
       (5, 1, 2, '01.04', 'Кронштейны и крепёж',       '', 'false', NULL, 1),
       (6, 1, 2, '01.05', 'Комплектующие и заготовки', 'Детали собственного изготовления', 'false', NULL, 1),
       (7, 1, 2, '01.06', 'Чугунные радиаторы',        'Сняты с производства', 'true ', date '2019-12-31', 1);

INSERT INTO cmn_department.department (id, id_branch, id_parent, s_code, s_caption, s_description)
VALUES (1, 1, NULL, '10', 'Литейный цех',      'Литьё секций и деталей'),
       (2, 1, NULL, '20', 'Механический цех',  'Токарная, фрезерная и сверлильная обработка'),
       (3, 1, NULL, '30', 'Участок покраски',  'Порошковая и жидкая покраска'),
       (4, 1, NULL, '40', 'Сборочный цех',     'Сборка, сварка и опрессовка'),
       (5, 1, NULL, '50', 'Участок упаковки',  'Упаковка и контроль ОТК');

INSERT INTO hrms_staffpos.staffpos (id, id_department, s_code, s_caption, d_begin, d_end, s_description)
VALUES (1,  1, '101', 'Литейщик',               date '2010-01-01', NULL, ''),
       (2,  1, '102', 'Обрубщик',               date '2010-01-01', NULL, ''),
       (3,  2, '201', 'Токарь',                 date '2010-01-01', NULL, ''),
       (4,  2, '202', 'Фрезеровщик',            date '2010-01-01', NULL, ''),
       (5,  3, '301', 'Маляр',                  date '2010-01-01', NULL, ''),
       (6,  4, '401', 'Сборщик',                date '2010-01-01', NULL, ''),
       (7,  4, '402', 'Электросварщик',         date '2012-03-01', NULL, ''),
       (8,  5, '501', 'Упаковщик',              date '2010-01-01', NULL, ''),
       (9,  5, '502', 'Контролёр ОТК',          date '2010-01-01', NULL, ''),
       (10, 4, '403', 'Мастер участка',         date '2010-01-01', NULL, ''),
       (11, 1, '103', 'Стерженщик',             date '2010-01-01', date '2018-06-30', 'Должность упразднена');

INSERT INTO adm_role.roles (id, s_name, s_caption, d_begin, d_end, b_active)
VALUES (1, 'admin',    'Администратор',    date '2010-01-01', NULL, 'true '),
       (2, 'master',   'Мастер смены',     date '2010-01-01', NULL, 'true '),
       (3, 'sklad',    'Кладовщик склада', date '2010-01-01', NULL, 'true '),
       (4, 'operator', 'Оператор табеля',  date '2010-01-01', NULL, 'true '),
       (5, 'guest',    'Гость',            date '2010-01-01', date '2015-01-01', 'false');

-- The rows above came with their own ids; the sequences carry on after them.
DO $$
BEGIN
  PERFORM setval('cmn_classifier.item_id_seq', 7);
  PERFORM setval('cmn_department.department_id_seq', 5);
  PERFORM setval('hrms_staffpos.staffpos_id_seq', 11);
  PERFORM setval('adm_role.roles_id_seq', 5);
END
$$;

-- ---------------------------------------------------------------------------
-- Workers, entered the way the workers editor enters them: through
-- accounts_dep.person, with the shop's caption as the position text. Their
-- person ids are 1 to 40 in this order and their codes equal the ids.
-- The list holds an apostrophe (О'Брайен) and names starting with Е and Ё,
-- which the ru-RU collation sorts together.
-- ---------------------------------------------------------------------------

CREATE TEMPORARY TABLE demo_worker (n integer PRIMARY KEY, fio text, department integer);
INSERT INTO demo_worker VALUES
  (1,  'Иванов Сергей Петрович',          1), (2,  'Петрова Анна Викторовна',         1),
  (3,  'Смирнов Алексей Николаевич',      1), (4,  'Кузнецов Дмитрий Андреевич',      1),
  (5,  'Попов Игорь Владимирович',        1), (6,  'Васильева Елена Сергеевна',       1),
  (7,  'Соколов Михаил Юрьевич',          1), (8,  'Михайлов Андрей Геннадьевич',     1),
  (9,  'Новиков Павел Олегович',          2), (10, 'Фёдоров Николай Иванович',        2),
  (11, 'Морозова Ольга Александровна',    2), (12, 'Волков Артём Сергеевич',          2),
  (13, 'Алексеев Виктор Павлович',        2), (14, 'Лебедев Роман Евгеньевич',        2),
  (15, 'Семёнов Константин Игоревич',     2), (16, 'Егоров Евгений Павлович',         2),
  (17, 'Ёлкин Пётр Семёнович',            3), (18, 'О''Брайен Патрик Иванович',       3),
  (19, 'Павлов Григорий Степанович',      3), (20, 'Козлова Татьяна Михайловна',      3),
  (21, 'Степанов Владимир Александрович', 3), (22, 'Николаев Юрий Борисович',         3),
  (23, 'Орлов Станислав Викторович',      3), (24, 'Андреев Максим Денисович',        4),
  (25, 'Макаров Илья Романович',          4), (26, 'Никитина Светлана Олеговна',      4),
  (27, 'Захаров Антон Валерьевич',        4), (28, 'Зайцев Кирилл Дмитриевич',        4),
  (29, 'Соловьёв Геннадий Анатольевич',   4), (30, 'Борисова Людмила Петровна',       4),
  (31, 'Яковлев Олег Витальевич',         4), (32, 'Григорьев Вадим Сергеевич',       4),
  (33, 'Романова Наталья Ивановна',       5), (34, 'Воробьёв Денис Алексеевич',       5),
  (35, 'Сергеев Фёдор Ильич',             5), (36, 'Кузьмин Леонид Аркадьевич',       5),
  (37, 'Ершов Валентин Николаевич',       4), (38, 'Ефимова Галина Васильевна',       5),
  (39, 'Жуков Аркадий Львович',           2), (40, 'Эмиров Руслан Маратович',         1);

INSERT INTO accounts_dep.person (fio, s_staffpos_hl)
SELECT w.fio, d.s_caption
  FROM demo_worker w JOIN cmn_department.department d ON d.id = w.department
 ORDER BY w.n;

-- ---------------------------------------------------------------------------
-- Products, written to the ERP's goods the way the product editor does, plus
-- a full name where the ERP has one. The last one has none, so its name in the
-- reports is its grade.
-- ---------------------------------------------------------------------------

INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_name, s_description, id_msm_bs, massa, id_class_item)
SELECT marka, nom, '', 6, massa, class
  FROM (VALUES
    (1,  'РА-350/80',    'Радиатор алюминиевый 350/80',          0.1,    2),
    (2,  'РА-500/80',    'Радиатор алюминиевый 500/80',          0.1,    2),
    (3,  'РА-500/100',   'Радиатор алюминиевый 500/100',         0.125,  2),
    (4,  'РБ-350/80',    'Радиатор биметаллический 350/80',      0.1,    2),
    (5,  'РБ-500/80',    'Радиатор биметаллический 500/80',      0.125,  2),
    (6,  'РБ-500/100',   'Радиатор биметаллический 500/100',     0.125,  2),
    (7,  'РС-22 300',    'Радиатор стальной панельный 22/300',   1,      2),
    (8,  'РС-22 500',    'Радиатор стальной панельный 22/500',   1,      2),
    (9,  'КВ-1000',      'Конвектор внутрипольный 1000',         1,      3),
    (10, 'КВ-1500',      'Конвектор внутрипольный 1500',         1,      3),
    (11, 'КН-800',       'Конвектор настенный 800',              0.5,    3),
    (12, 'КН-1200',      'Конвектор настенный 1200',             0.5,    3),
    (13, 'ПС-Л 500х600', 'Полотенцесушитель лесенка 500х600',    0.5,    4),
    (14, 'ПС-Л 500х800', 'Полотенцесушитель лесенка 500х800',    0.5,    4),
    (15, 'ПС-М 600х500', 'Полотенцесушитель М-образный 600х500', 0.5,    4),
    (16, 'ПС-П 600х500', 'Полотенцесушитель П-образный 600х500', 0.5,    4),
    (17, 'ПСЭ-600',      'Полотенцесушитель электрический 600',  1,      4),
    (18, 'КР-У',         'Кронштейн угловой',                    0.02,   5),
    (19, 'КР-Ш 150',     'Кронштейн штыревой 150 мм',            0.02,   5),
    (20, 'КР-Ш 200',     'Кронштейн штыревой 200 мм',            0.025,  5),
    (21, 'КР-П',         'Кронштейн потолочный',                 0.05,   5),
    (22, 'ДП-10',        'Дюбель-пробка 10 мм',                  0.001,  5),
    (23, 'СЕК-350',      'Секция литая 350',                     0.05,   6),
    (24, 'СЕК-500',      'Секция литая 500',                     0.05,   6),
    (25, 'НИП-1"',       'Ниппель межсекционный 1"',             0.002,  6),
    (26, 'ПР-1/2',       'Пробка радиаторная 1/2"',              0.004,  6),
    (27, 'ПР-3/4',       'Пробка радиаторная 3/4"',              0.004,  6),
    (28, 'КОЛ-500',      'Коллектор стальной 500',               0.1,    6),
    (29, 'ПАН-500',      'Панель стальная 500',                  0.25,   6),
    (30, 'Заглушка Ду15', NULL,                                  0.003,  6)
  ) AS p(n, marka, nom, massa, class)
 ORDER BY n;

-- ---------------------------------------------------------------------------
-- Operation types, each worked by one shop; three of them are paint work
-- (their names contain "краска" in some letter case), one has no operations.
-- ---------------------------------------------------------------------------

CREATE TEMPORARY TABLE demo_type (id integer PRIMARY KEY, vid text, department integer,
                                  rate numeric, norma integer, paint boolean);
INSERT INTO demo_type VALUES
  (1,  'Литьё под давлением',  1, 4.50,  120, false),
  (2,  'Обрубка и зачистка',   1, 1.20,  200, false),
  (3,  'Токарная обработка',   2, 2.35,   80, false),
  (4,  'Фрезерование',         2, 3.10,   60, false),
  (5,  'Сверловка',            2, 0.85,  300, false),
  (6,  'Сварка',               4, 5.40,   40, false),
  (7,  'Покраска',             3, 6.75,  100, true),
  (8,  'КРАСКА порошковая',    3, 8.20,   90, true),
  (9,  'Подкраска сколов',     3, 1.50,  150, true),
  (10, 'Сборка',               4, 12.00,  30, false),
  (11, 'Опрессовка',           4, 2.80,  120, false),
  (12, 'Упаковка',             5, 0.95,  250, false),
  (13, 'Контроль ОТК',         5, 0.60,  400, false),
  (14, 'Шлифовка',             2, 1.75,  150, false);

INSERT INTO accounts_dep.vid_oper (vid) SELECT vid FROM demo_type ORDER BY id;

-- Which operations each product class goes through, and for which product
-- kind (0 finished products, 1 blanks).
CREATE TEMPORARY TABLE demo_route (class integer, type integer, naimen smallint);
INSERT INTO demo_route VALUES
  (2, 1, 1), (2, 2, 1), (2, 3, 1), (2, 11, 0), (2, 10, 0), (2, 7, 0), (2, 8, 0), (2, 9, 0), (2, 12, 0), (2, 13, 0),
  (3, 4, 1), (3, 6, 1), (3, 10, 0), (3, 8, 0), (3, 12, 0), (3, 13, 0),
  (4, 6, 1), (4, 3, 1), (4, 7, 1), (4, 11, 0), (4, 7, 0), (4, 8, 0), (4, 9, 0), (4, 12, 0),
  (5, 4, 1), (5, 5, 1), (5, 8, 1), (5, 7, 0), (5, 12, 0),
  (6, 1, 1), (6, 2, 1), (6, 3, 1), (6, 5, 1), (6, 7, 1), (6, 6, 1);

-- Price factor of a product: bigger products pay more per piece.
CREATE TEMPORARY TABLE demo_product_factor AS
SELECT g.id, CASE g.id_class_item WHEN 2 THEN 1.4 WHEN 3 THEN 1.8 WHEN 4 THEN 1.2
                                  WHEN 5 THEN 0.4 ELSE 0.6 END
             + (pg_temp.pick('factor:' || g.id) % 5) * 0.1 AS factor
  FROM cmn_gds_and_srv.gds_and_srv g;

-- About three routes in four become operations of a product, in product order.
-- cena_new is the price the factory's older program kept on the operation itself:
-- the base rate of the work for this product, which is also the price of its
-- lowest norm below. Operations entered by this program carry 0 there.
INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
SELECT r.type, r.naimen, g.id, round(t.rate * f.factor, 2)
  FROM cmn_gds_and_srv.gds_and_srv g
  JOIN demo_route r ON r.class = g.id_class_item
  JOIN demo_type t ON t.id = r.type
  JOIN demo_product_factor f ON f.id = g.id
 WHERE pg_temp.pick('oper:' || g.id || ':' || r.type || ':' || r.naimen) % 4 <> 0
 ORDER BY g.id, r.naimen, r.type;

-- One to three norm entries per operation: a higher norm pays a little more and
-- carries a bonus, so the base price is the entry with the lowest norm.
INSERT INTO accounts_dep.norm (o_id, norma, price, prize)
SELECT o.id,
       round(t.norma * (1 + 0.2 * (k - 1)))::integer,
       (round(t.rate * f.factor, 2) + 0.125 * (k - 1))::double precision,
       5 * (k - 1)
  FROM accounts_dep.oper o
  JOIN demo_type t ON t.id = o.vid
  JOIN demo_product_factor f ON f.id = o.i_id
 CROSS JOIN LATERAL generate_series(1, 1 + (pg_temp.pick('norms:' || o.id) % 3)::integer) AS k
 ORDER BY o.id, k;

-- Two operations entered without any norm yet: the operations list does not
-- offer them, so they have no production records either.
DELETE FROM accounts_dep.norm
 WHERE o_id IN (SELECT id FROM accounts_dep.oper ORDER BY pg_temp.pick('no norms:' || id) LIMIT 2);

-- ---------------------------------------------------------------------------
-- Production records from the first day of last month up to today.
-- ---------------------------------------------------------------------------

-- What a worker can be given: the operations of their shop that have a price.
CREATE TEMPORARY TABLE demo_offer AS
SELECT o.id AS o_id, o.i_id, t.department, t.norma, t.paint,
       min(n.price)::numeric AS base_price
  FROM accounts_dep.oper o
  JOIN demo_type t ON t.id = o.vid
  JOIN accounts_dep.norm n ON n.o_id = o.id
 GROUP BY o.id, o.i_id, t.department, t.norma, t.paint;

-- Who worked which shift on which day. On working days a worker keeps a shift
-- (half of them the first, some the second or third, one in ten rotating
-- weekly) and misses one day in twenty. On days off about one worker in six
-- comes in, nearly always to the first shift, so every day, today included,
-- has records in shift 1. Now and then a working day ends with overtime.
CREATE TEMPORARY TABLE demo_shift AS
WITH day AS (
  SELECT d::date AS data, extract(isodow FROM d) >= 6 AS day_off,
         (d::date - (date_trunc('month', current_date) - interval '1 month')::date) AS n
    FROM generate_series(date_trunc('month', current_date) - interval '1 month',
                         current_date, interval '1 day') AS d
), attendance AS (
  SELECT day.data, day.day_off, w.n AS w_id, w.department,
         CASE
           WHEN day.day_off THEN CASE WHEN w.n % 4 = 0 THEN 2 ELSE 1 END
           WHEN w.n % 10 < 5 THEN 1
           WHEN w.n % 10 < 8 THEN 2
           WHEN w.n % 10 = 8 THEN 3
           ELSE 1 + extract(week FROM day.data)::integer % 3
         END AS smena,
         CASE WHEN day.day_off THEN 6 ELSE 8 END AS hours
    FROM day CROSS JOIN demo_worker w
   WHERE CASE WHEN day.day_off THEN (w.n + day.n) % 6 = 0
              ELSE pg_temp.pick('absent:' || w.n || ':' || day.data) % 20 <> 0 END
)
SELECT data, day_off, w_id, department, smena, hours,
       1 + (pg_temp.pick('jobs:' || w_id || ':' || data) % 3)::integer AS jobs
  FROM attendance
UNION ALL
SELECT data, day_off, w_id, department, 4, 2 + (pg_temp.pick('overtime hours:' || w_id || ':' || data) % 3)::integer, 1
  FROM attendance
 WHERE NOT day_off AND pg_temp.pick('overtime:' || w_id || ':' || data) % 8 = 0;

-- Each shift's hours split over one to three different operations of the
-- worker's shop (8 = 8, 4 + 4, 3 + 3 + 2; 6 = 6, 3 + 3, 2 + 2 + 2).
CREATE TEMPORARY TABLE demo_record AS
SELECT s.data, s.day_off, s.w_id, s.smena, j.o_id, j.i_id, j.paint, j.base_price, j.norma, j.k,
       (s.hours / s.jobs + CASE WHEN j.k <= s.hours % s.jobs THEN 1 ELSE 0 END) AS time
  FROM demo_shift s
 CROSS JOIN LATERAL (
   SELECT f.*, row_number() OVER (ORDER BY pg_temp.pick('job:' || s.w_id || ':' || s.data || ':' || s.smena || ':' || f.o_id)) AS k
     FROM demo_offer f
    WHERE f.department = s.department
    ORDER BY pg_temp.pick('job:' || s.w_id || ':' || s.data || ':' || s.smena || ':' || f.o_id)
    LIMIT s.jobs
 ) AS j;

-- Prices as the record editor sets them: the base price, doubled on a day off,
-- times 1.2 on shift 3 and 1.5 on overtime, to 4 decimals. Colours only on
-- paint work: 1 is primer, others are RAL numbers. Marks: older records are
-- closed ("ok", some "да"), with a few left open, withdrawn ("ta") or without a
-- mark; the last three days are mostly still open.
INSERT INTO accounts_dep.smena
       (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, vvod,
        prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
SELECT r.data, r.smena, r.w_id, r.i_id, r.o_id,
       round(r.base_price * CASE WHEN r.day_off THEN 2 ELSE 1 END
                          * CASE r.smena WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END, 4)::double precision,
       q.kol_vo,
       CASE WHEN pg_temp.pick('reject:' || key) % 8 = 0
            THEN least(q.kol_vo, 1 + pg_temp.pick('rejects:' || key) % 4)::smallint
            ELSE 0 END,
       CASE WHEN NOT r.paint THEN 0
            WHEN pg_temp.pick('primer:' || key) % 4 = 0 THEN 1
            ELSE (ARRAY[9016, 9010, 7016, 3005, 5005, 8017, 9005])[1 + (pg_temp.pick('ral:' || key) % 7)::integer]
       END,
       r.time,
       CASE
         WHEN r.data = current_date THEN
           CASE pg_temp.pick('mark:' || key) % 12 WHEN 0 THEN 'ok' WHEN 1 THEN 'да' WHEN 2 THEN 'ta' ELSE 'no' END
         WHEN current_date - r.data < 3 THEN
           CASE WHEN pg_temp.pick('mark:' || key) % 4 = 0 THEN 'ok' ELSE 'no' END
         ELSE
           CASE
             WHEN pg_temp.pick('mark:' || key) % 97 = 0 THEN NULL
             WHEN pg_temp.pick('mark:' || key) % 41 = 0 THEN 'ta'
             WHEN pg_temp.pick('mark:' || key) % 23 = 0 THEN 'no'
             WHEN pg_temp.pick('mark:' || key) % 7 = 0 THEN 'да'
             ELSE 'ok'
           END
       END,
       least(r.data + (pg_temp.pick('entered:' || key) % 3)::integer, current_date)::timestamp,
       0, 0, 0, 0, 0, 0
  FROM demo_record r
 CROSS JOIN LATERAL (SELECT r.w_id || ':' || r.data || ':' || r.smena || ':' || r.o_id AS key) AS kk
 CROSS JOIN LATERAL (
   SELECT greatest(1, round(r.norma * r.time / 8.0
                            * (80 + pg_temp.pick('output:' || kk.key) % 41) / 100))::integer AS kol_vo
 ) AS q
 ORDER BY r.data, r.smena, r.w_id, r.k;

-- ---------------------------------------------------------------------------
-- The hours ledger, as the day recompute would have left it: per worker,
-- shift and month, each day's summed hours.
-- ---------------------------------------------------------------------------

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
 ORDER BY extract(year FROM data), extract(month FROM data), smena, w_id;

COMMIT;

ANALYZE;
