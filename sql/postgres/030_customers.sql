-- Vardel back-office reference database: customers.

-- The ID of the customer with this code; a blank code or an unknown customer raises.
CREATE FUNCTION fn_cari_bul(p_carikodu varchar) RETURNS integer
LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_kod varchar := fn_metin(p_carikodu, 20, 'Cari kodu');
    v_id integer;
BEGIN
    IF v_kod IS NULL THEN
        RAISE EXCEPTION 'Cari kodu boş olamaz.';
    END IF;
    SELECT id INTO v_id FROM tbl_cari WHERE carikodu = v_kod;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Cari bulunamadı: %', v_kod;
    END IF;
    RETURN v_id;
END $$;

-- Customer import, one call per file line.
--
-- The customer code is the key. A code that is not there yet adds a customer (the name is then required); a code
-- that is there updates that customer, so that a corrected file can simply be imported again. A blank value means
-- "not given": on an update it keeps what is stored, on an insert the column's default applies. A group name that
-- is not there yet adds the group (groups come along with the customers of the old system); an unknown customer
-- type is an error, since the types are fixed by the product.
CREATE FUNCTION "SP_CARI_MAIN_INSERT_FRANCHISE"(
    "@AKTIF" varchar DEFAULT NULL,
    "@CARIKODU" varchar DEFAULT NULL,
    "@CARIADI" varchar DEFAULT NULL,
    "@TIPADI" varchar DEFAULT NULL,
    "@VERGIDAIRESI" varchar DEFAULT NULL,
    "@VERGINO" varchar DEFAULT NULL,
    "@KREDILIMITI" varchar DEFAULT NULL,
    "@RISKLIMITI" varchar DEFAULT NULL,
    "@INDIRIM" varchar DEFAULT NULL,
    "@GRUPADI" varchar DEFAULT NULL,
    "@ODEMEGUNU" varchar DEFAULT NULL,
    "@TAKSITSAYISI" varchar DEFAULT NULL,
    "@RESIM" varchar DEFAULT NULL,
    "@EMAIL" varchar DEFAULT NULL,
    "@WEBADRESI" varchar DEFAULT NULL,
    "@ACIKLAMA" varchar DEFAULT NULL,
    "@MUHASEBEKODU" varchar DEFAULT NULL,
    "@SUBEADI" varchar DEFAULT NULL,
    "@ADRES" varchar DEFAULT NULL,
    "@IL" varchar DEFAULT NULL,
    "@ILCE" varchar DEFAULT NULL,
    "@POSTAKODU" varchar DEFAULT NULL,
    "@TELEFON" varchar DEFAULT NULL,
    "@FAX" varchar DEFAULT NULL,
    "@TCKIMLIKNO" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@CARIKODU", 20, 'Cari kodu');
    v_ad varchar := fn_metin("@CARIADI", 100, 'Cari adı');
    v_aktif boolean := fn_mantiksal("@AKTIF", 'Aktif');
    v_tipadi varchar := fn_metin("@TIPADI", 30, 'Tip adı');
    v_vergidairesi varchar := fn_metin("@VERGIDAIRESI", 50, 'Vergi dairesi');
    v_vergino varchar := fn_metin("@VERGINO", 20, 'Vergi no');
    v_kredi numeric := fn_sayi("@KREDILIMITI", 'Kredi limiti');
    v_risk numeric := fn_sayi("@RISKLIMITI", 'Risk limiti');
    v_indirim numeric := fn_sayi("@INDIRIM", 'İndirim');
    v_grupadi varchar := fn_metin("@GRUPADI", 50, 'Grup adı');
    v_odemegunu integer := fn_tamsayi("@ODEMEGUNU", 'Ödeme günü');
    v_taksit integer := fn_tamsayi("@TAKSITSAYISI", 'Taksit sayısı');
    v_resim varchar := fn_metin("@RESIM", 255, 'Resim yolu');
    v_email varchar := fn_metin("@EMAIL", 100, 'E-posta');
    v_web varchar := fn_metin("@WEBADRESI", 100, 'Web adresi');
    v_aciklama varchar := fn_metin("@ACIKLAMA", 255, 'Açıklama');
    v_muhasebe varchar := fn_metin("@MUHASEBEKODU", 30, 'Muhasebe kodu');
    v_sube varchar := fn_metin("@SUBEADI", 50, 'Şube adı');
    v_adres varchar := fn_metin("@ADRES", 255, 'Adres');
    v_il varchar := fn_metin("@IL", 30, 'İl');
    v_ilce varchar := fn_metin("@ILCE", 30, 'İlçe');
    v_postakodu varchar := fn_metin("@POSTAKODU", 10, 'Posta kodu');
    v_telefon varchar := fn_metin("@TELEFON", 30, 'Telefon');
    v_fax varchar := fn_metin("@FAX", 30, 'Faks');
    v_tckimlik varchar := fn_metin("@TCKIMLIKNO", 11, 'TC kimlik no');
    v_tip integer;
    v_grup integer;
BEGIN
    IF v_kod IS NULL THEN
        RAISE EXCEPTION 'Cari kodu boş olamaz.';
    END IF;
    IF abs(v_kredi) >= 1e16 OR abs(v_risk) >= 1e16 THEN
        RAISE EXCEPTION 'Limit çok büyük: %', CASE WHEN abs(v_kredi) >= 1e16 THEN v_kredi ELSE v_risk END;
    END IF;
    IF v_indirim NOT BETWEEN 0 AND 100 THEN
        RAISE EXCEPTION 'İndirim oranı 0 ile 100 arasında olmalıdır: %', v_indirim;
    END IF;
    IF v_odemegunu < 0 THEN
        RAISE EXCEPTION 'Ödeme günü negatif olamaz: %', v_odemegunu;
    END IF;
    IF v_taksit < 0 THEN
        RAISE EXCEPTION 'Taksit sayısı negatif olamaz: %', v_taksit;
    END IF;
    IF v_tckimlik !~ '^[0-9]{11}$' THEN
        RAISE EXCEPTION 'TC kimlik no 11 haneli bir sayı olmalıdır: %', v_tckimlik;
    END IF;

    IF v_tipadi IS NOT NULL THEN
        SELECT id INTO v_tip FROM tbl_cari_tip WHERE fn_anahtar(tipadi) = fn_anahtar(v_tipadi);
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Cari tipi bulunamadı: %', v_tipadi;
        END IF;
    END IF;

    IF v_grupadi IS NOT NULL THEN
        SELECT id INTO v_grup FROM tbl_cari_grup WHERE fn_anahtar(grupadi) = fn_anahtar(v_grupadi);
        IF NOT FOUND THEN
            INSERT INTO tbl_cari_grup (grupadi) VALUES (v_grupadi) RETURNING id INTO v_grup;
        END IF;
    END IF;

    UPDATE tbl_cari SET
        cariadi = coalesce(v_ad, cariadi),
        aktif = coalesce(v_aktif, aktif),
        cari_tip_id = coalesce(v_tip, cari_tip_id),
        vergidairesi = coalesce(v_vergidairesi, vergidairesi),
        vergino = coalesce(v_vergino, vergino),
        kredi_limiti = coalesce(v_kredi, kredi_limiti),
        risk_limiti = coalesce(v_risk, risk_limiti),
        indirim = coalesce(v_indirim, indirim),
        cari_grup_id = coalesce(v_grup, cari_grup_id),
        odeme_gunu = coalesce(v_odemegunu, odeme_gunu),
        taksit_sayisi = coalesce(v_taksit, taksit_sayisi),
        resim = coalesce(v_resim, resim),
        email = coalesce(v_email, email),
        webadresi = coalesce(v_web, webadresi),
        aciklama = coalesce(v_aciklama, aciklama),
        muhasebe_kodu = coalesce(v_muhasebe, muhasebe_kodu),
        sube_adi = coalesce(v_sube, sube_adi),
        adres = coalesce(v_adres, adres),
        il = coalesce(v_il, il),
        ilce = coalesce(v_ilce, ilce),
        posta_kodu = coalesce(v_postakodu, posta_kodu),
        telefon = coalesce(v_telefon, telefon),
        fax = coalesce(v_fax, fax),
        tckimlikno = coalesce(v_tckimlik, tckimlikno),
        degistiren = fn_kullanici(),
        degisim_zamani = localtimestamp
    WHERE carikodu = v_kod;
    IF FOUND THEN
        RETURN 0;
    END IF;

    IF v_ad IS NULL THEN
        RAISE EXCEPTION 'Cari adı boş olamaz.';
    END IF;
    INSERT INTO tbl_cari (carikodu, cariadi, aktif, cari_tip_id, vergidairesi, vergino, kredi_limiti, risk_limiti,
                          indirim, cari_grup_id, odeme_gunu, taksit_sayisi, resim, email, webadresi, aciklama,
                          muhasebe_kodu, sube_adi, adres, il, ilce, posta_kodu, telefon, fax, tckimlikno)
    VALUES (v_kod, v_ad, coalesce(v_aktif, true), coalesce(v_tip, 1), v_vergidairesi, v_vergino,
            coalesce(v_kredi, 0), coalesce(v_risk, 0), coalesce(v_indirim, 0), v_grup, coalesce(v_odemegunu, 0),
            coalesce(v_taksit, 0), v_resim, v_email, v_web, v_aciklama, v_muhasebe, v_sube, v_adres, v_il, v_ilce,
            v_postakodu, v_telefon, v_fax, v_tckimlik);
    RETURN 0;
END $$;
