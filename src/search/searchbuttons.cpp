#include "search/searchbuttons.h"

namespace pel::search {

namespace {

const QString NotFound = QStringLiteral("Data tidak ketemu ...!");
const QString Penanganan = QStringLiteral("Teknologi Informasi Penangan data Siswa!");
const QString Inventories = QStringLiteral("Aplication program for suplying stock of inventories!");

} // namespace

const QList<SearchButton> &searchButtons()
{
    static const QList<SearchButton> buttons{
        {QStringLiteral("cmdnis"), QStringLiteral("NIS"), QStringLiteral("nis"),
         QStringLiteral("Data Not Found From Database"), QStringLiteral("Data tidak ditemukan dalam database siswa!")},
        {QStringLiteral("Cmdnama"), QStringLiteral("Nama"), QStringLiteral("NamaSiswa"), NotFound, Penanganan},
        {QStringLiteral("cmdalamat"), QStringLiteral("Alamat"), QStringLiteral("Alamat"), NotFound, Penanganan},
        {QStringLiteral("CmdProgram"), QStringLiteral("Jurusan"), QStringLiteral("ProgamJurusan"), NotFound,
         QStringLiteral("Teknologi Informasi Penangan data siswa!")},
        {QStringLiteral("CmdTglMasuk"), QStringLiteral("Tgl Masuk"), QStringLiteral("TglMasuk"), NotFound, Inventories},
        {QStringLiteral("cmdtptlahir"), QStringLiteral("Tempat Lahir"), QStringLiteral("TptLahir"), NotFound,
         QStringLiteral("Data tidak ketemu dalam database siswa!")},
        {QStringLiteral("cmdasalsekolah"), QStringLiteral("Asal Sekolah"), QStringLiteral("AsalSekolah"), NotFound,
         Penanganan},
        {QStringLiteral("Cmdjeniskelamin"), QStringLiteral("Jenis Kelamin"), QStringLiteral("JenisKelamin"), NotFound,
         Penanganan},
        {QStringLiteral("Cmdagama"), QStringLiteral("Agama"), QStringLiteral("Agama"), NotFound, Penanganan},
        {QStringLiteral("cmdtgllahir"), QStringLiteral("Tgl Lahir"), QStringLiteral("TglLahir"), NotFound, Inventories},
        // Searches the same column as Cmdjeniskelamin; no category brings it forward.
        {QStringLiteral("CmdJekel"), QString(), QStringLiteral("JenisKelamin"), NotFound, Penanganan},
    };
    return buttons;
}

QStringList searchCategories()
{
    QStringList entries;
    for (const SearchButton &button : searchButtons())
        if (!button.category.isEmpty())
            entries << button.category;
    return entries;
}

const SearchButton *searchButtonForCategory(const QString &entry)
{
    if (entry.isEmpty())
        return nullptr;
    for (const SearchButton &button : searchButtons())
        if (button.category == entry)
            return &button;
    return nullptr;
}

QString notFoundMessage(const SearchButton &button)
{
    return button.notFoundLine1 + QLatin1Char('\r') + button.notFoundLine2;
}

QString listAllNotFoundMessage()
{
    return QStringLiteral("Data Not Found From Database") + QLatin1Char('\r') + QStringLiteral("Transaction !");
}

} // namespace pel::search
