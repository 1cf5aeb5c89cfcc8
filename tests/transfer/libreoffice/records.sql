-- The rows behind the files of this folder, one statement a line: keys and
-- telephone numbers with leading zeros, dates, decimal fractions, commas and
-- semicolons inside texts, letters outside ASCII.
insert into SISWA values ('0012', 'JOSÉ NUÑEZ', 'BANDUNG', '01-08-2006', 'JL. A, NO. 5; RT 1', 'LAKI-LAKI', 'ISLAM', '05-01-2026', 'KOMPUTER', 'DASAR', 'SMA 1', '081234567890');
insert into SISWA values ('0013', 'ŞÜKRÜ', 'MEDAN', '29-02-2004', '', 'PEREMPUAN', 'HINDU', '06-01-2026', 'KOMPUTER', 'DASAR', '', '+62 812 3456');
insert into SISWA values ('2026001', 'ANDI PRATAMA', 'JAKARTA', '12-03-2004', 'JL. MELATI NO. 5', 'LAKI-LAKI', 'ISLAM', '05-01-2026', 'AKUNTANSI', 'MENENGAH', 'SMA NEGERI 1', '0218765432');
insert into SISWA values ('A-7', 'O''NEIL', '', '', '', '', '', '__-__-____', 'DESAIN', 'MAHIR', '', '');
insert into Pelajaran values ('KOM01', 'PENGANTAR', '02-01-2026', 'LAB 1', 'IR. SUTRISNO', 2.5);
insert into Pelajaran values ('007', 'DESAIN "DASAR"', '', '', '', 3);
insert into Nilai values ('41', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', 'KOM01', 2.5, 'IR. SUTRISNO', 74.5, 'B', 3, 7.5, 'Very Good', 'Lulus');
insert into Nilai values ('41', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', '007', 3, '', 100, 'A', 4, 12, 'Excellent', 'Lulus');
insert into Nilai values ('0007', '', 'A-7', 'DESAIN', 'MAHIR', 'KOM01', 2.5, 'LAMA', 39, 'E', 0, 0, 'Worst', 'Failed');
