-- One phone across the chain, for a counter too: a counter may not read other shops'
-- rows, but the phone in its hands has a history in every shop (swapped in one,
-- brought to another). These functions answer for one whole IMEI at a time, with the
-- rights of the schema's owner; the subscriber's IMSI only from the asking counter's
-- own tests. No listing, no prefix: a counter cannot page through another shop.
CREATE FUNCTION celvio.find_phone_tests(p_imei text)
RETURNS TABLE (kind text, test_date text, test_time text, imei text, old_imei text, imsi text, model text,
               system text, verdict text, fault text, serial text, firmware text, path text, failed text,
               service_point text, counter text, id bigint)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = celvio, pg_temp
AS $$
    SELECT t.kind, to_char(t.test_date, 'YYYY-MM-DD'), coalesce(to_char(t.test_time, 'HH24:MI:SS'), ''), t.imei,
           t.old_imei, CASE WHEN t.station = session_user::text OR pg_has_role(session_user, 'celvio_office', 'MEMBER')
                            THEN t.imsi ELSE '' END,
           t.model, t.system, t.verdict, t.fault, t.serial, t.firmware, t.path,
           coalesce(celvio.failed_text(t.r_quantity, t.r_channel, t.r_value, t.r_outcome), ''), t.service_point,
           t.counter, t.id
    FROM celvio.tests t
    WHERE p_imei ~ '^[0-9]{14,16}$' AND (t.imei = p_imei OR (t.old_imei = p_imei AND t.old_imei <> ''))
    ORDER BY t.test_date DESC, t.test_time DESC NULLS LAST, t.id DESC
$$;

CREATE FUNCTION celvio.find_phone_records(p_imei text)
RETURNS TABLE (kind text, record_date text, old_imei text, new_imei text, club text, result text,
               record_service_point text, path text, line integer, service_point text, counter text)
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = celvio, pg_temp
AS $$
    SELECT r.kind, coalesce(to_char(r.record_date, 'YYYY-MM-DD'), r.date_text), r.old_imei, r.new_imei, r.club,
           r.result, r.record_service_point, r.path, r.line, r.service_point, r.counter
    FROM celvio.swap_records r
    WHERE p_imei ~ '^[0-9]{14,16}$' AND (r.old_imei = p_imei OR (r.new_imei = p_imei AND r.new_imei <> ''))
    ORDER BY 2 DESC, r.path, r.line DESC
$$;

REVOKE ALL ON FUNCTION celvio.find_phone_tests(text), celvio.find_phone_records(text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION celvio.find_phone_tests(text), celvio.find_phone_records(text)
    TO celvio_counter, celvio_office;
