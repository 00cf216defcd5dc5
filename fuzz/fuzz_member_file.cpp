// member.dat: whatever decodes must encode again, and the encoded form must decode to the same roster and
// encode to the same bytes.

#include "datafiles.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_require_converter();
    const QByteArrayView input(data, qsizetype(size));

    QList<MemberRecord> members;
    qint32 count = 0;
    QString error;
    if (!decode_member_file(input, members, count, &error)) {
        fuzz_check(!error.isEmpty(), "a refused member file gives no reason");
        return 0;
    }
    fuzz_check(count >= 0 && count <= members.size(), "decoded count outside the decoded list");

    QString encodeError;
    const QByteArray encoded = encode_member_file(members, count, &encodeError);
    fuzz_check(encodeError.isEmpty(), "a decoded roster cannot be saved", encodeError);

    QList<MemberRecord> again;
    qint32 againCount = 0;
    fuzz_check(decode_member_file(encoded, again, againCount, &error), "an encoded roster does not decode", error);
    fuzz_check(againCount == count, "the count changed on the way round");
    fuzz_check(fuzz_valid(again, againCount) == fuzz_valid(members, count), "a member changed on the way round");
    fuzz_check(encode_member_file(again, againCount, nullptr) == encoded, "the encoding is not stable");
    return 0;
}
