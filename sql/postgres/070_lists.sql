-- Vardel back-office reference database: pick lists, group and special-code lookups, and the listing and
-- deletion of the customers or stock items of one group or special code.

CREATE FUNCTION "SP_FIYAT_TIP_LIST"() RETURNS TABLE ("ID" integer, "ACIKLAMA" varchar)
LANGUAGE sql STABLE AS $$
    SELECT id, aciklama FROM tbl_fiyat_tip WHERE aktif ORDER BY id
$$;

CREATE FUNCTION "SP_DEPO_MAIN_LIST"() RETURNS TABLE ("ID" integer, "DEPOADI" varchar)
LANGUAGE sql STABLE AS $$
    SELECT id, depoadi FROM tbl_depo WHERE aktif ORDER BY id
$$;

-- Lookups of a typed group name or special code. They return the entries whose name starts with the typed
-- text, letter case aside; an entry whose name is the typed text itself is returned alone, so that a full name
-- is never ambiguous because longer names start with it. The caller wants exactly one row.

CREATE FUNCTION "SP_CARI_GRUP_LIST"("@GRUPADI" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "GRUPADI" varchar)
LANGUAGE sql STABLE AS $$
    WITH aday AS (
        SELECT id, grupadi, fn_anahtar(grupadi) = fn_anahtar(btrim(coalesce("@GRUPADI", ''))) AS tam
        FROM tbl_cari_grup
        WHERE starts_with(fn_anahtar(grupadi), fn_anahtar(btrim(coalesce("@GRUPADI", ''))))
    )
    SELECT id, grupadi FROM aday
    WHERE tam OR NOT EXISTS (SELECT FROM aday WHERE tam)
    ORDER BY grupadi, id
$$;

CREATE FUNCTION "SP_STOK_GRUP_LIST"("@GRUPADI" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "GRUPADI" varchar)
LANGUAGE sql STABLE AS $$
    WITH aday AS (
        SELECT id, grupadi, fn_anahtar(grupadi) = fn_anahtar(btrim(coalesce("@GRUPADI", ''))) AS tam
        FROM tbl_stok_grup
        WHERE starts_with(fn_anahtar(grupadi), fn_anahtar(btrim(coalesce("@GRUPADI", ''))))
    )
    SELECT id, grupadi FROM aday
    WHERE tam OR NOT EXISTS (SELECT FROM aday WHERE tam)
    ORDER BY grupadi, id
$$;

-- Special codes of one number (1 to 10) and one kind ('C' customers, 'S' stock items).
CREATE FUNCTION fn_ozel_kod_ara(p_tur char, p_no integer, p_kod varchar)
RETURNS TABLE (id integer, kod varchar, aciklama varchar)
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_aranan text := fn_anahtar(btrim(coalesce(p_kod, '')));
BEGIN
    IF p_no IS NULL OR p_no NOT BETWEEN 1 AND 10 THEN
        RAISE EXCEPTION 'Geçersiz özel kod numarası: % (1 ile 10 arasında olmalıdır)', p_no;
    END IF;
    RETURN QUERY
    WITH aday AS (
        SELECT o.id, o.kod, o.aciklama, fn_anahtar(o.kod) = v_aranan AS tam
        FROM tbl_ozel_kod o
        WHERE o.tur = p_tur AND o.no = p_no AND starts_with(fn_anahtar(o.kod), v_aranan)
    )
    SELECT a.id, a.kod, a.aciklama FROM aday a
    WHERE a.tam OR NOT EXISTS (SELECT FROM aday WHERE aday.tam)
    ORDER BY a.kod, a.id;
END $$;

CREATE FUNCTION "SP_OZEL_KOD_CARI_LIST"("@OZELKODNO" integer DEFAULT NULL, "@OZELKOD" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "OZELKOD" varchar, "ACIKLAMA" varchar)
LANGUAGE sql STABLE AS $$
    SELECT id, kod, aciklama FROM fn_ozel_kod_ara('C', "@OZELKODNO", "@OZELKOD")
$$;

CREATE FUNCTION "SP_OZEL_KOD_STOK_LIST"("@OZELKODNO" integer DEFAULT NULL, "@OZELKOD" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "OZELKOD" varchar, "ACIKLAMA" varchar)
LANGUAGE sql STABLE AS $$
    SELECT id, kod, aciklama FROM fn_ozel_kod_ara('S', "@OZELKODNO", "@OZELKOD")
$$;

-- Checks a listing's selection: number 0 is the group, 1 to 10 the special code of that number, and the ID must
-- name an existing group or special code of that kind. Returns the ID.
CREATE FUNCTION fn_grup_ozel_kod_kontrol(p_tur char, p_no integer, p_id varchar) RETURNS integer
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_id integer := fn_tamsayi(p_id, 'Grup/özel kod ID');
BEGIN
    IF p_no IS NULL OR p_no NOT BETWEEN 0 AND 10 THEN
        RAISE EXCEPTION 'Geçersiz grup/özel kod numarası: % (0 ile 10 arasında olmalıdır)', p_no;
    END IF;
    IF v_id IS NULL THEN
        RAISE EXCEPTION 'Grup/özel kod seçilmedi.';
    END IF;
    IF p_no > 0 THEN
        PERFORM FROM tbl_ozel_kod WHERE id = v_id AND tur = p_tur AND no = p_no;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Özel kod % bulunamadı: %', p_no, v_id;
        END IF;
    ELSIF p_tur = 'C' THEN
        PERFORM FROM tbl_cari_grup WHERE id = v_id;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Cari grubu bulunamadı: %', v_id;
        END IF;
    ELSE
        PERFORM FROM tbl_stok_grup WHERE id = v_id;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Stok grubu bulunamadı: %', v_id;
        END IF;
    END IF;
    RETURN v_id;
