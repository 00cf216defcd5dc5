#pragma once

#include "records.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The data files of the program. Every operation returns false with a message in `error` when it fails.
// A reader decodes into temporaries and changes the state only when the whole file decoded; a damaged
// file leaves the state exactly as it was. A writer encodes everything first and then replaces the
// file as a whole, so a failure leaves the earlier file intact.

// The largest files the readers take; anything larger is refused unread. uniinf.dat holds seven texts of at
// most 65535 bytes each. Gamename.txt is a hand-made list.
inline constexpr qint64 kMaxUniversityFileSize = 7 * (2 + 65535);
inline constexpr qint64 kMaxGameNamesFileSize = 4 * 1024 * 1024;
// The largest file a backup copies byte for byte (where no hard link can be made).
inline constexpr qint64 kMaxDataFileSize = 64 * 1024 * 1024;

// What a club keeps, with room to spare: a roster of at most 20,000 members and an entry of at most 10,000
// couples. A count read from a file is checked against these before anything is allocated for it, and the
// file's size against the size of that many records whose texts take 128 bytes each on average (64 full-width
// characters: far longer than a name, a faculty or a competition name), so that one long text fits as long as
// the rest are short. The writers refuse a roster or an entry beyond the same bounds, so that every file the
// program writes reads back. Even the largest accepted file loads in well under two seconds and 500 MB.
inline constexpr qint32 kMaxMembers = 20000;
inline constexpr qint32 kMaxCouples = 10000;
inline constexpr qint64 kTextRoom = 2 + 128; // a text's length field and its bytes, on average
// A member: four texts and three bytes.
inline constexpr qint64 kMaxMemberFileSize = 4 + qint64(kMaxMembers) * (3 + 4 * kTextRoom);
// A couple block of four partners: 26 texts (university, leader, partners, dances, competition) and 96 bytes of
// counts, array headers, numbers and flags; the university information at the end may be as long as uniinf.dat.
inline constexpr qint64 kMaxEntryFileSize = 4 + qint64(kMaxCouples) * (96 + 26 * kTextRoom) + kMaxUniversityFileSize;

// member.dat: a count followed by that many member records. A missing file is no error and changes nothing.
bool read_member_file(const QString& path, AppState& state, QString* error = nullptr);
bool write_member_file(const QString& path, const AppState& state, QString* error = nullptr);

// Entry files: a couple count, the couples (each behind its partner count), then the university information.
// A file without couples sets coupleCount to 0 and keeps the couples and university information in memory;
// a file with couples replaces both. The university information is checked in either case.
bool read_entry_file(const QString& path, AppState& state, QString* error = nullptr);
bool write_entry_file(const QString& path, const AppState& state, QString* error = nullptr);

// The same format for a list that is not the open entry. The reader checks the whole file, the university
// information at its end included, but does not use that information. `count` receives the couple count.
bool read_entry_couples(const QString& path, QList<CoupleRecord>& list, qint32& count, QString* error = nullptr);
bool write_entry_couples(const QString& path, const QList<CoupleRecord>& list, qint32 count,
                         const UniversityInfo& universityInfo, QString* error = nullptr);

// uniinf.dat: one university information record. A missing file is no error and changes nothing.
bool read_university_file(const QString& path, AppState& state, QString* error = nullptr);
bool write_university_file(const QString& path, const UniversityInfo& info, QString* error = nullptr);

// Gamename.txt (gamenames.h): the competition names it offers. Returns the number of names given in `names`,
// which it replaces. A missing, unreadable or refused file, or one without names, returns 0 and leaves `names`
// untouched; a count of 0 or less is returned as it is, also leaving `names` untouched. Names beyond the count,
// and lines that cannot be read, are left out.
qint32 read_game_names(const QString& path, QStringList& names);

// Byte-level forms of the formats above, used by the file operations and by tests. Encoders and decoders keep
// to the same bounds (kMaxMembers, kMaxCouples and the file sizes), so whatever decodes encodes again.
QByteArray encode_member_file(const QList<MemberRecord>& members, qint32 count, QString* error);
bool decode_member_file(QByteArrayView bytes, QList<MemberRecord>& members, qint32& count, QString* error);
QByteArray encode_entry_file(const QList<CoupleRecord>& couples, qint32 count, const UniversityInfo& info,
                             QString* error);
// `info` is null when the university information is not wanted; with `requireInfo` it is still checked.
bool decode_entry_file(QByteArrayView bytes, QList<CoupleRecord>& couples, qint32& count, UniversityInfo* info,
                       bool requireInfo, QString* error);
