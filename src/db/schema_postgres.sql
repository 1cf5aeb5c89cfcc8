-- The four tables of the program's database on a PostgreSQL server.
-- Text columns are citext, so keys, "=", like, group by and the joins
-- compare without regard to letter case; numeric columns are double
-- precision, which refuses a text that is not a number (the empty text
-- included), and a check refuses NaN and the infinities as well.
-- Names are left unquoted: PostgreSQL keeps them in lower case, so every
-- spelling the statements use (SISWA, siswa, NamaSiswa, namasiswa) finds
-- them; the program shows them in the spelling of the SQLite schema.

CREATE EXTENSION IF NOT EXISTS citext;

-- PostgreSQL returns rows in no promised order, and a row's place (ctid) is
-- not the order of insertion either (an insert fills free room left in an
-- earlier page; an update moves the row). So every table but t_log has
-- Urutan, numbering its rows in the order they were inserted: "order by
-- Urutan" gives the order in which SQLite returns "select * from X". It is
-- the last column, so an insert of the values without a column list still
-- fits, and the program's recordsets leave it out of the rows they show.
CREATE TABLE SISWA (
    NIS           citext NOT NULL PRIMARY KEY CHECK (NIS <> ''),
    NamaSiswa     citext,
    TptLahir      citext,
    TglLahir      citext,
    Alamat        citext,
    JenisKelamin  citext,
    Agama         citext,
    TglMasuk      citext,
    ProgamJurusan citext,
    LevelTahap    citext,
    AsalSekolah   citext,
    TelpHp        citext,
    Urutan        bigserial NOT NULL UNIQUE
);

CREATE TABLE Pelajaran (
    KdMatpel   citext NOT NULL PRIMARY KEY CHECK (KdMatpel <> ''),
    NmMatpel   citext,
    TglEntry   citext,
    Lokal      citext,
    Instruktur citext,
    SKS        double precision CHECK (SKS NOT IN ('NaN', 'Infinity', '-Infinity')),
    Urutan     bigserial NOT NULL UNIQUE
);

CREATE TABLE Nilai (
    Noreg     citext,
    TglProses citext,
    Nis       citext REFERENCES SISWA (NIS),
    Program   citext,
    Jenjang   citext,
    KdMatpel  citext,
    SKS       double precision CHECK (SKS NOT IN ('NaN', 'Infinity', '-Infinity')),
    Tentor    citext,
    Nilangka  double precision CHECK (Nilangka NOT IN ('NaN', 'Infinity', '-Infinity')),
    Nilhu     citext,
    Bobot     double precision CHECK (Bobot NOT IN ('NaN', 'Infinity', '-Infinity')),
    Mutu      double precision CHECK (Mutu NOT IN ('NaN', 'Infinity', '-Infinity')),
    Prediket  citext,
    Ket       citext,
    Urutan    bigserial NOT NULL UNIQUE
);

CREATE INDEX NilaiNis ON Nilai (Nis);
CREATE INDEX NilaiNoreg ON Nilai (Noreg);

-- Operators who may log in. The password is compared with letter case
-- counting, so it stays plain text.
CREATE TABLE t_petugas (
    userid   citext,
    nama     citext,
    password text,
    level    citext,
    Urutan   bigserial NOT NULL UNIQUE
);

-- Every insert, update and delete of students, subjects and grades leaves one
-- row here, written in the same transaction by the triggers of db/audit.cpp,
-- which are created with these tables (and added at start-up to a database
-- made before the table existed). Values are JSON objects of the row's
-- columns before and after; the operator is the connection's setting
-- pelitaksa.operator, set at login. The NIS is plain text with an index on
-- its lower case: an index on citext costs the server tens of microseconds a
-- row, which a bulk load of grades would pay once more for its audit rows.
CREATE TABLE t_log (
    id      bigserial PRIMARY KEY,
    waktu   text COLLATE "C" NOT NULL,
    userid  text,
    tabel   text NOT NULL,
    kunci   text,
    nis     text,
    aksi    text NOT NULL,
    sebelum text,
    sesudah text
);

CREATE INDEX t_log_nis ON t_log (lower(nis));
