-- Vardel back-office reference database: stock items, their barcodes, prices and supplier codes.

-- The stock item named by its code or, when the code is blank, by one of its barcodes.
CREATE FUNCTION fn_stok_bul(p_stokkodu varchar, p_barkod varchar) RETURNS integer
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_kod varchar := fn_metin(p_stokkodu, 20, 'Stok kodu');
    v_barkod varchar := fn_metin(p_barkod, 20, 'Barkod');
    v_id integer;
BEGIN
    IF v_kod IS NOT NULL THEN
        SELECT id INTO v_id FROM tbl_stok WHERE stokkodu = v_kod;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Stok bulunamadı: %', v_kod;
        END IF;
    ELSIF v_barkod IS NOT NULL THEN
        SELECT stok_id INTO v_id FROM tbl_stok_barkod WHERE barkod = v_barkod;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Barkod bulunamadı: %', v_barkod;
        END IF;
    ELSE
        RAISE EXCEPTION 'Stok kodu veya barkod boş olamaz.';
    END IF;
    RETURN v_id;
END $$;

-- Gives the item this barcode unless it has it already; a barcode of another item raises.
CREATE FUNCTION fn_stok_barkod_ekle(p_stok_id integer, p_barkod varchar) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    v_sahibi integer;
BEGIN
    SELECT stok_id INTO v_sahibi FROM tbl_stok_barkod WHERE barkod = p_barkod;
    IF NOT FOUND THEN
        INSERT INTO tbl_stok_barkod (stok_id, barkod) VALUES (p_stok_id, p_barkod);
    ELSIF v_sahibi <> p_stok_id THEN
        RAISE EXCEPTION 'Barkod başka bir stoğa ait: % (stok kodu %)', p_barkod,
            (SELECT stokkodu FROM tbl_stok WHERE id = v_sahibi);
    END IF;
END $$;

-- A PLU number may address one item only.
CREATE FUNCTION fn_stok_plu_kontrol(p_stok_id integer, p_pluno integer) RETURNS void
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_diger varchar;
BEGIN
    IF p_pluno <= 0 THEN
        RAISE EXCEPTION 'Geçersiz PLU numarası: %', p_pluno;
    END IF;
    SELECT stokkodu INTO v_diger FROM tbl_stok WHERE pluno = p_pluno AND id IS DISTINCT FROM p_stok_id;
    IF FOUND THEN
        RAISE EXCEPTION 'PLU numarası başka bir stokta kullanılıyor: % (stok kodu %)', p_pluno, v_diger;
    END IF;
END $$;

-- Sets one price of an item (p_fiyat NULL: leaves it as it is).
CREATE FUNCTION fn_stok_fiyat_yaz(p_stok_id integer, p_fiyat_tip_id integer, p_fiyat numeric, p_alan text)
RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF p_fiyat IS NULL THEN
        RETURN;
    END IF;
    IF p_fiyat < 0 OR p_fiyat >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz fiyat (%): %', p_alan, p_fiyat;
    END IF;
    INSERT INTO tbl_stok_fiyat AS f (stok_id, fiyat_tip_id, fiyat) VALUES (p_stok_id, p_fiyat_tip_id, p_fiyat)
    ON CONFLICT (stok_id, fiyat_tip_id) DO UPDATE SET fiyat = excluded.fiyat, degisim_zamani = localtimestamp;
END $$;

-- Whether a barcode starts with one of the weighed-item prefixes ("27,29": scale labels start with 27 or 29).
CREATE FUNCTION fn_tartili_barkod(p_barkod varchar, p_onekler varchar) RETURNS boolean
LANGUAGE sql STABLE AS $$
    SELECT EXISTS (SELECT 1 FROM regexp_split_to_table(p_onekler, '[,; ]+') AS o (onek)
                   WHERE o.onek <> '' AND starts_with(p_barkod, o.onek))
$$;

