-- The head office's tables: one row per test (its readings in arrays of equal length),
-- per swap record line, per file a counter could not read, and per push of a counter.
-- Every uploaded row carries its counter (the login role that sent it) and a key from
-- the counter's file, so that a push repeated after a lost acknowledgement adds nothing.

-- The failed values of a test as the local history lists them:
-- "Quantity [channel]: value; ...".
CREATE FUNCTION celvio.failed_text(quantities text[], channels integer[], vals text[], outcomes text[])
RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE
RETURN (SELECT string_agg(q || CASE WHEN c > 0 THEN ' [' || c || ']' ELSE '' END || ': ' || v, '; ' ORDER BY i)
        FROM unnest(quantities, channels, vals, outcomes) WITH ORDINALITY AS r(q, c, v, o, i)
        WHERE o = 'F');

CREATE TABLE celvio.counters (
    station       text PRIMARY KEY,
    registered_at timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE celvio.pushes (
    id            bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    station       text NOT NULL DEFAULT current_user,
    counter       text NOT NULL,
    service_point text NOT NULL DEFAULT '',
    company       text NOT NULL DEFAULT '',
    pushed_at     timestamptz NOT NULL DEFAULT now(),
    tests         integer NOT NULL,
    records       integer NOT NULL,
    skipped       integer NOT NULL,
    pending       integer NOT NULL
);
CREATE INDEX pushes_station ON celvio.pushes (station, pushed_at DESC);

CREATE TABLE celvio.tests (
    id            bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    station       text NOT NULL DEFAULT current_user,
    counter       text NOT NULL,
    service_point text NOT NULL DEFAULT '',
    company       text NOT NULL DEFAULT '',
    path          text NOT NULL,
    content_hash  bytea NOT NULL,
    kind          text NOT NULL CHECK (kind IN ('test', 'direct swap')),
    test_date     date NOT NULL,
    test_time     time,
    date_text     text NOT NULL DEFAULT '',
    time_text     text NOT NULL DEFAULT '',
    imei          text NOT NULL DEFAULT '',
    old_imei      text NOT NULL DEFAULT '',
    imsi          text NOT NULL DEFAULT '',
    model         text NOT NULL DEFAULT '',
    system        text NOT NULL DEFAULT '',
    verdict       text NOT NULL CHECK (verdict IN ('passed', 'failed', 'aborted', 'swap', 'none')),
    fault         text NOT NULL DEFAULT '',
    tester        text NOT NULL DEFAULT '',
    serial        text NOT NULL DEFAULT '',
    firmware      text NOT NULL DEFAULT '',
    coupler       text NOT NULL DEFAULT '',
    version       text NOT NULL DEFAULT '',
    -- The readings, element i of every array belonging to reading i: the quantity,
    -- the row as stored, band (1 or 2) and traffic channel (0 for the call rows), the
    -- value as read and as a number (NULL when it is none), the limits, the outcome
    -- (P passed, R passed on repetition, F failed, T not tested, N not needed) and
    -- the attempts (NULL when not known).
    r_quantity    text[] NOT NULL DEFAULT '{}',
    r_label       text[] NOT NULL DEFAULT '{}',
    r_band        smallint[] NOT NULL DEFAULT '{}',
    r_channel     integer[] NOT NULL DEFAULT '{}',
    r_value       text[] NOT NULL DEFAULT '{}',
    r_number      double precision[] NOT NULL DEFAULT '{}',
    r_limit       text[] NOT NULL DEFAULT '{}',
    r_low         double precision[] NOT NULL DEFAULT '{}',
    r_high        double precision[] NOT NULL DEFAULT '{}',
    r_outcome     text[] NOT NULL DEFAULT '{}',
    r_attempts    smallint[] NOT NULL DEFAULT '{}',
    -- The quantities of the failed readings and of those passed on repetition, in
    -- reading order: "which quantity fails most" reads these small arrays alone.
    failed_quantities   text[] NOT NULL DEFAULT '{}',
    repeated_quantities text[] NOT NULL DEFAULT '{}',
    uploaded_at   timestamptz NOT NULL DEFAULT now(),
    UNIQUE (station, path, content_hash),
    -- A test arrives whole or not at all: every reading has every part.
    CHECK (cardinality(r_label) = cardinality(r_quantity) AND cardinality(r_band) = cardinality(r_quantity)
       AND cardinality(r_channel) = cardinality(r_quantity) AND cardinality(r_value) = cardinality(r_quantity)
       AND cardinality(r_number) = cardinality(r_quantity) AND cardinality(r_limit) = cardinality(r_quantity)
       AND cardinality(r_low) = cardinality(r_quantity) AND cardinality(r_high) = cardinality(r_quantity)
       AND cardinality(r_outcome) = cardinality(r_quantity) AND cardinality(r_attempts) = cardinality(r_quantity))
);
-- A phone: by its IMEI (newest last, with the model that the swap counts look up), or
-- as the old phone of a direct swap (few rows have one).
CREATE INDEX tests_imei ON celvio.tests (imei, test_date, test_time) INCLUDE (kind, model);
CREATE INDEX tests_old_imei ON celvio.tests (old_imei) WHERE old_imei <> '';
-- The counts by shop, model, day and week read this narrow index alone (an index-only
-- scan once autovacuum has marked the pages), never the wide rows with the readings;
-- a range of days is a range of it.
CREATE INDEX tests_stats ON celvio.tests (test_date) INCLUDE (kind, verdict, model, service_point, counter);
-- "Which quantity fails": only the tests with a failed or repeated reading.
CREATE INDEX tests_failing ON celvio.tests (test_date)
    INCLUDE (kind, verdict, model, service_point, counter, failed_quantities, repeated_quantities)
    WHERE cardinality(failed_quantities) > 0 OR cardinality(repeated_quantities) > 0;

-- One line of a swap record file. A line keeps its key when the Archive button moves
-- its file into BACKUP<yy>: the key is the counter, the kind and the hash of the line.
CREATE TABLE celvio.swap_records (
    station       text NOT NULL DEFAULT current_user,
    counter       text NOT NULL,
    service_point text NOT NULL DEFAULT '',
    company       text NOT NULL DEFAULT '',
    path          text NOT NULL,
    line          integer NOT NULL,
    line_hash     bytea NOT NULL,
    kind          text NOT NULL CHECK (kind IN ('SWAP', 'IMEI')),
    old_imei      text NOT NULL DEFAULT '',
    new_imei      text NOT NULL DEFAULT '',
    club          text NOT NULL DEFAULT '',
    record_date   date,
    date_text     text NOT NULL DEFAULT '',
    result        text NOT NULL DEFAULT '',
    record_service_point text NOT NULL DEFAULT '',
    uploaded_at   timestamptz NOT NULL DEFAULT now(),
    UNIQUE (station, kind, line_hash)
);
CREATE INDEX swap_records_old ON celvio.swap_records (old_imei);
CREATE INDEX swap_records_new ON celvio.swap_records (new_imei) WHERE new_imei <> '';

-- A file the counter's index could not read (damaged or foreign): listed, never
-- uploaded in part.
CREATE TABLE celvio.skipped_files (
    station       text NOT NULL DEFAULT current_user,
    counter       text NOT NULL,
    service_point text NOT NULL DEFAULT '',
    company       text NOT NULL DEFAULT '',
    path          text NOT NULL,
    content_hash  bytea NOT NULL,
    size          bigint NOT NULL,
    reason        text NOT NULL,
    uploaded_at   timestamptz NOT NULL DEFAULT now(),
    UNIQUE (station, path, content_hash)
);
