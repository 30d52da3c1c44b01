-- Vardel back-office reference database: models with their size and colour variants.
--
-- Every variant of a model is a stock item of its own, coded after the model and the variant's number
-- (M100-0001, M100-0002, ...) and named after the model, size and colour. The import procedure creates that
-- stock item itself. The insert trigger of TBL_MODEL_DETAY does the same for variants that arrive without one
-- (entered by other means); the import switches it off for its run, and with it off such a row simply stays
-- without a stock item.

-- Creates the stock item of a model's variant and returns its ID. p_fiyat NULL takes the model's sales price.
CREATE FUNCTION fn_model_varyant_stogu(p_model_id integer, p_sira integer, p_beden varchar, p_renk varchar,
                                       p_barkod varchar, p_fiyat numeric) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_model tbl_model%ROWTYPE;
    v_kod varchar;
    v_stok integer;
BEGIN
    SELECT * INTO v_model FROM tbl_model WHERE id = p_model_id;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Model bulunamadı: %', p_model_id;
    END IF;
    IF p_sira NOT BETWEEN 1 AND 9999 THEN
        RAISE EXCEPTION 'Bir modelin en fazla 9999 varyantı olabilir: %', v_model.modelkodu;
    END IF;
    v_kod := v_model.modelkodu || '-' || lpad(p_sira::text, 4, '0');
    PERFORM FROM tbl_stok WHERE stokkodu = v_kod;
    IF FOUND THEN
        RAISE EXCEPTION 'Stok kodu zaten kayıtlı: %', v_kod;
    END IF;
    INSERT INTO tbl_stok (stokkodu, stokadi)
    VALUES (v_kod, left(concat_ws(' ', v_model.modeladi, nullif(p_beden, 'DİĞER'), nullif(p_renk, 'DİĞER')), 100))
    RETURNING id INTO v_stok;
    IF p_barkod IS NOT NULL THEN
        PERFORM fn_stok_barkod_ekle(v_stok, p_barkod);
    END IF;
    PERFORM fn_stok_fiyat_yaz(v_stok, 2, coalesce(p_fiyat, v_model.satis_fiyati), 'Satış fiyatı');
    RETURN v_stok;
END $$;

CREATE FUNCTION fn_trg_model_detay_insert() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF NEW.sira IS NULL THEN
        SELECT coalesce(max(sira), 0) + 1 INTO NEW.sira FROM tbl_model_detay WHERE model_id = NEW.model_id;
    END IF;
    NEW.stok_id := fn_model_varyant_stogu(NEW.model_id, NEW.sira, NEW.beden, NEW.renk, NEW.barkod, NULL);
    RETURN NEW;
END $$;

CREATE TRIGGER TRG_MODEL_DETAY_INSERT
    BEFORE INSERT ON TBL_MODEL_DETAY
    FOR EACH ROW WHEN (NEW.stok_id IS NULL)
    EXECUTE FUNCTION fn_trg_model_detay_insert();

-- Model and stock import, one call per file line: one variant of a model.
--
-- The tool sends "DİĞER" for an empty column (a price included) and its line defaults (price 0, size code "00",
-- "DİĞER" for size description, size and colour) for the columns a line lacks. Size code "DİĞER" is read as
-- "00". A new model code adds the model (name required; the line's price becomes the model's price); for a known
-- model the line only adds a variant. The same size and colour twice in one model is an error: the tool only
-- adds new models and stock items.
CREATE FUNCTION "SP_MODEL_INSERT_FRANCHISE"(
    "@MODELKODU" varchar DEFAULT NULL,
    "@BARKOD" varchar DEFAULT NULL,
    "@MODELADI" varchar DEFAULT NULL,
    "@SATISFIYATI" varchar DEFAULT NULL,
    "@BEDENKODU" varchar DEFAULT NULL,
    "@BEDENACIKLAMA" varchar DEFAULT NULL,
    "@BEDEN" varchar DEFAULT NULL,
    "@RENK" varchar DEFAULT NULL
) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    v_modelkodu varchar := fn_metin("@MODELKODU", 15, 'Model kodu');
    v_barkod varchar := fn_metin("@BARKOD", 20, 'Barkod');
    v_modeladi varchar := fn_metin("@MODELADI", 100, 'Model adı');
    v_fiyat numeric;
    v_bedenkodu varchar := fn_metin("@BEDENKODU", 10, 'Beden kodu');
    v_bedenaciklama varchar := coalesce(fn_metin("@BEDENACIKLAMA", 50, 'Beden açıklama'), 'DİĞER');
    v_beden varchar := fn_buyuk(coalesce(fn_metin("@BEDEN", 20, 'Beden'), 'DİĞER'));
    v_renk varchar := fn_buyuk(coalesce(fn_metin("@RENK", 30, 'Renk'), 'DİĞER'));
    v_model integer;
    v_bedengrup integer;
    v_sira integer;
    v_stok integer;
BEGIN
    IF v_modelkodu IS NULL THEN
        RAISE EXCEPTION 'Model kodu boş olamaz.';
    END IF;
    IF fn_anahtar(btrim("@SATISFIYATI")) IS DISTINCT FROM fn_anahtar('DİĞER') THEN
        v_fiyat := fn_sayi("@SATISFIYATI", 'Satış fiyatı');
    END IF;
    IF v_fiyat < 0 OR v_fiyat >= 1e14 THEN
        RAISE EXCEPTION 'Geçersiz fiyat (Satış fiyatı): %', v_fiyat;
    END IF;
    IF v_bedenkodu IS NULL OR fn_anahtar(v_bedenkodu) = fn_anahtar('DİĞER') THEN
        v_bedenkodu := '00';
    END IF;

    SELECT id INTO v_bedengrup FROM tbl_beden_grup WHERE bedenkodu = v_bedenkodu;
    IF NOT FOUND THEN
        INSERT INTO tbl_beden_grup (bedenkodu, aciklama) VALUES (v_bedenkodu, v_bedenaciklama)
        RETURNING id INTO v_bedengrup;
    END IF;

    SELECT id INTO v_model FROM tbl_model WHERE modelkodu = v_modelkodu;
    IF NOT FOUND THEN
        IF v_modeladi IS NULL THEN
            RAISE EXCEPTION 'Model adı boş olamaz.';
        END IF;
        INSERT INTO tbl_model (modelkodu, modeladi, satis_fiyati) VALUES (v_modelkodu, v_modeladi, coalesce(v_fiyat, 0))
        RETURNING id INTO v_model;
    END IF;

    PERFORM FROM tbl_model_detay
    WHERE model_id = v_model AND beden_grup_id = v_bedengrup AND beden = v_beden AND renk = v_renk;
    IF FOUND THEN
        RAISE EXCEPTION 'Model varyantı zaten kayıtlı: % % % %', v_modelkodu, v_bedenkodu, v_beden, v_renk;
    END IF;

    SELECT coalesce(max(sira), 0) + 1 INTO v_sira FROM tbl_model_detay WHERE model_id = v_model;
    v_stok := fn_model_varyant_stogu(v_model, v_sira, v_beden, v_renk, v_barkod, v_fiyat);
    INSERT INTO tbl_model_detay (model_id, sira, beden_grup_id, beden, renk, barkod, stok_id)
    VALUES (v_model, v_sira, v_bedengrup, v_beden, v_renk, v_barkod, v_stok);
    RETURN 0;
END $$;
