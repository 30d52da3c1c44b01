-- Vardel back-office reference database: the entries a fresh installation starts with.

INSERT INTO tbl_cari_tip (id, tipadi) VALUES
    (1, 'ALICI'),
    (2, 'SATICI'),
    (3, 'ALICI-SATICI'),
    (4, 'PERSONEL');

INSERT INTO tbl_cari_grup (grupadi) VALUES
    ('PERAKENDE'),
    ('TOPTAN'),
    ('TOPTAN BAYİ'),
    ('KURUMSAL'),
    ('AKARYAKIT');

INSERT INTO tbl_stok_grup (grupno, grupadi) VALUES
    (1, 'GIDA'),
    (2, 'İÇECEK'),
    (3, 'İÇECEK GAZLI'),
    (4, 'TEMİZLİK'),
    (5, 'KIRTASİYE'),
    (6, 'GİYİM');

INSERT INTO tbl_ozel_kod (tur, no, kod, aciklama) VALUES
    ('C', 1, 'İSTANBUL', 'İstanbul bölgesi'),
    ('C', 1, 'İZMİR', 'İzmir bölgesi'),
    ('C', 1, 'ANKARA', 'Ankara bölgesi'),
    ('C', 2, 'A', 'A sınıfı müşteri'),
    ('C', 2, 'B', 'B sınıfı müşteri'),
    ('S', 1, 'YERLİ', 'Yerli üretim'),
    ('S', 1, 'İTHAL', 'İthal ürün'),
    ('S', 2, 'KAMPANYA', 'Kampanyalı ürün');

-- The stock import writes price types 1 to 3.
INSERT INTO tbl_fiyat_tip (id, aciklama) VALUES
    (1, 'ALIŞ FİYATI'),
    (2, 'SATIŞ FİYATI'),
    (3, '2. SATIŞ FİYATI'),
    (4, 'TOPTAN SATIŞ FİYATI');

INSERT INTO tbl_depo (depokodu, depoadi) VALUES
    ('01', 'MERKEZ DEPO'),
    ('02', 'MAĞAZA'),
    ('03', 'İADE DEPO');

INSERT INTO tbl_beden_grup (bedenkodu, aciklama) VALUES
    ('00', 'DİĞER'),
    ('01', 'ERKEK'),
    ('02', 'BAYAN'),
    ('03', 'ÇOCUK');

INSERT INTO tbl_banka (bankakodu, bankaadi) VALUES
    ('0010', 'T.C. ZİRAAT BANKASI'),
    ('0012', 'HALKBANK'),
    ('0015', 'VAKIFBANK'),
    ('0046', 'AKBANK'),
    ('0062', 'GARANTİ BBVA'),
    ('0064', 'TÜRKİYE İŞ BANKASI'),
    ('0067', 'YAPI KREDİ');

INSERT INTO tbl_kredi_kart_tip (id, tipadi) VALUES
    (1, 'VISA'),
    (2, 'MASTERCARD'),
    (3, 'TROY'),
    (4, 'AMERICAN EXPRESS');

INSERT INTO tbl_muhasebe_hesap_plani (hesapkodu, aciklama) VALUES
    ('100', 'KASA'),
    ('102', 'BANKALAR'),
    ('120', 'ALICILAR'),
    ('153', 'TİCARİ MALLAR'),
    ('320', 'SATICILAR'),
    ('600', 'YURT İÇİ SATIŞLAR');
