-- Vardel back-office reference database: credit cards, chart of accounts, fuel customers' plates.

-- Credit card import, one call per file line. The bank must be defined; bank and card number are the key, so a
-- known card is updated with the given values (a blank value keeps what is stored).
CREATE FUNCTION "SP_BANKA_KREDI_KART_IMPORT"(
    "@BANKAKODU" varchar DEFAULT NULL,
    "@KARTNO" varchar DEFAULT NULL,
    "@KARTSAHIBI" varchar DEFAULT NULL,
    "@KREDITIPADI" varchar DEFAULT NULL,
    "@KARTLIMITI" varchar DEFAULT NULL,
    "@HESAPKESIMGUNU" varchar DEFAULT NULL,
    "@ODEMEGUNU" varchar DEFAULT NULL,
    "@FAIZORANI" varchar DEFAULT NULL,
    "@MUHASEBEKODU" varchar DEFAULT NULL,
    "@ACIKLAMA" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_bankakodu varchar := fn_metin("@BANKAKODU", 10, 'Banka kodu');
    -- card numbers are often written in groups: "4543 6000 1234 5678", "4543-6000-..."
    v_kartno varchar := nullif(regexp_replace(coalesce("@KARTNO", ''), '[ \t-]', '', 'g'), '');
    v_sahibi varchar := fn_metin("@KARTSAHIBI", 100, 'Kart sahibi');
    v_tipadi varchar := fn_metin("@KREDITIPADI", 30, 'Kart tipi');
    v_limit numeric := fn_sayi("@KARTLIMITI", 'Kart limiti');
    v_kesim integer := fn_tamsayi("@HESAPKESIMGUNU", 'Hesap kesim günü');
    v_odeme integer := fn_tamsayi("@ODEMEGUNU", 'Ödeme günü');
    v_faiz numeric := fn_sayi("@FAIZORANI", 'Faiz oranı');
    v_muhasebe varchar := fn_metin("@MUHASEBEKODU", 30, 'Muhasebe kodu');
    v_aciklama varchar := fn_metin("@ACIKLAMA", 255, 'Açıklama');
    v_banka integer;
    v_tip integer;
BEGIN
    IF v_bankakodu IS NULL THEN
        RAISE EXCEPTION 'Banka kodu boş olamaz.';
    END IF;
    SELECT id INTO v_banka FROM tbl_banka WHERE bankakodu = v_bankakodu;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Banka bulunamadı: %', v_bankakodu;
    END IF;
    IF v_kartno IS NULL THEN
        RAISE EXCEPTION 'Kart numarası boş olamaz.';
    END IF;
    IF v_kartno !~ '^[0-9]{12,19}$' THEN
        RAISE EXCEPTION 'Geçersiz kart numarası: %', btrim("@KARTNO");
    END IF;
    IF v_tipadi IS NOT NULL THEN
        SELECT id INTO v_tip FROM tbl_kredi_kart_tip WHERE fn_anahtar(tipadi) = fn_anahtar(v_tipadi);
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Kart tipi bulunamadı: %', v_tipadi;
        END IF;
    END IF;
    IF abs(v_limit) >= 1e16 THEN
        RAISE EXCEPTION 'Limit çok büyük: %', v_limit;
    END IF;
    IF v_kesim NOT BETWEEN 1 AND 31 THEN
        RAISE EXCEPTION 'Gün 1 ile 31 arasında olmalıdır (Hesap kesim günü): %', v_kesim;
    END IF;
    IF v_odeme NOT BETWEEN 1 AND 31 THEN
        RAISE EXCEPTION 'Gün 1 ile 31 arasında olmalıdır (Ödeme günü): %', v_odeme;
    END IF;
    IF v_faiz < 0 OR v_faiz >= 1e5 THEN
        RAISE EXCEPTION 'Geçersiz faiz oranı: %', v_faiz;
    END IF;

    UPDATE tbl_banka_kredi_kart SET
        kart_sahibi = coalesce(v_sahibi, kart_sahibi),
        kredi_kart_tip_id = coalesce(v_tip, kredi_kart_tip_id),
        kart_limiti = coalesce(v_limit, kart_limiti),
        hesap_kesim_gunu = coalesce(v_kesim, hesap_kesim_gunu),
        odeme_gunu = coalesce(v_odeme, odeme_gunu),
        faiz_orani = coalesce(v_faiz, faiz_orani),
        muhasebe_kodu = coalesce(v_muhasebe, muhasebe_kodu),
        aciklama = coalesce(v_aciklama, aciklama)
    WHERE banka_id = v_banka AND kartno = v_kartno;
    IF NOT FOUND THEN
        INSERT INTO tbl_banka_kredi_kart (banka_id, kartno, kart_sahibi, kredi_kart_tip_id, kart_limiti,
                                          hesap_kesim_gunu, odeme_gunu, faiz_orani, muhasebe_kodu, aciklama)
        VALUES (v_banka, v_kartno, v_sahibi, v_tip, coalesce(v_limit, 0), v_kesim, v_odeme, v_faiz, v_muhasebe,
                v_aciklama);
    END IF;
    RETURN 0;
END $$;

-- Chart of accounts import: adds the account or renames a known one. Codes are dotted paths (120.01.001).
CREATE FUNCTION "SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"(
    "@MUHASEBEKODU" varchar DEFAULT NULL,
    "@ACIKLAMA" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@MUHASEBEKODU", 30, 'Muhasebe kodu');
    v_aciklama varchar := fn_metin("@ACIKLAMA", 100, 'Açıklama');
BEGIN
    IF v_kod IS NULL THEN
        RAISE EXCEPTION 'Muhasebe kodu boş olamaz.';
    END IF;
    IF v_kod !~ '^[^. \t]+(\.[^. \t]+)*$' THEN
        RAISE EXCEPTION 'Geçersiz muhasebe kodu: %', v_kod;
    END IF;
    IF v_aciklama IS NULL THEN
        RAISE EXCEPTION 'Hesap açıklaması boş olamaz.';
    END IF;
    INSERT INTO tbl_muhasebe_hesap_plani (hesapkodu, aciklama) VALUES (v_kod, v_aciklama)
    ON CONFLICT (hesapkodu) DO UPDATE SET aciklama = excluded.aciklama;
    RETURN 0;
END $$;

-- Fuel customer plate import. Plates are stored in capitals without blanks (34 abc 123 -> 34ABC123; plates
-- carry no Turkish letters, so a typed i or ı is an I). A plate belongs to one customer: a plate of the same
-- customer gets the given key and card number, a plate of another customer is an error.
CREATE FUNCTION "SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"(
    "@CARIKODU" varchar DEFAULT NULL,
    "@PLAKANO" varchar DEFAULT NULL,
    "@KEYNO" varchar DEFAULT NULL,
    "@KARTNO" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_cari integer := fn_cari_bul("@CARIKODU");
    v_plaka varchar := fn_metin(fn_anahtar(regexp_replace(coalesce("@PLAKANO", ''), '[ \t-]', '', 'g')), 15, 'Plaka');
    v_keyno varchar := fn_metin("@KEYNO", 30, 'Key no');
    v_kartno varchar := fn_metin("@KARTNO", 30, 'Kart no');
    v_sahibi integer;
BEGIN
    IF v_plaka IS NULL THEN
        RAISE EXCEPTION 'Plaka boş olamaz.';
    END IF;
    SELECT cari_id INTO v_sahibi FROM tbl_akaryakit_cari_plaka WHERE plakano = v_plaka;
    IF NOT FOUND THEN
        INSERT INTO tbl_akaryakit_cari_plaka (cari_id, plakano, keyno, kartno)
        VALUES (v_cari, v_plaka, v_keyno, v_kartno);
    ELSIF v_sahibi = v_cari THEN
        UPDATE tbl_akaryakit_cari_plaka
        SET keyno = coalesce(v_keyno, keyno), kartno = coalesce(v_kartno, kartno)
        WHERE plakano = v_plaka;
    ELSE
        RAISE EXCEPTION 'Plaka başka bir cariye kayıtlı: % (cari kodu %)', v_plaka,
            (SELECT carikodu FROM tbl_cari WHERE id = v_sahibi);
    END IF;
    RETURN 0;
END $$;
