-- The four tables of SISWA.mdb.
-- Text columns compare without regard to letter case; numeric columns are
-- STRICT REAL, so a text that is not a number (the empty text included) is
-- refused instead of being stored as text. Dates are kept as dd-mm-yyyy text.

CREATE TABLE SISWA (
    NIS           TEXT COLLATE NOCASE NOT NULL PRIMARY KEY CHECK (NIS <> ''),
    NamaSiswa     TEXT COLLATE NOCASE,
    TptLahir      TEXT COLLATE NOCASE,
    TglLahir      TEXT COLLATE NOCASE,
    Alamat        TEXT COLLATE NOCASE,
    JenisKelamin  TEXT COLLATE NOCASE,
    Agama         TEXT COLLATE NOCASE,
    TglMasuk      TEXT COLLATE NOCASE,
    ProgamJurusan TEXT COLLATE NOCASE,
    LevelTahap    TEXT COLLATE NOCASE,
    AsalSekolah   TEXT COLLATE NOCASE,
    TelpHp        TEXT COLLATE NOCASE
) STRICT;

CREATE TABLE Pelajaran (
    KdMatpel   TEXT COLLATE NOCASE NOT NULL PRIMARY KEY CHECK (KdMatpel <> ''),
    NmMatpel   TEXT COLLATE NOCASE,
    TglEntry   TEXT COLLATE NOCASE,
    Lokal      TEXT COLLATE NOCASE,
    Instruktur TEXT COLLATE NOCASE,
    SKS        REAL
) STRICT;

-- Rows come back from "select * from Nilai" in the order they were inserted
-- (rowid order); the next registration number is read from the last of them.
CREATE TABLE Nilai (
    Noreg     TEXT COLLATE NOCASE,
    TglProses TEXT COLLATE NOCASE,
    Nis       TEXT COLLATE NOCASE REFERENCES SISWA (NIS),
    Program   TEXT COLLATE NOCASE,
    Jenjang   TEXT COLLATE NOCASE,
    KdMatpel  TEXT COLLATE NOCASE,
    SKS       REAL,
    Tentor    TEXT COLLATE NOCASE,
    Nilangka  REAL,
    Nilhu     TEXT COLLATE NOCASE,
    Bobot     REAL,
    Mutu      REAL,
    Prediket  TEXT COLLATE NOCASE,
    Ket       TEXT COLLATE NOCASE
) STRICT;

CREATE INDEX NilaiNis ON Nilai (Nis);
CREATE INDEX NilaiNoreg ON Nilai (Noreg);

-- Operators who may log in. The password is compared by the program with
-- letter case counting; the column's collation only matters to SQL.
CREATE TABLE t_petugas (
    userid   TEXT COLLATE NOCASE,
    nama     TEXT COLLATE NOCASE,
    password TEXT,
    level    TEXT
) STRICT;
