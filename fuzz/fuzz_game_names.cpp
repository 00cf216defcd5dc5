// Gamename.txt: any file gives a consistent result, and the names it gives, written out again as a list
// (count line, one name per line, quoted where needed), read back as the same names.

#include "datafiles.h"
#include "fuzzsupport.h"

namespace {

// A name as a field: quoted unless it holds a double quote, which only an unquoted field can hold (and
// such a field holds no separator and no leading blank).
QString asField(const QString& name) {
    if (name.contains(u'"'))
        return name;
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_require_converter();
    const QString folder = fuzz_folder();
    const QString input = folder + QStringLiteral("Gamename.txt");
    const QString output = folder + QStringLiteral("again.txt");
    fuzz_write_raw(input, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    const QStringList untouched = {QStringLiteral("untouched")};
    QStringList names = untouched;
    const qint32 count = read_game_names(input, names);
    if (count > 0)
        fuzz_check(names.size() == count, "the returned count is not the number of names given");
    else
        fuzz_check(names == untouched || names.isEmpty(), "no names returned, yet the list was changed");
    if (count <= 0)
        return 0;

    for (const QString& name : names) {
        if (name.contains(u'"'))
            fuzz_check(!name.startsWith(u'"') && !name.contains(u',') && !name.contains(u'\r') && !name.contains(u'\n'),
                       "a name holds a double quote and a separator", name);
    }
    // Written in UTF-8 with a byte order mark, which the reader accepts, so that every name can be written.
    QString text = QString::number(count) + QStringLiteral("\r\n");
    for (const QString& name : names)
        text += asField(name) + QStringLiteral("\r\n");
    fuzz_write_raw(output, "\xEF\xBB\xBF" + text.toUtf8());
    QStringList again;
    fuzz_check(read_game_names(output, again) == count, "the count changed on the way round", text);
    fuzz_check(again == names, "a name changed on the way round", text);
    return 0;
}