-- Stock import, one call per file line.
--
-- The stock code is the key. A new code adds an item (name and retail VAT rate required) and returns 0. An
-- existing code returns -2 and changes nothing when "@ISNOUPDATE" is true; otherwise the given values update the
-- item and 0 is returned. As with customers, a blank value means "not given". The barcode is added to the item's
-- barcodes; the three prices go to the price types 1 (purchase), 2 (sales) and 3 (second sales price). An item
-- is weighed when its own flag says so ("@TARTILI") or, without that flag, when its barcode starts with one of
-- the prefixes in "@TARTILIFLAG".
CREATE FUNCTION "SP_STOK_MAIN_INSERT_FRANCHISE"(
    "@STOKKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@STOKADI" varchar DEFAULT NULL,
    "@KISAADI" varchar DEFAULT NULL,
    "@TOPTANKDV" varchar DEFAULT NULL,
    "@PERAKENDEKDV" varchar DEFAULT NULL,
    "@DEPTNO" varchar DEFAULT NULL,
    "@TARTILI" varchar DEFAULT NULL,
    "@BIRIM1" varchar DEFAULT NULL,
    "@BIRIM2" varchar DEFAULT NULL,
    "@BIRIMCARPAN2" varchar DEFAULT NULL,
    "@BIRIM3" varchar DEFAULT NULL,
    "@BIRIMCARPAN3" varchar DEFAULT NULL,
    "@GRUPNO" varchar DEFAULT NULL,
    "@GRAMAJ" varchar DEFAULT NULL,
    "@KARYUZDE" varchar DEFAULT NULL,
    "@MASRAFYUZDE" varchar DEFAULT NULL,
    "@VADE" varchar DEFAULT NULL,
    "@PLUNO" varchar DEFAULT NULL,
    "@TAKSITSAYISI" varchar DEFAULT NULL,
    "@ALISFIYATI" varchar DEFAULT NULL,
    "@SATISFIYATI" varchar DEFAULT NULL,
    "@SATISFIYATI2" varchar DEFAULT NULL,
    "@ACIKLAMA" varchar DEFAULT NULL,
    "@RESIM" varchar DEFAULT NULL,
    "@AKTIF" varchar DEFAULT NULL,
    "@DETAYNO" varchar DEFAULT NULL,
    "@TARTILIFLAG" varchar DEFAULT NULL,
    "@ISNOUPDATE" boolean DEFAULT false
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@STOKKODU", 20, 'Stok kodu');
    v_id integer;
    v_barkod varchar;
    v_ad varchar;
    v_kisaad varchar;
    v_tkdv numeric;
    v_pkdv numeric;
    v_dept integer;
    v_tartili boolean;
    v_birim1 varchar;
    v_birim2 varchar;
    v_carpan2 numeric;
    v_birim3 varchar;
    v_carpan3 numeric;
    v_grupno integer;
    v_grup integer;
    v_gramaj numeric;
    v_kar numeric;
    v_masraf numeric;
    v_vade integer;
    v_plu integer;
    v_taksit integer;
    v_alis numeric;
    v_satis numeric;
    v_satis2 numeric;
    v_aciklama varchar;
    v_resim varchar;
    v_aktif boolean;
    v_detayno integer;
BEGIN
    IF v_kod IS NULL THEN
        RAISE EXCEPTION 'Stok kodu boş olamaz.';
    END IF;
    SELECT id INTO v_id FROM tbl_stok WHERE stokkodu = v_kod;
    IF FOUND AND coalesce("@ISNOUPDATE", false) THEN
        RETURN -2;
    END IF;

    v_barkod := fn_metin("@BARKOD", 20, 'Barkod');
    v_ad := fn_metin("@STOKADI", 100, 'Stok adı');
    v_kisaad := fn_metin("@KISAADI", 30, 'Kısa adı');
    v_tkdv := fn_sayi("@TOPTANKDV", 'Toptan KDV');
    v_pkdv := fn_sayi("@PERAKENDEKDV", 'Perakende KDV');
    v_dept := fn_tamsayi("@DEPTNO", 'Departman no');
    v_tartili := fn_mantiksal("@TARTILI", 'Tartılı');
    v_birim1 := fn_metin("@BIRIM1", 10, 'Birim 1');
    v_birim2 := fn_metin("@BIRIM2", 10, 'Birim 2');
    v_carpan2 := fn_sayi("@BIRIMCARPAN2", 'Birim çarpan 2');
    v_birim3 := fn_metin("@BIRIM3", 10, 'Birim 3');
    v_carpan3 := fn_sayi("@BIRIMCARPAN3", 'Birim çarpan 3');
    v_grupno := fn_tamsayi("@GRUPNO", 'Grup no');
    v_gramaj := fn_sayi("@GRAMAJ", 'Gramaj');
    v_kar := fn_sayi("@KARYUZDE", 'Kar %');
    v_masraf := fn_sayi("@MASRAFYUZDE", 'Masraf %');
    v_vade := fn_tamsayi("@VADE", 'Vade');
    v_plu := fn_tamsayi("@PLUNO", 'PLU no');
    v_taksit := fn_tamsayi("@TAKSITSAYISI", 'Taksit sayısı');
    v_alis := fn_sayi("@ALISFIYATI", 'Alış fiyatı');
    v_satis := fn_sayi("@SATISFIYATI", 'Satış fiyatı');
    v_satis2 := fn_sayi("@SATISFIYATI2", '2. satış fiyatı');
    v_aciklama := fn_metin("@ACIKLAMA", 255, 'Açıklama');
    v_resim := fn_metin("@RESIM", 255, 'Resim yolu');
    v_aktif := fn_mantiksal("@AKTIF", 'Aktif');
    v_detayno := fn_tamsayi("@DETAYNO", 'Detay no');

    IF v_tkdv NOT BETWEEN 0 AND 100 THEN
        RAISE EXCEPTION 'KDV oranı 0 ile 100 arasında olmalıdır (Toptan KDV): %', v_tkdv;
    END IF;
    IF v_pkdv NOT BETWEEN 0 AND 100 THEN
        RAISE EXCEPTION 'KDV oranı 0 ile 100 arasında olmalıdır (Perakende KDV): %', v_pkdv;
    END IF;
    IF v_carpan2 <= 0 OR v_carpan2 >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz birim çarpanı (Birim çarpan 2): %', v_carpan2;
    END IF;
    IF v_carpan3 <= 0 OR v_carpan3 >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz birim çarpanı (Birim çarpan 3): %', v_carpan3;
    END IF;
    IF v_gramaj < 0 OR v_gramaj >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz gramaj: %', v_gramaj;
    END IF;
    IF abs(v_kar) >= 1e5 OR abs(v_masraf) >= 1e5 THEN
        RAISE EXCEPTION 'Geçersiz yüzde: %', CASE WHEN abs(v_kar) >= 1e5 THEN v_kar ELSE v_masraf END;
    END IF;
    IF v_grupno IS NOT NULL THEN
        SELECT id INTO v_grup FROM tbl_stok_grup WHERE grupno = v_grupno;
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Stok grubu bulunamadı: %', v_grupno;
        END IF;
    END IF;
    IF v_plu IS NOT NULL THEN
        PERFORM fn_stok_plu_kontrol(v_id, v_plu);
    END IF;
    IF v_tartili IS NULL AND v_barkod IS NOT NULL AND "@TARTILIFLAG" IS NOT NULL THEN
        v_tartili := fn_tartili_barkod(v_barkod, "@TARTILIFLAG");
    END IF;

    IF v_id IS NOT NULL THEN
        UPDATE tbl_stok SET
            stokadi = coalesce(v_ad, stokadi),
            kisaadi = coalesce(v_kisaad, kisaadi),
            toptan_kdv = coalesce(v_tkdv, toptan_kdv),
            perakende_kdv = coalesce(v_pkdv, perakende_kdv),
            dept_no = coalesce(v_dept, dept_no),
            tartili = coalesce(v_tartili, tartili),
            birim1 = coalesce(v_birim1, birim1),
            birim2 = coalesce(v_birim2, birim2),
            birim_carpan2 = coalesce(v_carpan2, birim_carpan2),
            birim3 = coalesce(v_birim3, birim3),
            birim_carpan3 = coalesce(v_carpan3, birim_carpan3),
            stok_grup_id = coalesce(v_grup, stok_grup_id),
            gramaj = coalesce(v_gramaj, gramaj),
            kar_yuzde = coalesce(v_kar, kar_yuzde),
            masraf_yuzde = coalesce(v_masraf, masraf_yuzde),
            vade = coalesce(v_vade, vade),
            pluno = coalesce(v_plu, pluno),
            taksit_sayisi = coalesce(v_taksit, taksit_sayisi),
            aciklama = coalesce(v_aciklama, aciklama),
            resim = coalesce(v_resim, resim),
            aktif = coalesce(v_aktif, aktif),
            detayno = coalesce(v_detayno, detayno),
            degistiren = fn_kullanici(),
            degisim_zamani = localtimestamp
        WHERE id = v_id;
    ELSE
        IF v_ad IS NULL THEN
            RAISE EXCEPTION 'Stok adı boş olamaz.';
        END IF;
        IF v_pkdv IS NULL THEN
            RAISE EXCEPTION 'Perakende KDV boş olamaz.';
        END IF;
        INSERT INTO tbl_stok (stokkodu, stokadi, kisaadi, toptan_kdv, perakende_kdv, dept_no, tartili, birim1,
                              birim2, birim_carpan2, birim3, birim_carpan3, stok_grup_id, gramaj, kar_yuzde,
                              masraf_yuzde, vade, pluno, taksit_sayisi, aciklama, resim, aktif, detayno)
        VALUES (v_kod, v_ad, v_kisaad, coalesce(v_tkdv, v_pkdv), v_pkdv, v_dept, coalesce(v_tartili, false),
                coalesce(v_birim1, 'ADET'), v_birim2, v_carpan2, v_birim3, v_carpan3, v_grup, v_gramaj, v_kar,
                v_masraf, v_vade, v_plu, v_taksit, v_aciklama, v_resim, coalesce(v_aktif, true), v_detayno)
        RETURNING id INTO v_id;
    END IF;

    IF v_barkod IS NOT NULL THEN
        PERFORM fn_stok_barkod_ekle(v_id, v_barkod);
    END IF;
    IF v_alis IS NOT NULL OR v_satis IS NOT NULL OR v_satis2 IS NOT NULL THEN
        PERFORM fn_stok_fiyat_yaz(v_id, 1, v_alis, 'Alış fiyatı');
        PERFORM fn_stok_fiyat_yaz(v_id, 2, v_satis, 'Satış fiyatı');
        PERFORM fn_stok_fiyat_yaz(v_id, 3, v_satis2, '2. satış fiyatı');
    END IF;
    RETURN 0;
END $$;

-- Stock price import: one price of the chosen price type for the item named by its code or barcode.
CREATE FUNCTION "SP_STOK_FIYAT_INSERT_FRANCHISE"(
    "@FIYATTIPID" integer DEFAULT NULL,
    "@STOKKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@FIYAT" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_fiyat numeric := fn_sayi("@FIYAT", 'Fiyat');
    v_stok integer;
BEGIN
    IF "@FIYATTIPID" IS NULL THEN
        RAISE EXCEPTION 'Fiyat tipi seçilmedi.';
    END IF;
    PERFORM FROM tbl_fiyat_tip WHERE id = "@FIYATTIPID";
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Fiyat tipi bulunamadı: %', "@FIYATTIPID";
    END IF;
    v_stok := fn_stok_bul("@STOKKODU", "@BARKOD");
    IF v_fiyat IS NULL THEN
        RAISE EXCEPTION 'Fiyat boş olamaz.';
    END IF;
    PERFORM fn_stok_fiyat_yaz(v_stok, "@FIYATTIPID", v_fiyat, 'Fiyat');
    RETURN 0;
END $$;

-- Supplier code update: the supplier's own code of an item, for the supplier account "@CARIKODU".
CREATE FUNCTION "SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"(
    "@CARIKODU" varchar DEFAULT NULL,
    "@STOKKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@FIRMASTOKKODU" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_cari integer := fn_cari_bul("@CARIKODU");
    v_stok integer := fn_stok_bul("@STOKKODU", "@BARKOD");
    v_firmakodu varchar := fn_metin("@FIRMASTOKKODU", 30, 'Firma stok kodu');
BEGIN
    IF v_firmakodu IS NULL THEN
        RAISE EXCEPTION 'Firma stok kodu boş olamaz.';
    END IF;
    INSERT INTO tbl_stok_firma_kodu (stok_id, cari_id, firma_stok_kodu) VALUES (v_stok, v_cari, v_firmakodu)
    ON CONFLICT (stok_id, cari_id) DO UPDATE SET firma_stok_kodu = excluded.firma_stok_kodu;
    RETURN 0;
END $$;

-- Stock name and barcode update. The item is named by its code, or by a barcode when the code is blank; with
-- both, the barcode is added to the item found by its code. A given name or weight replaces the stored one.
CREATE FUNCTION "SP_STOK_MAIN_ISIM_UPDATE"(
    "@STOKKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@STOKADI" varchar DEFAULT NULL,
    "@GRAMAJ" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_stok integer := fn_stok_bul("@STOKKODU", "@BARKOD");
    v_barkod varchar := fn_metin("@BARKOD", 20, 'Barkod');
    v_ad varchar := fn_metin("@STOKADI", 100, 'Stok adı');
    v_gramaj numeric := fn_sayi("@GRAMAJ", 'Gramaj');
BEGIN
    IF v_gramaj < 0 OR v_gramaj >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz gramaj: %', v_gramaj;
    END IF;
    IF v_barkod IS NOT NULL THEN
        PERFORM fn_stok_barkod_ekle(v_stok, v_barkod);
    END IF;
    UPDATE tbl_stok SET
        stokadi = coalesce(v_ad, stokadi),
        gramaj = coalesce(v_gramaj, gramaj),
        degistiren = fn_kullanici(),
        degisim_zamani = localtimestamp
    WHERE id = v_stok;
    RETURN 0;
END $$;

-- Stock weight update: weight and weight type (0 = gramajlı, 1 = adetli) of the item with this barcode.
CREATE FUNCTION "SP_STOK_MAIN_GRAMAJ_UPDATE"(
    "@BARKOD" varchar DEFAULT NULL,
    "@GRAMAJ" varchar DEFAULT NULL,
    "@GRAMAJTIPI" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_barkod varchar := fn_metin("@BARKOD", 20, 'Barkod');
    v_gramaj numeric := fn_sayi("@GRAMAJ", 'Gramaj');
    v_tip integer := fn_tamsayi("@GRAMAJTIPI", 'Gramaj tipi');
    v_stok integer;
BEGIN
    IF v_barkod IS NULL THEN
        RAISE EXCEPTION 'Barkod boş olamaz.';
    END IF;
    v_stok := fn_stok_bul(NULL, v_barkod);
    IF v_gramaj IS NULL THEN
        RAISE EXCEPTION 'Gramaj boş olamaz.';
    END IF;
    IF v_gramaj < 0 OR v_gramaj >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz gramaj: %', v_gramaj;
    END IF;
    IF v_tip IS NULL THEN
        RAISE EXCEPTION 'Gramaj tipi boş olamaz.';
    END IF;
    IF v_tip NOT IN (0, 1) THEN
        RAISE EXCEPTION 'Geçersiz gramaj tipi: % (0 = gramajlı, 1 = adetli)', v_tip;
    END IF;
    UPDATE tbl_stok SET gramaj = v_gramaj, gramaj_tipi = v_tip, degistiren = fn_kullanici(),
                        degisim_zamani = localtimestamp
    WHERE id = v_stok;
    RETURN 0;
END $$;

-- Stock origin update: the origin of the item with this barcode; a blank origin clears it.
CREATE FUNCTION "SP_STOK_MAIN_MENSEI_UPDATE"(
    "@BARKOD" varchar DEFAULT NULL,
    "@MENSEI" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_barkod varchar := fn_metin("@BARKOD", 20, 'Barkod');
    v_mensei varchar := fn_metin("@MENSEI", 50, 'Menşei');
    v_stok integer;
BEGIN
    IF v_barkod IS NULL THEN
        RAISE EXCEPTION 'Barkod boş olamaz.';
    END IF;
    v_stok := fn_stok_bul(NULL, v_barkod);
    UPDATE tbl_stok SET mensei = v_mensei, degistiren = fn_kullanici(), degisim_zamani = localtimestamp
    WHERE id = v_stok;
    RETURN 0;
END $$;

-- Stock PLU update: the PLU number of the item named by its code or barcode; a blank number clears it.
CREATE FUNCTION "SP_STOK_MAIN_PLU_UPDATE"(
    "@BARKOD" varchar DEFAULT NULL,
    "@PLUNO" varchar DEFAULT NULL,
    "@STOKKODU" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_plu integer := fn_tamsayi("@PLUNO", 'PLU no');
    v_stok integer := fn_stok_bul("@STOKKODU", "@BARKOD");
BEGIN
    IF v_plu IS NOT NULL THEN
        PERFORM fn_stok_plu_kontrol(v_stok, v_plu);
    END IF;
    UPDATE tbl_stok SET pluno = v_plu, degistiren = fn_kullanici(), degisim_zamani = localtimestamp
    WHERE id = v_stok;
    RETURN 0;
END $$;
