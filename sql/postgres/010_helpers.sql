-- Vardel back-office reference database: value helpers used by the procedures.
--
-- The import tools send almost every value as text, exactly as a file line holds it (numbers may already be
-- normalised to "1234,56" or "1234.56"). These helpers turn such text into column values. A blank text (empty or
-- only blanks and tabs) means "not given" and yields NULL; the procedures then keep the stored value or use the
-- column's default. Anything else that cannot be read raises a Turkish message naming the field.
--
-- The helpers that run on every imported line are plain SQL functions without SET clauses, so that the planner
-- inlines them into the calling procedure's expressions; only the error path calls into PL/pgSQL.

-- Raises its text as the error message. Declared to return text so that it can stand in any CASE branch
-- (cast to the branch's type).
CREATE FUNCTION fn_hata(p_mesaj text) RETURNS text
LANGUAGE plpgsql VOLATILE AS $$
BEGIN
    RAISE EXCEPTION '%', p_mesaj;
END $$;

-- Upper case the Turkish way (i -> İ, ı -> I).
CREATE FUNCTION fn_buyuk(p text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT upper(translate(p, 'iı', 'İI'))
$$;

-- The key under which names are compared: letter case aside, and with the four i's (i, ı, İ, I) taken as one,
-- so that "içecek", "İÇECEK" and "ICECEK" name the same group and "visa" finds "VISA".
CREATE FUNCTION fn_anahtar(p text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT upper(translate(p, 'iıİ', 'III'))
$$;

-- Trimmed text or NULL when blank; longer than p_uzunluk characters raises.
CREATE FUNCTION fn_metin(p varchar, p_uzunluk integer, p_alan text) RETURNS varchar
LANGUAGE sql VOLATILE AS $$
    SELECT CASE
        WHEN length(btrim(p, E' \t')) > p_uzunluk
            THEN fn_hata(format('%s en fazla %s karakter olabilir: %s', p_alan, p_uzunluk, btrim(p, E' \t')))::varchar
        ELSE nullif(btrim(p, E' \t'), '')::varchar
    END
$$;

-- A decimal number. One separator, "," or ".", is the decimal separator ("1234,56", "1234.56", "-5", ",5").
-- A number that carries both is read with the last one as the decimal separator and the other as grouping
-- ("1.234,56", "1,234.56"), provided the groups are of three digits.
CREATE FUNCTION fn_sayi(p varchar, p_alan text) RETURNS numeric
LANGUAGE sql VOLATILE AS $$
    SELECT CASE
        WHEN nullif(btrim(p, E' \t'), '') IS NULL THEN NULL
        WHEN btrim(p, E' \t') ~ '^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$'
            THEN replace(btrim(p, E' \t'), ',', '.')::numeric
        WHEN btrim(p, E' \t') ~ '^[+-]?[0-9]{1,3}(\.[0-9]{3})+,[0-9]*$'
            THEN replace(replace(btrim(p, E' \t'), '.', ''), ',', '.')::numeric
        WHEN btrim(p, E' \t') ~ '^[+-]?[0-9]{1,3}(,[0-9]{3})+\.[0-9]*$'
            THEN replace(btrim(p, E' \t'), ',', '')::numeric
        ELSE fn_hata(format('Geçersiz sayı (%s): %s', p_alan, btrim(p, E' \t')))::numeric
    END
$$;

-- A whole number; "5", "-5", "+5" and also "5,00" or "5." (a whole number written with decimals).
CREATE FUNCTION fn_tamsayi(p varchar, p_alan text) RETURNS integer
LANGUAGE sql VOLATILE AS $$
    SELECT CASE
        WHEN nullif(btrim(p, E' \t'), '') IS NULL THEN NULL
        WHEN btrim(p, E' \t') ~ '^[+-]?[0-9]{1,9}$' THEN btrim(p, E' \t')::integer
        WHEN btrim(p, E' \t') ~ '^[+-]?[0-9]{1,9}[.,]0*$'
            THEN split_part(replace(btrim(p, E' \t'), ',', '.'), '.', 1)::integer
        ELSE fn_hata(format('Geçersiz tam sayı (%s): %s', p_alan, btrim(p, E' \t')))::integer
    END
$$;

-- A yes/no flag: 1/0, E/H, EVET/HAYIR, T/F, TRUE/FALSE, Y/N, YES/NO, AKTİF/PASİF in any letter case.
CREATE FUNCTION fn_mantiksal(p varchar, p_alan text) RETURNS boolean
LANGUAGE sql VOLATILE AS $$
    SELECT CASE
        WHEN nullif(btrim(p, E' \t'), '') IS NULL THEN NULL
        WHEN fn_anahtar(btrim(p, E' \t')) IN ('1', 'E', 'EVET', 'T', 'TRUE', 'Y', 'YES', 'AKTIF') THEN true
        WHEN fn_anahtar(btrim(p, E' \t')) IN ('0', 'H', 'HAYIR', 'F', 'FALSE', 'N', 'NO', 'PASIF') THEN false
        ELSE fn_hata(format('Geçersiz evet/hayır değeri (%s): %s', p_alan, btrim(p, E' \t')))::boolean
    END
$$;

-- A date as a date edit shows it: day, month and four-digit year separated by ".", "/" or "-" (27.04.2020,
-- 27/04/2020), or the ISO form 2020-04-27. Used once per document, so it may take the slower route.
CREATE FUNCTION fn_tarih(p varchar, p_alan text) RETURNS date
LANGUAGE plpgsql VOLATILE AS $$
DECLARE
    v_metin text := btrim(p, E' \t');
    v_parca text[];
BEGIN
    IF v_metin IS NULL OR v_metin = '' THEN
        RETURN NULL;
    END IF;
    v_parca := regexp_match(v_metin, '^([0-9]{1,2})[./-]([0-9]{1,2})[./-]([0-9]{4})$');
    IF v_parca IS NOT NULL THEN
        v_parca := ARRAY[v_parca[3], v_parca[2], v_parca[1]];
    ELSE
        v_parca := regexp_match(v_metin, '^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})$');
    END IF;
    IF v_parca IS NOT NULL THEN
        BEGIN
            RETURN make_date(v_parca[1]::integer, v_parca[2]::integer, v_parca[3]::integer);
        EXCEPTION WHEN datetime_field_overflow OR invalid_datetime_format THEN
            NULL; -- falls through to the message below
        END;
    END IF;
    RAISE EXCEPTION 'Geçersiz tarih (%): %', p_alan, v_metin;
END $$;

-- The user code of the connection: the tools pass it only as the connection's application name.
CREATE FUNCTION fn_kullanici() RETURNS varchar
LANGUAGE sql STABLE AS $$
    SELECT left(current_setting('application_name'), 64)::varchar
$$;
