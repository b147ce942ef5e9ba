-- The rights that role sys needs on the enterprise database: no more than the
-- program uses. An administrator runs this file once in that database, as the
-- owner of its objects or a superuser:
--
--   psql -v ON_ERROR_STOP=1 -d kelvo_erp -f db/sql/grants.sql
--
-- The table of README.md ("Deployment") is this file in words. The stand-in
-- database (enterprise.sql) needs db/sql/grants-stand-in.sql after this file;
-- an enterprise database does not.

BEGIN;

GRANT CONNECT ON DATABASE :"DBNAME" TO sys;

GRANT USAGE ON SCHEMA accounts_dep, cmn_contractor, cmn_gds_and_srv, cmn_classifier,
                      cmn_department, hrms_staffpos, adm_role TO sys;
-- The statements cast person codes to these domains.
GRANT USAGE ON DOMAIN public.t_id, public.t_integer TO sys;

-- Production records, hours, operations, operation types, norms: the program
-- adds, changes and deletes rows of each (the month rebuild deletes and adds a
-- month of hours).
GRANT SELECT, INSERT, UPDATE, DELETE ON accounts_dep.smena, accounts_dep.h_tabel, accounts_dep.oper,
                                        accounts_dep.vid_oper, accounts_dep.norm TO sys;
-- Workers: a view of the ERP's persons, written through the view only.
GRANT SELECT, INSERT, UPDATE, DELETE ON accounts_dep.person TO sys;
-- The build check: the newest build that ran against the database.
GRANT SELECT, INSERT, UPDATE ON accounts_dep.ver TO sys;

-- Products are the ERP's goods, read through accounts_dep.izdel; the product
-- editor writes the goods table itself, numbered by its sequence.
GRANT SELECT ON accounts_dep.izdel TO sys;
GRANT SELECT (id), INSERT (s_caption, s_description, id_msm_bs, massa, id_class_item),
      UPDATE (s_caption, s_description, id_msm_bs, massa, id_class_item)
      ON cmn_gds_and_srv.gds_and_srv TO sys;
GRANT USAGE ON SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq TO sys;

-- Read only: persons (names and codes), product classes, departments,
-- positions and roles for the pickers.
GRANT SELECT ON cmn_contractor.person, cmn_classifier.item, cmn_department.department,
                hrms_staffpos.staffpos, adm_role.roles TO sys;

-- The legacy import (full access only). It replaces the rows with id above 0
-- of seven tables: products reach the goods table through accounts_dep.izdel,
-- with their old ids.
GRANT INSERT, DELETE ON accounts_dep.izdel TO sys;
GRANT INSERT (id, s_name), DELETE ON cmn_gds_and_srv.gds_and_srv TO sys;
GRANT SELECT, INSERT, DELETE ON accounts_dep.nomenkl, accounts_dep.workers TO sys;
-- Rows copied with their ids leave the id sequences behind: the import moves
-- each one past the highest id it wrote (setval; nextval reads where it stands).
GRANT UPDATE ON SEQUENCE accounts_dep.smena_id_seq, accounts_dep.h_tabel_id_seq, accounts_dep.oper_id_seq,
                         accounts_dep.vid_oper_id_seq, accounts_dep.workers_id_seq,
                         cmn_gds_and_srv.gds_and_srv_id_seq TO sys;
-- The import also reads the legacy production records, a table smena on sys's
-- search path that exists only for the import: grant SELECT on it with it, e.g.
--   GRANT SELECT ON public.smena TO sys;

COMMIT;
