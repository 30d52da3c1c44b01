-- Vardel back-office reference database: opening-balance documents.
--
-- A document is written in one transaction by the caller: first its header, whose ID the header procedure
-- returns, then one line per balance carrying that ID.

-- Document header. "@ISLEMTIPI" 0 is a document of customer balances, 1 one of stock balances in the warehouse
-- "@DEPOID". A document code may appear once per kind of document: importing the same file twice within the
-- same minute gives the same code, and the second header is refused rather than doubling the balances.
CREATE FUNCTION "SP_DEVIR_MAIN_INSERT"(
    "@BELGEKODU" varchar DEFAULT NULL,
    "@BELGETARIHI" varchar DEFAULT NULL,
    "@ISLEMTIPI" integer DEFAULT 0,
    "@DEPOID" integer DEFAULT NULL,
    "@ACIKLAMA" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_kod varchar := fn_metin("@BELGEKODU", 30, 'Belge kodu');
    v_tarih date := fn_tarih("@BELGETARIHI", 'Belge tarihi');
    v_aciklama varchar := fn_metin("@ACIKLAMA", 255, 'Açıklama');
    v_id integer;
BEGIN
    IF v_kod IS NULL THEN
        RAISE EXCEPTION 'Belge kodu boş olamaz.';
    END IF;
    IF v_tarih IS NULL THEN
        RAISE EXCEPTION 'Belge tarihi boş olamaz.';
    END IF;
    IF "@ISLEMTIPI" IS NULL OR "@ISLEMTIPI" NOT IN (0, 1) THEN
        RAISE EXCEPTION 'Geçersiz işlem tipi: % (0 = cari, 1 = stok)', "@ISLEMTIPI";
    END IF;
    IF "@ISLEMTIPI" = 1 THEN
        IF "@DEPOID" IS NULL THEN
            RAISE EXCEPTION 'Stok devir belgesi için depo seçilmelidir.';
        END IF;
        PERFORM FROM tbl_depo WHERE id = "@DEPOID";
        IF NOT FOUND THEN
            RAISE EXCEPTION 'Depo bulunamadı: %', "@DEPOID";
        END IF;
    END IF;
    PERFORM FROM tbl_devir_main WHERE islemtipi = "@ISLEMTIPI" AND belgekodu = v_kod;
    IF FOUND THEN
        RAISE EXCEPTION 'Belge kodu zaten kayıtlı: %', v_kod;
    END IF;
    INSERT INTO tbl_devir_main (belgekodu, belgetarihi, islemtipi, depo_id, aciklama)
    VALUES (v_kod, v_tarih, "@ISLEMTIPI", CASE WHEN "@ISLEMTIPI" = 1 THEN "@DEPOID" END, v_aciklama)
    RETURNING id INTO v_id;
    RETURN v_id;
END $$;

-- One line of a document. In a customer document "@KALEMKODU" is the customer code and "@BAKIYE" the balance;
-- in a stock document "@KALEMKODU" is the stock code (or "@BARKOD" a barcode, when the code is blank),
-- "@BAKIYE" the quantity and "@BIRIMFIYATI" the unit purchase price without VAT.
CREATE FUNCTION "SP_DEVIR_DETAY_INSERT_IMPORT"(
    "@BELGEID" integer DEFAULT NULL,
    "@KALEMKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@BAKIYE" varchar DEFAULT NULL,
    "@BIRIMFIYATI" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_bakiye numeric := fn_sayi("@BAKIYE", 'Bakiye');
    v_fiyat numeric := fn_sayi("@BIRIMFIYATI", 'Birim fiyatı');
    v_islemtipi smallint;
BEGIN
    IF "@BELGEID" IS NULL THEN
        RAISE EXCEPTION 'Devir belgesi seçilmedi.';
    END IF;
    SELECT islemtipi INTO v_islemtipi FROM tbl_devir_main WHERE id = "@BELGEID";
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Devir belgesi bulunamadı: %', "@BELGEID";
    END IF;
    IF v_bakiye IS NULL THEN
        RAISE EXCEPTION 'Bakiye boş olamaz.';
    END IF;
    IF abs(v_bakiye) >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz bakiye: %', v_bakiye;
    END IF;
    IF v_fiyat < 0 OR v_fiyat >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz fiyat (Birim fiyatı): %', v_fiyat;
    END IF;
    IF v_islemtipi = 0 THEN
        INSERT INTO tbl_devir_detay (devir_id, cari_id, bakiye)
        VALUES ("@BELGEID", fn_cari_bul("@KALEMKODU"), v_bakiye);
    ELSE
        INSERT INTO tbl_devir_detay (devir_id, stok_id, barkod, bakiye, birim_fiyati)
        VALUES ("@BELGEID", fn_stok_bul("@KALEMKODU", "@BARKOD"), fn_metin("@BARKOD", 20, 'Barkod'), v_bakiye,
                v_fiyat);
    END IF;
    RETURN 0;
END $$;
