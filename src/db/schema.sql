-- The tables of SISWA.mdb.
-- Text columns compare without regard to letter case; numeric columns are
-- STRICT REAL, so a text that is not a number (the empty text included) is
-- refused instead of being stored as text. Dates are kept as dd-mm-yyyy text.
-- A numeric column refuses infinity (9e999 is SQLite's infinity; a NaN
-- arrives as NULL), and credit units are never negative.

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
    SKS        REAL CHECK (SKS >= 0 AND SKS < 9e999)
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
    SKS       REAL CHECK (SKS >= 0 AND SKS < 9e999),
    Tentor    TEXT COLLATE NOCASE,
    Nilangka  REAL CHECK (abs(Nilangka) < 9e999),
    Nilhu     TEXT COLLATE NOCASE,
    Bobot     REAL CHECK (abs(Bobot) < 9e999),
    Mutu      REAL CHECK (abs(Mutu) < 9e999),
    Prediket  TEXT COLLATE NOCASE,
    Ket       TEXT COLLATE NOCASE
) STRICT;

CREATE INDEX NilaiNis ON Nilai (Nis);
CREATE INDEX NilaiNoreg ON Nilai (Noreg);

-- Operators who may log in. The password column holds an Argon2id hash
-- ("$argon2id$..."); a row of an older file may still hold the password as
-- text, which the login replaces by its hash.
CREATE TABLE t_petugas (
    userid   TEXT COLLATE NOCASE,
    nama     TEXT COLLATE NOCASE,
    password TEXT,
    level    TEXT
) STRICT;

-- Every insert, update and delete of students, subjects and grades leaves one
-- row here, written in the same transaction by triggers that each connection
-- of the program creates (see db/audit.cpp). Values are JSON objects of the
-- row's columns before and after.
CREATE TABLE t_log (
    id      INTEGER PRIMARY KEY,
    waktu   TEXT NOT NULL,
    userid  TEXT,
    tabel   TEXT NOT NULL,
    kunci   TEXT,
    nis     TEXT COLLATE NOCASE,
    aksi    TEXT NOT NULL,
    sebelum TEXT,
    sesudah TEXT
) STRICT;

CREATE INDEX t_log_nis ON t_log (nis);

-- The schema's version; files made before versions were kept count as 1.
PRAGMA user_version = 2;
