-- Rights that only the stand-in database (enterprise.sql) needs, applied after
-- grants.sql. An enterprise database has none of these triggers and needs
-- nothing of this file.
--
-- The stand-in's id triggers (move_id_sequence_past_row and the WHEN clauses
-- that call it) run as the role that inserts, and read where each id sequence
-- stands with pg_sequence_last_value, which takes SELECT (or USAGE) on the
-- sequence. Without this every new production record, hours row, operation,
-- operation type and product fails with "permission denied for sequence".

BEGIN;

GRANT SELECT ON SEQUENCE accounts_dep.smena_id_seq, accounts_dep.h_tabel_id_seq, accounts_dep.oper_id_seq,
                         accounts_dep.vid_oper_id_seq, accounts_dep.workers_id_seq,
                         cmn_gds_and_srv.gds_and_srv_id_seq TO sys;

COMMIT;
