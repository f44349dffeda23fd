-- Two group roles. A counter logs in with a role of its own that is a member of
-- celvio_counter: it may add rows (tagged with its role) and read only its own rows;
-- no update, no delete. The head office's people log in with roles that are members of
-- celvio_office and read everything. Roles belong to the whole cluster: an existing
-- one is kept.
DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'celvio_counter') THEN
        CREATE ROLE celvio_counter NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'celvio_office') THEN
        CREATE ROLE celvio_office NOLOGIN;
    END IF;
    -- The upload stages its rows in temporary tables.
    EXECUTE format('GRANT CONNECT, TEMPORARY ON DATABASE %I TO celvio_counter, celvio_office',
                   current_database());
END
$$;

REVOKE ALL ON ALL TABLES IN SCHEMA celvio FROM PUBLIC;
GRANT USAGE ON SCHEMA celvio TO celvio_counter, celvio_office;
GRANT SELECT ON ALL TABLES IN SCHEMA celvio TO celvio_office;

-- A counter names its columns; station, id and the stored columns fill themselves.
GRANT SELECT, INSERT (counter, service_point, company, path, content_hash, kind, test_date, test_time,
                      date_text, time_text, imei, old_imei, imsi, model, system, verdict, fault, tester,
                      serial, firmware, coupler, version, r_quantity, r_label, r_band, r_channel, r_value,
                      r_number, r_limit, r_low, r_high, r_outcome, r_attempts, failed_quantities,
                      repeated_quantities)
    ON celvio.tests TO celvio_counter;
GRANT SELECT, INSERT (counter, service_point, company, path, line, line_hash, kind, old_imei, new_imei,
                      club, record_date, date_text, result, record_service_point)
    ON celvio.swap_records TO celvio_counter;
GRANT SELECT, INSERT (counter, service_point, company, path, content_hash, size, reason)
    ON celvio.skipped_files TO celvio_counter;
GRANT SELECT, INSERT (counter, service_point, company, tests, records, skipped, pending)
    ON celvio.pushes TO celvio_counter;
GRANT SELECT ON celvio.schema_version TO celvio_counter;

-- Row-level security: a counter's rows are those of its login role.
ALTER TABLE celvio.tests ENABLE ROW LEVEL SECURITY;
ALTER TABLE celvio.swap_records ENABLE ROW LEVEL SECURITY;
ALTER TABLE celvio.skipped_files ENABLE ROW LEVEL SECURITY;
ALTER TABLE celvio.pushes ENABLE ROW LEVEL SECURITY;
ALTER TABLE celvio.counters ENABLE ROW LEVEL SECURITY;

CREATE POLICY counter_adds ON celvio.tests FOR INSERT TO celvio_counter WITH CHECK (station = current_user::text);
CREATE POLICY counter_reads ON celvio.tests FOR SELECT TO celvio_counter USING (station = current_user::text);
CREATE POLICY office_reads ON celvio.tests FOR SELECT TO celvio_office USING (true);

CREATE POLICY counter_adds ON celvio.swap_records FOR INSERT TO celvio_counter WITH CHECK (station = current_user::text);
CREATE POLICY counter_reads ON celvio.swap_records FOR SELECT TO celvio_counter USING (station = current_user::text);
CREATE POLICY office_reads ON celvio.swap_records FOR SELECT TO celvio_office USING (true);

CREATE POLICY counter_adds ON celvio.skipped_files FOR INSERT TO celvio_counter WITH CHECK (station = current_user::text);
CREATE POLICY counter_reads ON celvio.skipped_files FOR SELECT TO celvio_counter USING (station = current_user::text);
CREATE POLICY office_reads ON celvio.skipped_files FOR SELECT TO celvio_office USING (true);

CREATE POLICY counter_adds ON celvio.pushes FOR INSERT TO celvio_counter WITH CHECK (station = current_user::text);
CREATE POLICY counter_reads ON celvio.pushes FOR SELECT TO celvio_counter USING (station = current_user::text);
CREATE POLICY office_reads ON celvio.pushes FOR SELECT TO celvio_office USING (true);

CREATE POLICY office_reads ON celvio.counters FOR SELECT TO celvio_office USING (true);
