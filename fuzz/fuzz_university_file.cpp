// uniinf.dat: the seven texts of the university information survive a decode, encode and decode.

#include "fuzzsupport.h"
#include "recordcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_require_converter();
    RecordReader reader(QByteArrayView(data, qsizetype(size)));
    UniversityInfo info;
    if (!reader.readUniversity(info)) {
        fuzz_check(!reader.errorString().isEmpty(), "a refused university file gives no reason");
        fuzz_check(info == UniversityInfo{}, "a refused university file changed the record");
        return 0;
    }

    RecordWriter writer;
    writer.writeUniversity(info);
    fuzz_check(writer.ok(), "decoded university information cannot be saved", writer.errorString());

    RecordReader again(writer.data());
    UniversityInfo second;
    fuzz_check(again.readUniversity(second), "encoded university information does not decode", again.errorString());
    fuzz_check(again.remaining() == 0, "encoded university information has bytes left over");
    fuzz_check(second == info, "the university information changed on the way round");

    RecordWriter stable;
    stable.writeUniversity(second);
    fuzz_check(stable.data() == writer.data(), "the encoding is not stable");
    return 0;
}
