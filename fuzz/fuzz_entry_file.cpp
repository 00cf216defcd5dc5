// Entry files in memory: whatever decodes must encode again, and the encoded form must decode to the same
// couples and university information and encode to the same bytes. The lenient form (university
// information not wanted) must accept at least what the strict form accepts, with the same couples.

#include "datafiles.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_require_converter();
    const QByteArrayView input(data, qsizetype(size));

    QList<CoupleRecord> couples;
    qint32 count = 0;
    UniversityInfo info;
    QString error;
    if (!decode_entry_file(input, couples, count, &info, true, &error)) {
        fuzz_check(!error.isEmpty(), "a refused entry file gives no reason");
        return 0;
    }
    fuzz_check(count >= 0 && count <= couples.size(), "decoded count outside the decoded list");
    for (qint32 i = 0; i < count; ++i) {
        const CoupleRecord& c = couples[i];
        fuzz_check(c.partnerCount >= 1 && c.partnerCount <= 4 && c.partners.size() == c.partnerCount &&
                       c.partnerDances.size() == c.partnerCount && c.danceFlags.size() == 8,
                   "a decoded couple breaks the shape every saved couple has");
    }

    QList<CoupleRecord> lenient;
    qint32 lenientCount = 0;
    fuzz_check(decode_entry_file(input, lenient, lenientCount, nullptr, false, &error),
               "the lenient decode refuses what the strict one accepts", error);
    fuzz_check(lenientCount == count && fuzz_valid(lenient, count) == fuzz_valid(couples, count),
               "the lenient decode gives other couples");

    QString encodeError;
    const QByteArray encoded = encode_entry_file(couples, count, info, &encodeError);
    fuzz_check(encodeError.isEmpty(), "decoded couples cannot be saved", encodeError);

    QList<CoupleRecord> again;
    qint32 againCount = 0;
    UniversityInfo againInfo;
    fuzz_check(decode_entry_file(encoded, again, againCount, &againInfo, true, &error),
               "an encoded entry does not decode", error);
    fuzz_check(againCount == count, "the couple count changed on the way round");
    fuzz_check(fuzz_valid(again, againCount) == fuzz_valid(couples, count), "a couple changed on the way round");
    if (count > 0)
        fuzz_check(againInfo == info, "the university information changed on the way round");
    fuzz_check(encode_entry_file(again, againCount, info, nullptr) == encoded, "the encoding is not stable");
    return 0;
}