END $$;

-- The customers of one group ("@GRUPOZELKODNO" 0) or special code (1 to 10), by customer code.
CREATE FUNCTION "SP_CARI_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" integer DEFAULT 0, "@GRUPOZELKODID" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "CARIKODU" varchar)
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_id integer := fn_grup_ozel_kod_kontrol('C', "@GRUPOZELKODNO", "@GRUPOZELKODID");
BEGIN
    IF "@GRUPOZELKODNO" = 0 THEN
        RETURN QUERY
        SELECT c.id, c.carikodu FROM tbl_cari c
        WHERE c.cari_grup_id = v_id
        ORDER BY c.carikodu, c.id;
    ELSE
        RETURN QUERY
        SELECT c.id, c.carikodu FROM tbl_cari c
        JOIN tbl_cari_ozel_kod o ON o.cari_id = c.id
        WHERE o.ozel_kod_id = v_id AND o.no = "@GRUPOZELKODNO"
        ORDER BY c.carikodu, c.id;
    END IF;
END $$;

-- The stock items of one group ("@GRUPOZELKODNO" 0) or special code (1 to 10), by stock code.
CREATE FUNCTION "SP_STOK_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" integer DEFAULT 0, "@GRUPOZELKODID" varchar DEFAULT NULL)
RETURNS TABLE ("ID" integer, "STOKKODU" varchar)
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_id integer := fn_grup_ozel_kod_kontrol('S', "@GRUPOZELKODNO", "@GRUPOZELKODID");
BEGIN
    IF "@GRUPOZELKODNO" = 0 THEN
        RETURN QUERY
        SELECT s.id, s.stokkodu FROM tbl_stok s
        WHERE s.stok_grup_id = v_id
        ORDER BY s.stokkodu, s.id;
    ELSE
        RETURN QUERY
        SELECT s.id, s.stokkodu FROM tbl_stok s
        JOIN tbl_stok_ozel_kod o ON o.stok_id = s.id
        WHERE o.ozel_kod_id = v_id AND o.no = "@GRUPOZELKODNO"
        ORDER BY s.stokkodu, s.id;
    END IF;
END $$;

-- Deletes one listed customer, named by its ID and, when given, its code (both must match). Its plates, supplier
-- codes and special codes go with it; a customer that appears in an opening-balance document is kept.
CREATE FUNCTION "SP_CARI_MAIN_IMPORT_DELETE"("@CARIKODU" varchar DEFAULT NULL, "@ID" varchar DEFAULT NULL)
RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@CARIKODU", 20, 'Cari kodu');
    v_id integer := fn_tamsayi("@ID", 'Cari ID');
    v_bulunan varchar;
BEGIN
    IF v_id IS NULL AND v_kod IS NULL THEN
        RAISE EXCEPTION 'Silinecek cari belirtilmedi.';
    END IF;
    IF v_id IS NOT NULL THEN
        SELECT id, carikodu INTO v_id, v_bulunan FROM tbl_cari WHERE id = v_id;
    ELSE
        SELECT id, carikodu INTO v_id, v_bulunan FROM tbl_cari WHERE carikodu = v_kod;
    END IF;
    IF v_bulunan IS NULL OR v_bulunan <> coalesce(v_kod, v_bulunan) THEN
        RAISE EXCEPTION 'Cari bulunamadı: %', coalesce(v_kod, "@ID");
    END IF;
    v_kod := v_bulunan;
    PERFORM FROM tbl_devir_detay WHERE cari_id = v_id;
    IF FOUND THEN
        RAISE EXCEPTION 'Cari hareket gördüğü için silinemez: %', v_kod;
    END IF;
    DELETE FROM tbl_cari WHERE id = v_id;
    RETURN 0;
END $$;

-- Deletes one listed stock item, named by its ID and, when given, its code (both must match). Its barcodes,
-- prices, supplier codes, special codes and its model variant go with it; an item that appears in an
-- opening-balance document is kept.
CREATE FUNCTION "SP_STOK_MAIN_IMPORT_DELETE"("@STOKKODU" varchar DEFAULT NULL, "@ID" varchar DEFAULT NULL)
RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@STOKKODU", 20, 'Stok kodu');
    v_id integer := fn_tamsayi("@ID", 'Stok ID');
    v_bulunan varchar;
BEGIN
    IF v_id IS NULL AND v_kod IS NULL THEN
        RAISE EXCEPTION 'Silinecek stok belirtilmedi.';
    END IF;
    IF v_id IS NOT NULL THEN
        SELECT id, stokkodu INTO v_id, v_bulunan FROM tbl_stok WHERE id = v_id;
    ELSE
        SELECT id, stokkodu INTO v_id, v_bulunan FROM tbl_stok WHERE stokkodu = v_kod;
    END IF;
    IF v_bulunan IS NULL OR v_bulunan <> coalesce(v_kod, v_bulunan) THEN
        RAISE EXCEPTION 'Stok bulunamadı: %', coalesce(v_kod, "@ID");
    END IF;
    v_kod := v_bulunan;
    PERFORM FROM tbl_devir_detay WHERE stok_id = v_id;
    IF FOUND THEN
        RAISE EXCEPTION 'Stok hareket gördüğü için silinemez: %', v_kod;
    END IF;
    DELETE FROM tbl_stok WHERE id = v_id;
    RETURN 0;
END $$;
